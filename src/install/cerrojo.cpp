#include "install/cerrojo.h"

#include "core/errores.h"

#include <cerrno>

Cerrojo tomarCerrojo(const QString& archivo, const QString& para) {
    auto cerrojo = std::make_unique<QLockFile>(archivo);
    // Only a process that has ended leaves a lock to take over: a long copy keeps its own.
    cerrojo->setStaleLockTime(0);
    errno = 0;
    if (cerrojo->tryLock(0)) return cerrojo;
    const int error = errno;
    if (cerrojo->error() == QLockFile::LockFailedError) return nullptr;
    throw errorDeArchivo(error != 0 ? error : EACCES, QStringLiteral("No se pudo cambiar"), para);
}

Cerrojo tomarCerrojoSinError(const QString& archivo) {
    try {
        return tomarCerrojo(archivo, archivo);
    } catch (...) {
        return nullptr;
    }
}
