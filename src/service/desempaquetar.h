#pragma once

#include <QCoro/QCoroTask>
#include <QString>

// Unpacks a downloaded ZIP package into a folder that exists already. Any refusal or error
// throws Failure "El paquete de " + nombre + " no se pudo abrir.".
QCoro::Task<> desempaquetar(QString paquete, QString carpeta, QString nombre);

#ifndef Q_OS_MACOS
// The in-process unpacker used where the system has no unpack tool. False when the archive
// cannot be read, or when an entry is absolute, climbs out with "..", is a link pointing
// outside the folder, would be written through a link, or is neither file, folder nor link.
// What was written before a refusal stays in the folder; the caller discards the folder.
bool extraerZip(const QString& paquete, const QString& carpeta);
#endif
