#pragma once

#include <QByteArray>
#include <QFileDevice>
#include <QString>

#include <optional>

// Writes a whole file atomically: readers see the earlier content or the new one, never a part.
// With permisos, the file has exactly those, also when it replaces an older file. The parent
// folder must exist. Throws ErrorSistema with the system's description.
void guardarArchivo(const QString& ruta, const QByteArray& datos,
                    std::optional<QFileDevice::Permissions> permisos = std::nullopt);
