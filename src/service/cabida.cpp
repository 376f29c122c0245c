#include "service/cabida.h"

#include <QFile>

#include <algorithm>
#include <sys/statvfs.h>

namespace {

// No package is larger: a server that sends more is sending something else.
constexpr qint64 tope = qint64(4) << 30;
constexpr qint64 margen = qint64(64) << 20;

} // namespace

Cabida cabidaEn(const QString& carpeta) {
    struct statvfs info;
    if (::statvfs(QFile::encodeName(carpeta).constData(), &info) != 0) return {0, true};
    const qint64 libre = qint64(info.f_bavail) * qint64(info.f_frsize) - margen;
    return {std::min(tope, libre), libre < tope};
}
