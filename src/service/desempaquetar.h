#pragma once

#include <QCoro/QCoroTask>
#include <QString>
#include <QStringList>

#include <optional>

// Unpacks a downloaded ZIP package into an empty folder that exists already, in-process on every
// system: a package from the network is untrusted, and no system unpack tool checks what
// extraerZip checks. Any refusal or error throws Failure "El paquete de " + nombre +
// " no se pudo abrir.". Gives the links it made, as extraerZip does.
QCoro::Task<QStringList> desempaquetar(QString paquete, QString carpeta, QString nombre);

// The unpacker, off the event loop's thread when called by desempaquetar. False when the archive
// cannot be read; when an entry is absolute, climbs out with "..", is a link pointing outside
// the folder, would be written through a link, is neither file, folder nor link, has a name
// that is not UTF-8 or too long for the system; when what it unpacks would take more than
// `limite` bytes (cabidaEn the folder when none is given); or when any write
// fails. Every entry's name, kind and size said are looked at before any is written; what was
// written before a later refusal stays in the folder, and the caller discards the folder. A
// package without links is written by two threads at once, each half of it.
// The folder must hold nothing else: the links it then holds are the ones it made, checked once
// all are made without walking the folder, and named in `enlaces` (paths inside the folder).
bool extraerZip(const QString& paquete, const QString& carpeta,
                std::optional<qint64> limite = std::nullopt, QStringList* enlaces = nullptr);

// Whether the links of `enlaces` (paths inside a folder; what is no longer a link is passed
// over), followed through the links on disk, stay inside the folder: a chain of links that are
// each harmless alone can still lead outside.
bool enlacesDentro(const QString& carpeta, const QStringList& enlaces);
