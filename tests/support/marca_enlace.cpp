// Where the calls that do not follow links are their own (Linux).
#include "herramientas.h"

#include <QFile>

#include <sys/xattr.h>

namespace {
const char* const marca = "user.com.apple.quarantine";
}

bool ponerMarca(const QString& ruta) {
    const QByteArray valor = "0081;00000000;Safari;";
    return ::lsetxattr(QFile::encodeName(ruta).constData(), marca, valor.constData(), valor.size(),
                       0) == 0;
}

bool tieneMarca(const QString& ruta) {
    char valor[64];
    return ::lgetxattr(QFile::encodeName(ruta).constData(), marca, valor, sizeof valor) >= 0;
}
