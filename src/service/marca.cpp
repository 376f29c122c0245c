#include "service/marca.h"

#include "core/json.h"

#include <QJsonDocument>
#include <QJsonObject>

std::optional<MarcaServicio> decodificarMarca(const QByteArray& datos) {
    const std::optional<QJsonObject> objeto = objetoEstricto(datos);
    if (!objeto) return std::nullopt;
    const QJsonValue licencias = objeto->value(QLatin1String("licencias"));
    if (!licencias.isObject()) return std::nullopt;
    const QJsonValue url = licencias.toObject().value(QLatin1String("url"));
    if (!url.isString()) return std::nullopt;
    return MarcaServicio{Licencias{url.toString()}};
}
