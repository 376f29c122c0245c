#include "service/red.h"

#include "core/failure.h"
#include "service/avance.h"
#include "service/errorred.h"
#include "service/hilored.h"
#include "service/volcado.h"

#include <QCoro/QCoroNetworkReply>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QScopedPointer>
#include <QSslConfiguration>
#include <QThreadPool>
#include <QTimer>

#include <algorithm>
#include <memory>

namespace {

using Respuesta = std::unique_ptr<QNetworkReply, QScopedPointerDeleteLater>;

constexpr int maximoSaltos = 20;

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
    // Over HTTP/2 Qt 6.4 reads on whatever the server sends, however full the reply's buffer:
    // a fast server fills memory while the window's thread is busy. Over HTTP/1.1 a full buffer
    // (setReadBufferSize) stops reading the socket, and TCP holds the server back. Nothing here
    // gains from HTTP/2: one request at a time, each on a connection of its own.
    peticion.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
    // Qt's decompression safety check stays as it is: past 10 MiB decoded, a body that expands
    // more than 40 times is cut off as a failed transfer. A package is a ZIP archive, already
    // compressed, which gzip does not shrink by anything near that: a real one of any size passes.
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

// Qt turns 4xx and 5xx statuses into errors of its own; those are answers here. Everything
// else (connection, TLS, time-out, a body cut short or that does not decompress, even after a
// status 200) is a failed transfer.
bool esFalloDeTransporte(QNetworkReply* respuesta) {
    const std::optional<int> estado = estadoDe(respuesta);
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
        return !estado || *estado < 400;
    default:
        return true;
    }
}

bool mismoOrigen(const QUrl& a, const QUrl& b) {
    return a.scheme() == b.scheme() && a.host().compare(b.host(), Qt::CaseInsensitive) == 0 &&
           a.port(443) == b.port(443);
}

// Prepares the next hop of a redirect, or throws when it must not be followed.
void seguirRedireccion(QNetworkReply* respuesta, Pedido& pedido, int saltos) {
    const QUrl destino = respuesta->url().resolved(
        respuesta->attribute(QNetworkRequest::RedirectionTargetAttribute).toUrl());
    if (destino.scheme() != QLatin1String("https"))
        throw ErrorSistema(
            QStringLiteral("Se rechazó una redirección a una dirección sin cifrar."));
    if (saltos >= maximoSaltos) throw ErrorSistema(QStringLiteral("Demasiadas redirecciones."));
    const int estado = estadoDe(respuesta).value_or(0);
    if (estado == 303 || ((estado == 301 || estado == 302) && pedido.metodo == "POST")) {
        pedido.metodo = "GET";
        pedido.cuerpo.clear();
        pedido.cabeceras.removeIf([](const QPair<QByteArray, QByteArray>& cabecera) {
            return cabecera.first.compare("Content-Type", Qt::CaseInsensitive) == 0;
        });
    }
    if (!mismoOrigen(pedido.url, destino)) {
        // The only body sent is the sign-in's, with the password: it goes nowhere else.
        if (!pedido.cuerpo.isEmpty())
            throw ErrorSistema(QStringLiteral(
                "Se rechazó una redirección que llevaba la contraseña a otro servidor."));
        // The bearer token belongs to the server it was meant for.
        pedido.cabeceras.removeIf([](const QPair<QByteArray, QByteArray>& cabecera) {
            return cabecera.first.compare("Authorization", Qt::CaseInsensitive) == 0;
        });
    }
    pedido.url = destino;
}

// Publishes how much of a body has arrived, whenever the megabytes the line shows or the hundredth
// of a known length change, and only then: a package of hundreds of megabytes would otherwise wake
// the window's thread thousands of times. Qt's own downloadProgress is held back to a few a
// second, too few for a package on a fast network.
class Avance {
public:
    Avance(const AvisoProgreso& aviso, std::optional<qint64> tamano)
        : aviso_(aviso), tamano_(tamano) {}

    void sumar(QNetworkReply* respuesta, qint64 bytes) {
        if (!aviso_) return;
        recibidos_ += bytes;
        std::optional<qint64> total = tamano_;
        if (!total) {
            const qint64 largo =
                respuesta->header(QNetworkRequest::ContentLengthHeader).toLongLong();
            if (largo > 0) total = largo;
        }
        const qint64 cifra = cifraDeMegas(recibidos_);
        const int centesimas = total && *total > 0
                                   ? int(std::min(1.0, double(recibidos_) / double(*total)) * 100)
                                   : -1;
        if (cifra == cifra_ && centesimas == centesimas_) return;
        cifra_ = cifra;
        centesimas_ = centesimas;
        aviso_(Progreso{recibidos_, total});
    }

private:
    const AvisoProgreso& aviso_;
    const std::optional<qint64> tamano_;
    qint64 recibidos_ = 0;
    qint64 cifra_ = -1;
    int centesimas_ = -1;
};

// A body kept in memory up to limiteJson; past it, dropped for good.
class Acopio {
public:
    // False once the body has gone past the limit.
    bool agregar(const QByteArray& trozo) {
        if (excedido_ || datos_.size() + trozo.size() > limiteJson) {
            excedido_ = true;
            datos_ = QByteArray();
            return false;
        }
        datos_ += trozo;
        return true;
    }
    QByteArray datos() const { return datos_; }

private:
    QByteArray datos_;
    bool excedido_ = false;
};

// Why a transfer was stopped from here.
enum class Corte { Ninguno, Excedido, Escritura, Cancelado };

// The limit on a whole transfer, redirects included. Qt reports its own transfer time-out as a
// cancellation, and so is this one: a cancelled transfer not stopped for a reason of its own is
// reported as a time-out. Queued: an abort resumes the transfer's coroutine at once, which must
// not happen inside the timer's signal.
class Plazo {
public:
    explicit Plazo(std::chrono::milliseconds espera) {
        reloj_.setSingleShot(true);
        QObject::connect(&reloj_, &QTimer::timeout, [this] {
            vencido_ = true;
            if (enCurso_)
                QMetaObject::invokeMethod(enCurso_, &QNetworkReply::abort, Qt::QueuedConnection);
        });
        reloj_.start(espera);
    }
    Plazo(const Plazo&) = delete;
    Plazo& operator=(const Plazo&) = delete;

    // Also before a request is on its way (reading the authorities).
    bool vencido() const { return vencido_; }
    // The reply aborted when the time is up; none between two hops.
    void vigilar(QNetworkReply* respuesta) { enCurso_ = respuesta; }

private:
    QTimer reloj_;
    QNetworkReply* enCurso_ = nullptr;
    bool vencido_ = false;
};

// What arrives of one hop's reply: into the package file when it is the package (status 200 with
// a file to write), otherwise kept as the JSON reply, within its limit. The transfer is stopped
// from the event loop, never inside readyRead, when the body is too large, the file cannot be
// written, or the action is asked to stop.
class Recepcion {
public:
    Recepcion(QNetworkReply* respuesta, Volcado* volcado, const AvisoProgreso& aviso,
              std::optional<qint64> tamano, const Cancelacion& cancelacion)
        : respuesta_(respuesta), volcado_(volcado), avance_(aviso, tamano),
          alCancelar_(cancelacion.alPedir([this] { detener(Corte::Cancelado); })) {
        QObject::connect(respuesta, &QNetworkReply::readyRead, [this] { recibir(false); });
    }
    Recepcion(const Recepcion&) = delete;
    Recepcion& operator=(const Recepcion&) = delete;

    // Called with `todo` once the reply has finished: what is left is read whatever the
    // writer holds, at most the reply's own buffer more.
    void recibir(bool todo) {
        QNetworkReply* r = respuesta_;
        if (corte_ != Corte::Ninguno || !r->isOpen()) return; // stopped: nothing more is read
        const bool aArchivo = volcado_ && estadoDe(r) == 200;
        // The writer is behind: the rest stays with the network, which holds the server back.
        if (aArchivo && !todo && !volcado_->hayHueco()) return;
        if (aArchivo) {
            qint64 leidos = 0;
            try {
                leidos = volcado_->agregar(*r);
            } catch (...) {
                falloEscritura_ = std::current_exception();
                detener(Corte::Escritura);
                return;
            }
            avance_.sumar(r, leidos);
            return;
        }
        const QByteArray trozo = r->readAll();
        if (!acopio_.agregar(trozo)) {
            detener(Corte::Excedido);
        }
    }

    Corte corte() const { return corte_; }
    const std::exception_ptr& falloEscritura() const { return falloEscritura_; }
    QByteArray datos() const { return acopio_.datos(); }

private:
    void detener(Corte motivo) {
        corte_ = motivo;
        QMetaObject::invokeMethod(respuesta_, &QNetworkReply::abort, Qt::QueuedConnection);
    }

    QNetworkReply* respuesta_;
    Volcado* volcado_;
    Avance avance_;
    Acopio acopio_;
    Corte corte_ = Corte::Ninguno;
    std::exception_ptr falloEscritura_;
    const Cancelacion::Escucha alCancelar_;
};

// How a finished hop ends the transfer: it throws what a failed one means, and says whether the
// reply is the answer or a redirect to follow.
enum class Desenlace { Contestada, Redireccion };

Desenlace desenlaceDe(QNetworkReply* r, const Recepcion& recepcion, const QUrl& url,
                      std::optional<QSslError::SslError> certificado) {
    if (recepcion.corte() == Corte::Cancelado) throw Cancelado();
    if (recepcion.falloEscritura()) std::rethrow_exception(recepcion.falloEscritura());
    // A body too large is still an answer (an empty one), unless it is a redirect's.
    if (recepcion.corte() != Corte::Excedido) {
        if (r->error() == QNetworkReply::OperationCanceledError)
            throw ErrorSistema(textoTiempoAgotado());
        if (esFalloDeTransporte(r)) throw errorDeRed(r->error(), url.host(), certificado);
    }
    return esRedireccion(r) ? Desenlace::Redireccion : Desenlace::Contestada;
}

QCoro::Task<Contestacion> transferir(Entorno entorno, Pedido pedido, QString archivo,
                                     AvisoProgreso aviso, Integridad esperado) {
    std::unique_ptr<QNetworkAccessManager, QScopedPointerDeleteLater> red(
        new QNetworkAccessManager);
    red->setAutoDeleteReplies(false);

    // A length that is no length (see Integridad) refuses the package, but is no total to show.
    const std::optional<qint64> tamano =
        esperado.tamano && *esperado.tamano >= 0 ? esperado.tamano : std::nullopt;
    // Once the writer has room again, what the network holds meanwhile is read (Recepcion).
    std::function<void()> alHaberHueco = [] {};
    std::unique_ptr<Volcado> volcado;
    if (!archivo.isEmpty())
        volcado = std::make_unique<Volcado>(archivo, std::move(esperado),
                                            [&alHaberHueco] { alHaberHueco(); });
    struct Fin { // whatever the outcome, no progress is shown once the transfer is over
        AvisoProgreso& aviso;
        ~Fin() {
            if (aviso) aviso(std::nullopt);
        }
    } fin{aviso};
    Plazo plazo(entorno.esperaTotal);
    // With extra authorities the system's are named one by one (configuracionTls): read here,
    // on the transfer's own thread, at most once per run.
    if (!entorno.autoridades.isEmpty()) (void)autoridadesDelSistema();

    for (int saltos = 0;; ++saltos) {
        // Nothing more is sent once the action is asked to stop: not even a redirect's next hop.
        pedido.cancelacion.comprobar();
        if (plazo.vencido()) throw ErrorSistema(textoTiempoAgotado());
        Respuesta respuesta(enviar(*red, armar(entorno, pedido), pedido));
        respuesta->setReadBufferSize(bufferLectura);
        plazo.vigilar(respuesta.get());
        std::optional<QSslError::SslError> certificado;
        QObject::connect(respuesta.get(), &QNetworkReply::sslErrors,
                         [&certificado](const QList<QSslError>& errores) {
                             if (!certificado && !errores.isEmpty())
                                 certificado = errores.first().error();
                         });
        Recepcion recepcion(respuesta.get(), volcado.get(), aviso, tamano, pedido.cancelacion);
        alHaberHueco = [&recepcion] { recepcion.recibir(false); };
        co_await respuesta.get();
        plazo.vigilar(nullptr);
        recepcion.recibir(true); // whatever was left when it finished
        alHaberHueco = [] {};
        QObject::disconnect(respuesta.get(), nullptr, nullptr, nullptr);

        QNetworkReply* r = respuesta.get();
        if (desenlaceDe(r, recepcion, pedido.url, certificado) == Desenlace::Redireccion) {
            seguirRedireccion(r, pedido, saltos);
            continue;
        }
        const std::optional<int> estado = estadoDe(r);
        if (volcado && estado == 200) {
            // The last blocks are still being written: waited for on this thread, the
            // transfer's own.
            volcado->terminar();
            co_return Contestacion{estado, {}};
        }
        co_return Contestacion{estado, recepcion.datos()};
    }
}

} // namespace

QCoro::Task<Contestacion> pedir(Entorno entorno, Pedido pedido) {
    co_return co_await pedirAArchivo(std::move(entorno), std::move(pedido), QString(),
                                     AvisoProgreso(), Integridad());
}

QCoro::Task<Contestacion> pedirAArchivo(Entorno entorno, Pedido pedido, QString archivo,
                                        AvisoProgreso aviso, Integridad esperado) {
    const Cancelacion cancelacion = pedido.cancelacion;
    // Built apart: g++ 12 miscompiles a capturing lambda inside a co_await expression.
    Transferencia transferencia =
        [entorno = std::move(entorno), pedido = std::move(pedido), archivo = std::move(archivo),
         esperado = std::move(esperado)](Cancelacion propia, AvisoProgreso avisoPropio) mutable {
            pedido.cancelacion = std::move(propia);
            return transferir(std::move(entorno), std::move(pedido), std::move(archivo),
                              std::move(avisoPropio), std::move(esperado));
        };
    co_return co_await enHiloDeRed(std::move(transferencia), cancelacion, std::move(aviso));
}

void adelantarAutoridades(const Entorno& entorno) {
    if (entorno.autoridades.isEmpty()) return;
    // Qt's pool is waited for when the application ends: never cut off half-way.
    QThreadPool::globalInstance()->start([] { (void)autoridadesDelSistema(); });
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

QString errorDelServicio(const QJsonObject& respuesta, const QString& otro) {
    const QJsonValue error = respuesta.value(QLatin1String("error"));
    return error.isString() ? error.toString() : otro;
}
