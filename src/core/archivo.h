#pragma once

#include <QByteArray>
#include <QFileDevice>
#include <QString>

#include <optional>

// Whole files the application reads and writes itself (the accounts book, the session, the
// service configuration, the catalog). Nothing in them is trusted to be a small regular file,
// and no failure of the disk is taken for success.

// Enough for thousands of accounts, a session or a configuration file; far above any real one.
inline constexpr qint64 kLimiteArchivoPequeno = qint64(4) * 1024 * 1024;

// Reads a whole regular file of at most `limite` bytes. The type and size are checked before
// anything is opened, and the open never blocks, so a FIFO, a device, a folder or a file that is
// too large is refused at once and left as it was. Nothing at the path (a dangling link
// included) gives none; every other failure throws ErrorSistema with a Spanish sentence.
std::optional<QByteArray> leerArchivoLimitado(const QString& ruta, qint64 limite);

// Replaces a whole file atomically and makes sure of it: every write is checked where it
// happens, the data is on the disk and of the right size before it takes the file's place, and
// afterwards the file reads back as written. On any failure (a full disk at the last byte
// included) it throws ErrorSistema with a Spanish sentence and the earlier file stays whole.
// Something at the path that is not a regular file is never replaced. With permisos, the file
// has exactly those, also when it replaces an older one. A missing parent folder is created.
void guardarArchivo(const QString& ruta, const QByteArray& datos,
                    std::optional<QFileDevice::Permissions> permisos = std::nullopt);

// Removes what interrupted atomic writes of `ruta` left beside it: regular files named after it
// plus "." and six letters, owned by this user and untouched for a minute, so that another
// copy's write in progress is never one of them. Best effort: what cannot go stays for the next
// time. guardarArchivo does it before every write.
void barrerTemporales(const QString& ruta);
