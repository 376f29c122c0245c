// Where not following links is an option of the one call (Apple).
#include "herramientas.h"

#include <QFile>

#include <sys/xattr.h>

namespace {
const char* const marca = "user.com.apple.quarantine";
}

bool ponerMarca(const QString& ruta) {
    const QByteArray valor = "0081;00000000;Safari;";
    return ::setxattr(QFile::encodeName(ruta).constData(), marca, valor.constData(), valor.size(),
                      0, XATTR_NOFOLLOW) == 0;
}

bool tieneMarca(const QString& ruta) {
    char valor[64];
    return ::getxattr(QFile::encodeName(ruta).constData(), marca, valor, sizeof valor, 0,
                      XATTR_NOFOLLOW) >= 0;
}
