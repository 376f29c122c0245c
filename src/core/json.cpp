#include "core/json.h"

#include <QJsonDocument>

std::optional<QJsonObject> objetoEstricto(const QByteArray& json) {
    QJsonParseError error;
    const QJsonDocument documento = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !documento.isObject()) return std::nullopt;
    return documento.object();
}
