#pragma once

#include <QLockFile>
#include <QString>

#include <memory>

// Locks that serialise every change of one place (a destination, an unpack folder) between
// copies of the application and between actions of one: a file holding the owner's process id,
// removed when the lock is let go. The lock of a process that has ended, however long ago, is
// taken over at once; one held by a live process is never waited for.
using Cerrojo = std::unique_ptr<QLockFile>;

// The lock in `archivo`, taken at once, or none when a live process holds it. Throws ErrorSistema
// naming `para`, what the lock guards, when the lock file cannot be made (a folder that is
// missing, read-only or not ours).
Cerrojo tomarCerrojo(const QString& archivo, const QString& para);

// The same for a sweep: none as well when the lock cannot be made.
Cerrojo tomarCerrojoSinError(const QString& archivo);
