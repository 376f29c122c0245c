// The saved session: opening it, restoring it at start, and signing out.
#include "accounts/sesion.h"

#include "accounts/cuentas.h"
#include "core/archivo.h"
#include "core/json.h"
#include "core/store.h"
#include "core/texto.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

namespace {
const QString kEmail = QStringLiteral("email");
const QString kToken = QStringLiteral("token");
} // namespace

QString archivoSesion(const QString& home) {
    return unir(home,
                QStringLiteral("Library/Application Support/Quelo DSP/instalador-sesion.json"));
}

std::optional<QHash<QString, QString>> decodificarSesion(const QByteArray& json) {
    const std::optional<QJsonObject> objeto = objetoEstricto(json);
    if (!objeto) return std::nullopt;
    QHash<QString, QString> datos;
    for (auto it = objeto->constBegin(); it != objeto->constEnd(); ++it) {
        if (!it.value().isString()) return std::nullopt;
        datos.insert(it.key(), it.value().toString());
    }
    return datos;
}

void Store::abrir(const QString& email, const std::optional<QString>& token) {
    const QString ruta = archivoSesion(entorno_.home);
    // An empty token is no store session: the file would be read back as a local one.
    const std::optional<QString> valido = token && !token->isEmpty() ? token : std::nullopt;
    QJsonObject datos{{kEmail, email}};
    if (valido) datos.insert(kToken, *valido);
    // The file holds a bearer token: its owner alone may read it.
    guardarArchivo(ruta, QJsonDocument(datos).toJson(QJsonDocument::Compact),
                   QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    // Only now, so a session is never shown open without having been saved.
    setCuentaEmail(email);
    setTokenCasa(valido);
}

void Store::cargarSesion() {
    std::optional<QHash<QString, QString>> datos;
    try {
        if (const auto json =
                leerArchivoLimitado(archivoSesion(entorno_.home), kLimiteArchivoPequeno))
            datos = decodificarSesion(*json);
    } catch (...) {
        // Unreadable is signed out, like undecodable.
    }

    std::optional<QString> email;
    std::optional<QString> token;
    if (datos && datos->contains(kEmail)) {
        const QString guardado = datos->value(kEmail);
        const QString ficha = datos->value(kToken);
        if (!ficha.isEmpty()) {
            email = guardado;
            token = ficha;
        } else {
            // A local session stands only while a local account backs it.
            try {
                const QString libro = archivoDatos(kLibroCuentas);
                if (buscarCuenta(leerLibro(libro).cuentas, guardado)) email = guardado;
            } catch (...) {
            }
        }
    }
    // A rejected file stays where it is: nothing here deletes or reports.
    setCuentaEmail(email);
    setTokenCasa(token);
}

void Store::salir() {
    // A run in flight stops first, at once: it sends the token no more and shows nothing after
    // this sign-out's own text.
    for (const Cancelacion& c : std::as_const(enCurso_))
        c.pedir(Cancelacion::Aviso::Callado);
    setCuentaEmail(std::nullopt);
    setTokenCasa(std::nullopt);
    QFile::remove(archivoSesion(entorno_.home));
    setStatus(QStringLiteral("Sesión cerrada."));
}
