#include "servicio.h"

#include "empaquetar.h"

#include <QDir>
#include <QFile>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRandomGenerator>
#include <QUrl>

#include <cstdio>

namespace {

using Estado = QHttpServerResponder::StatusCode;

const QString noValida = QStringLiteral("Petición no válida.");
const QString sinSesion = QStringLiteral("La sesión de la tienda no es válida. Vuelve a entrar.");

void responder(QHttpServerResponder& r, int estado, const QJsonObject& cuerpo) {
    r.write(QJsonDocument(cuerpo), Estado(estado));
}

QJsonObject rechazo(const QString& error) {
    return {{QStringLiteral("ok"), false}, {QStringLiteral("error"), error}};
}

QJsonObject error(const QString& texto) {
    return {{QStringLiteral("error"), texto}};
}

void desconocida(QHttpServerResponder& r) {
    responder(r, 404, error(QStringLiteral("Ruta desconocida.")));
}

QByteArray cabecera(const QHttpServerRequest& request, QByteArrayView nombre) {
    for (const auto& [n, v] : request.headers())
        if (n.compare(nombre, Qt::CaseInsensitive) == 0) return v;
    return {};
}

QString tokenNuevo() {
    QByteArray bytes;
    for (int i = 0; i < 8; ++i) {
        const quint32 n = QRandomGenerator::system()->generate();
        bytes.append(reinterpret_cast<const char*>(&n), sizeof n);
    }
    return QString::fromLatin1(
        bytes.toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals));
}

void avisar(const QString& texto) {
    std::fprintf(stderr, "tienda-local: %s\n", qPrintable(texto));
    std::fflush(stderr);
}

} // namespace

ServicioTienda::ServicioTienda(DatosTienda datos, QObject* parent)
    : QAbstractHttpServer(parent), datos_(std::move(datos)),
      tokens_(datos_.ruta(QStringLiteral("tokens.json"))),
      paquetes_(datos_.ruta(QStringLiteral(".zips"))) {
    QString fallo;
    if (!tokens_.cargar(&fallo)) avisar(fallo + QStringLiteral("; every client signs in again"));
}

bool ServicioTienda::handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) {
    QHttpServerResponder r = makeResponder(request, socket);
    // Split the encoded path, so an id holding "%2F" stays one segment.
    const QStringList partes = request.url().path(QUrl::FullyEncoded).split(QLatin1Char('/'));
    const auto metodo = request.method();
    const bool get = metodo == QHttpServerRequest::Method::Get;
    if (partes.size() == 3 && partes[1] == QLatin1String("v1")) {
        if (partes[2] == QLatin1String("cuenta") && metodo == QHttpServerRequest::Method::Post)
            cuenta(request, r);
        else if (partes[2] == QLatin1String("salud") && get)
            salud(request, r);
        else if (partes[2] == QLatin1String("mios") && get)
            mios(request, r);
        else
            desconocida(r);
    } else if (partes.size() == 4 && partes[1] == QLatin1String("v1") &&
               partes[2] == QLatin1String("bajar") && !partes[3].isEmpty() && get) {
        bajar(request, QUrl::fromPercentEncoding(partes[3].toUtf8()), r);
    } else {
        desconocida(r);
    }
    return true;
}

void ServicioTienda::missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) {
    QHttpServerResponder r = makeResponder(request, socket);
    desconocida(r);
}

void ServicioTienda::cuenta(const QHttpServerRequest& request, QHttpServerResponder& r) {
    const QJsonObject o = QJsonDocument::fromJson(request.body()).object();
    const QJsonValue accion = o.value(QLatin1String("action"));
    const QJsonValue email = o.value(QLatin1String("email"));
    const QJsonValue password = o.value(QLatin1String("password"));
    if (!accion.isString() || !email.isString() || !password.isString())
        return responder(r, 400, rechazo(noValida));
    if (!correoValido(email.toString()))
        return responder(r, 400, rechazo(QStringLiteral("Escribe un correo válido.")));

    QString guardado;
    if (accion.toString() == QLatin1String("crear")) {
        if (letras(password.toString()) < 8)
            return responder(r, 400,
                             rechazo(QStringLiteral("La contraseña necesita 8 caracteres o más.")));
        if (datos_.cuenta(email.toString()))
            return responder(
                r, 409,
                rechazo(QStringLiteral("Ese correo ya tiene cuenta. Entra con su contraseña.")));
        QString fallo;
        if (!datos_.crearCuenta(email.toString(), password.toString(), &fallo)) {
            avisar(fallo);
            return responder(r, 500, rechazo(QStringLiteral("No se pudo guardar la cuenta.")));
        }
        guardado = email.toString().trimmed();
    } else if (accion.toString() == QLatin1String("entrar")) {
        const auto c = datos_.cuenta(email.toString());
        const auto salt = c ? QByteArray::fromBase64Encoding(
                                  c->salt.toLatin1(), QByteArray::AbortOnBase64DecodingErrors)
                            : QByteArray::FromBase64Result{};
        if (!c || c->passHash.isEmpty() || !salt || salt.decoded.isEmpty() ||
            resumen(email.toString(), password.toString(), *salt) != c->passHash)
            return responder(r, 401,
                             rechazo(QStringLiteral("El correo o la contraseña no coinciden.")));
        guardado = c->email;
    } else {
        return responder(r, 400, rechazo(noValida));
    }

    const QString token = tokenNuevo();
    QString fallo;
    if (!tokens_.anadir(token, correoNormalizado(guardado), &fallo))
        avisar(fallo + QStringLiteral("; the token holds until the service stops"));
    responder(r, 200,
              {{QStringLiteral("ok"), true},
               {QStringLiteral("token"), token},
               {QStringLiteral("email"), guardado}});
}

void ServicioTienda::salud(const QHttpServerRequest& request, QHttpServerResponder& r) {
    // The house is this same service, under the name the client used to reach it.
    QUrl descargas;
    descargas.setScheme(QStringLiteral("https"));
    descargas.setHost(
        QUrl(QStringLiteral("https://") + QString::fromLatin1(cabecera(request, "host")),
             QUrl::StrictMode)
            .host());
    if (descargas.host().isEmpty()) descargas.setHost(QStringLiteral("127.0.0.1"));
    descargas.setPort(puerto);
    responder(r, 200, {{QStringLiteral("descarga"), descargas.toString()}});
}

QString ServicioTienda::titular(const QHttpServerRequest& request) const {
    const QByteArray valor = cabecera(request, "authorization");
    if (!valor.startsWith("Bearer ")) return {};
    return tokens_.titular(QString::fromLatin1(valor.mid(7).trimmed()));
}

void ServicioTienda::mios(const QHttpServerRequest& request, QHttpServerResponder& r) {
    const QString email = titular(request);
    if (email.isEmpty()) return responder(r, 401, rechazo(sinSesion));
    QJsonArray plugins;
    for (const QString& id : datos_.compras(email)) {
        QJsonObject plugin{{QStringLiteral("id"), id}, {QStringLiteral("name"), datos_.nombre(id)}};
        // What the application checks the download against; a plug-in without a package (which
        // the download refuses) or whose package cannot be made goes without them.
        const QString carpeta = datos_.carpetaPaquete(id);
        QString fallo;
        if (const auto paquete = carpeta.isEmpty() ? std::nullopt : paquetes_.de(carpeta, &fallo)) {
            plugin.insert(QStringLiteral("sha256"), QString::fromLatin1(paquete->sha256));
            plugin.insert(QStringLiteral("size"), double(paquete->tamano));
        } else if (!fallo.isEmpty()) {
            avisar(id + QStringLiteral(": ") + fallo);
        }
        plugins.append(plugin);
    }
    responder(r, 200, {{QStringLiteral("ok"), true}, {QStringLiteral("plugins"), plugins}});
}

void ServicioTienda::bajar(const QHttpServerRequest& request, const QString& id,
                           QHttpServerResponder& r) {
    const QString email = titular(request);
    if (email.isEmpty()) return responder(r, 401, rechazo(sinSesion));
    if (!datos_.compras(email).contains(id, Qt::CaseInsensitive))
        return responder(r, 404, error(QStringLiteral("Esta cuenta no compró ese plugin.")));
    const QString carpeta = datos_.carpetaPaquete(id);
    if (carpeta.isEmpty())
        return responder(r, 404, error(QStringLiteral("Ese plugin todavía no tiene paquete.")));

    // The same zip the list described; the responder streams it and closes it.
    QString fallo;
    const auto paquete = paquetes_.de(carpeta, &fallo);
    auto archivo = std::make_unique<QFile>(paquete ? paquete->archivo : QString());
    if (!paquete || !archivo->open(QIODevice::ReadOnly)) {
        avisar(id + QStringLiteral(": ") + (fallo.isEmpty() ? archivo->errorString() : fallo));
        return responder(r, 500, error(QStringLiteral("No se pudo preparar el paquete.")));
    }
    r.write(archivo.release(), {{"Content-Type", "application/zip"}});
}
