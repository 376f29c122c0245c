#pragma once

#include <QByteArray>
#include <QJsonObject>

#include <optional>

// The top-level object of a file the application decodes strictly (the catalog, the accounts
// book, the session, the service's mark): none when the text does not parse or is not an object.
std::optional<QJsonObject> objetoEstricto(const QByteArray& json);
