#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

#include <optional>

// Where the saved session lives, below the user's home.
QString archivoSesion(const QString& home);

// The session file as a map of texts. A file that is not a JSON object, or has any member whose
// value is not a string, gives none.
std::optional<QHash<QString, QString>> decodificarSesion(const QByteArray& json);
