#pragma once

#include <QCoro/QCoroTask>
#include <QString>

// Unpacks a downloaded ZIP package into a folder that exists already, in-process on every
// system: a package from the network is untrusted, and no system unpack tool checks what
// extraerZip checks. Any refusal or error throws Failure "El paquete de " + nombre +
// " no se pudo abrir.".
QCoro::Task<> desempaquetar(QString paquete, QString carpeta, QString nombre);

// The unpacker, off the event loop's thread when called by desempaquetar. False when the archive
// cannot be read, or when an entry is absolute, climbs out with "..", is a link pointing
// outside the folder, would be written through a link, or is neither file, folder nor link.
// What was written before a refusal stays in the folder; the caller discards the folder.
bool extraerZip(const QString& paquete, const QString& carpeta);
