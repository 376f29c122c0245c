#include "service/red.h"

#include "core/failure.h"
#include "service/segundoplano.h"

#include <QCoro/QCoroNetworkReply>
#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSaveFile>
#include <QScopedPointer>
#include <QSslConfiguration>
#include <QTimer>

#include <algorithm>
#include <memory>

namespace {

using Respuesta = std::unique_ptr<QNetworkReply, QScopedPointerDeleteLater>;

constexpr int maximoSaltos = 20;

const QString tiempoAgotado = QStringLiteral("Se agotó el tiempo de espera de la conexión.");

// The system's authorities, read once: reading them takes a good fraction of a second, and they
// do not change while running. Callable from any thread.
const QList<QSslCertificate>& autoridadesDelSistema() {
    static const QList<QSslCertificate> lista = QSslConfiguration::systemCaCertificates();
    return lista;
}

QNetworkRequest armar(const Entorno& entorno, const Pedido& pedido) {
    QNetworkRequest peticion(pedido.url);
    for (const auto& [nombre, valor] : pedido.cabeceras)
        peticion.setRawHeader(nombre, valor);
    // Redirects are checked here one by one (see seguirRedireccion).
    peticion.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                          QNetworkRequest::ManualRedirectPolicy);
    peticion.setTransferTimeout(static_cast<int>(entorno.esperaPeticion.count()));
    peticion.setSslConfiguration(configuracionTls(entorno));
    return peticion;
}

QNetworkReply* enviar(QNetworkAccessManager& red, const QNetworkRequest& peticion,
                      const Pedido& pedido) {
    if (pedido.metodo == "GET") return red.get(peticion);
    if (pedido.metodo == "POST") return red.post(peticion, pedido.cuerpo);
    return red.sendCustomRequest(peticion, pedido.metodo, pedido.cuerpo);
}

std::optional<int> estadoDe(QNetworkReply* respuesta) {
    const QVariant estado = respuesta->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (!estado.isValid()) return std::nullopt;
    return estado.toInt();
}

bool esRedireccion(QNetworkReply* respuesta) {
    const std::optional<int> estado = estadoDe(respuesta);
    return estado && *estado >= 300 && *estado < 400 &&
           respuesta->attribute(QNetworkRequest::RedirectionTargetAttribute).isValid();
}

// Qt turns 4xx and 5xx statuses into errors; those are answers here. Everything else
// (connection, TLS, time-out, a body cut short) is a failed transfer.
bool esFalloDeTransporte(QNetworkReply* respuesta) {
    switch (respuesta->error()) {
    case QNetworkReply::NoError:
        return false;
    case QNetworkReply::ContentAccessDenied:
    case QNetworkReply::ContentOperationNotPermittedError:
    case QNetworkReply::ContentNotFoundError:
    case QNetworkReply::AuthenticationRequiredError:
    case QNetworkReply::ContentConflictError:
    case QNetworkReply::ContentGoneError:
    case QNetworkReply::UnknownContentError:
    case QNetworkReply::ProtocolInvalidOperationError:
    case QNetworkReply::InternalServerError:
    case QNetworkReply::OperationNotImplementedError:
    case QNetworkReply::ServiceUnavailableError:
    case QNetworkReply::UnknownServerError:
        return !estadoDe(respuesta).has_value();
    default:
        return true;
    }
}

bool mismoOrigen(const QUrl& a, const QUrl& b) {
    return a.host().compare(b.host(), Qt::CaseInsensitive) == 0 && a.port(443) == b.port(443);
}

// Prepares the next hop of a redirect, or throws when it must not be followed.
void seguirRedireccion(QNetworkReply* respuesta, Pedido& pedido, int saltos) {
    const QUrl destino = respuesta->url().resolved(
        respuesta->attribute(QNetworkRequest::RedirectionTargetAttribute).toUrl());
    if (destino.scheme() != QLatin1String("https"))
        throw ErrorSistema(
            QStringLiteral("Se rechazó una redirección a una dirección sin cifrar."));
    if (saltos >= maximoSaltos) throw ErrorSistema(QStringLiteral("Demasiadas redirecciones."));
    // The bearer token belongs to the host it was meant for.
    if (!mismoOrigen(pedido.url, destino))
        pedido.cabeceras.removeIf([](const QPair<QByteArray, QByteArray>& cabecera) {
            return cabecera.first.compare("Authorization", Qt::CaseInsensitive) == 0;
        });
    const int estado = estadoDe(respuesta).value_or(0);
    if (estado == 303 || ((estado == 301 || estado == 302) && pedido.metodo == "POST")) {
        pedido.metodo = "GET";
        pedido.cuerpo.clear();
        pedido.cabeceras.removeIf([](const QPair<QByteArray, QByteArray>& cabecera) {
            return cabecera.first.compare("Content-Type", Qt::CaseInsensitive) == 0;
        });
    }
    pedido.url = destino;
}

// Publishes how much of a body has arrived, at most once per hundredth. Qt's own
// downloadProgress is held back to a few a second, too few for a package on a fast network.
class Avance {
public:
    explicit Avance(const AvisoProgreso& aviso) : aviso_(aviso) {}

    void sumar(QNetworkReply* respuesta, qint64 bytes) {
        if (!aviso_) return;
        recibidos_ += bytes;
        const qint64 tamano = respuesta->header(QNetworkRequest::ContentLengthHeader).toLongLong();
        if (tamano <= 0) {
            if (centesimas_ != desconocido) aviso_(std::nullopt);
            centesimas_ = desconocido;
            return;
        }
        const double fraccion = std::min(1.0, double(recibidos_) / double(tamano));
        const int centesimas = int(fraccion * 100);
        if (centesimas == centesimas_) return;
        centesimas_ = centesimas;
        aviso_(fraccion);
    }

private:
    static constexpr int desconocido = -2;
    const AvisoProgreso& aviso_;
    qint64 recibidos_ = 0;
    int centesimas_ = -1;
};

QCoro::Task<Contestacion> transferir(Entorno entorno, Pedido pedido, QString archivo,
                                     AvisoProgreso aviso) {
    std::unique_ptr<QNetworkAccessManager, QScopedPointerDeleteLater> red(
        new QNetworkAccessManager);
    red->setAutoDeleteReplies(false);

    std::unique_ptr<QSaveFile> salida;
    if (!archivo.isEmpty()) {
        QDir().mkpath(QFileInfo(archivo).absolutePath());
        salida = std::make_unique<QSaveFile>(archivo);
        if (!salida->open(QIODevice::WriteOnly)) throw ErrorSistema(salida->errorString());
    }
    struct Fin { // whatever the outcome, no progress is shown once the transfer is over
        AvisoProgreso& aviso;
        ~Fin() {
            if (aviso) aviso(std::nullopt);
        }
    } fin{aviso};

    // Qt reports its own transfer time-out as a cancellation, and so is this one: both are
    // reported as a time-out, which is the only reason a request is cancelled here.
    QNetworkReply* enCurso = nullptr;
    QString falloEscritura;
    QTimer total;
    total.setSingleShot(true);
    QObject::connect(&total, &QTimer::timeout, [&enCurso] {
        if (enCurso) enCurso->abort();
    });
    total.start(entorno.esperaTotal);

    // With extra authorities the system's are named one by one (configuracionTls): the first
    // request reads them beside the window's thread, not on it.
    static bool autoridadesLeidas = false; // touched on the window's thread only
    if (!entorno.autoridades.isEmpty() && !autoridadesLeidas) {
        co_await enSegundoPlano([] { (void)autoridadesDelSistema(); });
        autoridadesLeidas = true;
    }

    for (int saltos = 0;; ++saltos) {
        Respuesta respuesta(enviar(*red, armar(entorno, pedido), pedido));
        enCurso = respuesta.get();
        Avance avance(aviso);
        auto volcar = [&] {
            QNetworkReply* r = respuesta.get();
            if (!salida || esRedireccion(r) || !falloEscritura.isEmpty()) {
                r->readAll();
                return;
            }
            const QByteArray trozo = r->readAll();
            if (salida->write(trozo) != trozo.size()) {
                falloEscritura = salida->errorString();
                r->abort();
                return;
            }
            avance.sumar(r, trozo.size());
        };
        if (salida) QObject::connect(respuesta.get(), &QNetworkReply::readyRead, volcar);
        co_await respuesta.get();
        enCurso = nullptr;
        QObject::disconnect(respuesta.get(), nullptr, nullptr, nullptr);

        if (!falloEscritura.isEmpty()) throw ErrorSistema(falloEscritura);
        if (respuesta->error() == QNetworkReply::OperationCanceledError)
            throw ErrorSistema(tiempoAgotado);
        if (esFalloDeTransporte(respuesta.get())) throw ErrorSistema(respuesta->errorString());
        if (esRedireccion(respuesta.get())) {
            seguirRedireccion(respuesta.get(), pedido, saltos);
            continue;
        }

        Contestacion contestacion{estadoDe(respuesta.get()), {}};
        if (salida) {
            volcar();
            if (!falloEscritura.isEmpty()) throw ErrorSistema(falloEscritura);
            // Committing flushes the whole file to disk, a good tenth of a second for a large
            // package: done beside the window's thread, which leaves the file alone meanwhile.
            bool guardado = false;
            co_await enSegundoPlano([&salida, &guardado] { guardado = salida->commit(); });
            if (!guardado) throw ErrorSistema(salida->errorString());
        } else {
            contestacion.cuerpo = respuesta->readAll();
        }
        co_return contestacion;
    }
}

} // namespace

QCoro::Task<Contestacion> pedir(Entorno entorno, Pedido pedido) {
    co_return co_await transferir(std::move(entorno), std::move(pedido), QString(), {});
}

QCoro::Task<Contestacion> pedirAArchivo(Entorno entorno, Pedido pedido, QString archivo,
                                        AvisoProgreso aviso) {
    co_return co_await transferir(std::move(entorno), std::move(pedido), std::move(archivo),
                                  std::move(aviso));
}

QSslConfiguration configuracionTls(const Entorno& entorno) {
    QSslConfiguration ssl = QSslConfiguration::defaultConfiguration();
    ssl.setPeerVerifyMode(QSslSocket::VerifyPeer);
    if (entorno.autoridades.isEmpty()) return ssl;
    // Qt 6.4 loads the system's authorities on demand, and touching the list at all (adding
    // included) turns that off: the system's are named explicitly, then the extra ones.
    QList<QSslCertificate> autoridades = ssl.caCertificates();
    if (autoridades.isEmpty()) autoridades = autoridadesDelSistema();
    ssl.setCaCertificates(autoridades + entorno.autoridades);
    return ssl;
}

QJsonObject objetoJson(const QByteArray& cuerpo) {
    const QJsonDocument documento = QJsonDocument::fromJson(cuerpo);
    return documento.isObject() ? documento.object() : QJsonObject();
}
