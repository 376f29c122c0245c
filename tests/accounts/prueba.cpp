#include "prueba.h"

#include <QFile>

#include <sys/stat.h>

int modo(const QString& ruta) {
    struct stat info;
    if (::lstat(QFile::encodeName(ruta).constData(), &info) != 0) return -1;
    return static_cast<int>(info.st_mode & 07777);
}

Cuenta cuentaDePrueba(const QString& email, const QString& password) {
    const auto [salt, hash] = resumenCuenta(email, password, std::nullopt);
    return Cuenta{email.trimmed(), salt, hash, QStringLiteral("correo"),
                  QStringLiteral("2026-01-02T03:04:05Z")};
}
