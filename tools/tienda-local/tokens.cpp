#include "tokens.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

TokensTienda::TokensTienda(const QString& archivo) : archivo_(archivo) {}

bool TokensTienda::cargar(QString* error) {
    orden_.clear();
    titulares_.clear();
    if (!QFileInfo::exists(archivo_)) return true;
    QFile f(archivo_);
    if (!f.open(QIODevice::ReadOnly)) {
        *error = archivo_ + QStringLiteral(": ") + f.errorString();
        return false;
    }
    const QByteArray contenido = f.read(tamanoMaximo + 1);
    if (contenido.size() > tamanoMaximo) {
        *error = archivo_ + QStringLiteral(": larger than %1 bytes").arg(tamanoMaximo);
        return false;
    }
    QJsonParseError fallo;
    const QJsonDocument doc = QJsonDocument::fromJson(contenido, &fallo);
    const QJsonValue lista = doc.object().value(QLatin1String("tokens"));
    if (fallo.error != QJsonParseError::NoError || !lista.isArray()) {
        *error = archivo_ + QStringLiteral(": not a tokens file");
        return false;
    }
    for (const QJsonValue& v : lista.toArray()) {
        const QString token = v.toObject().value(QLatin1String("token")).toString();
        const QString email = v.toObject().value(QLatin1String("email")).toString();
        if (token.isEmpty() || email.isEmpty() || titulares_.contains(token)) continue;
        orden_.append({token, email});
        titulares_.insert(token, email);
    }
    while (orden_.size() > maximo)
        titulares_.remove(orden_.takeFirst().first);
    return true;
}

QString TokensTienda::titular(const QString& token) const {
    return titulares_.value(token);
}

bool TokensTienda::anadir(const QString& token, const QString& email, QString* error) {
    orden_.append({token, email});
    titulares_.insert(token, email);
    while (orden_.size() > maximo)
        titulares_.remove(orden_.takeFirst().first);

    QJsonArray lista;
    for (const auto& [t, e] : orden_)
        lista.append(QJsonObject{{QStringLiteral("email"), e}, {QStringLiteral("token"), t}});
    const QByteArray contenido = QJsonDocument(QJsonObject{{QStringLiteral("tokens"), lista}})
                                     .toJson(QJsonDocument::Compact);
    QSaveFile f(archivo_);
    // The mode is set before the first byte, so no token is ever readable by others.
    if (!f.open(QIODevice::WriteOnly) ||
        !f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner) ||
        f.write(contenido) != contenido.size() || !f.commit()) {
        *error = archivo_ + QStringLiteral(": ") + f.errorString();
        return false;
    }
    return true;
}
