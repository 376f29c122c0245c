#include "service/marca.h"

#include <QJsonDocument>
#include <QJsonObject>

std::optional<MarcaServicio> decodificarMarca(const QByteArray& datos) {
    QJsonParseError error;
    const QJsonDocument documento = QJsonDocument::fromJson(datos, &error);
    if (error.error != QJsonParseError::NoError || !documento.isObject()) return std::nullopt;
    const QJsonValue licencias = documento.object().value(QLatin1String("licencias"));
    if (!licencias.isObject()) return std::nullopt;
    const QJsonValue url = licencias.toObject().value(QLatin1String("url"));
    if (!url.isString()) return std::nullopt;
    return MarcaServicio{Licencias{url.toString()}};
}
