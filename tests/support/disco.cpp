#include "disco.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>

#include <sys/statvfs.h>
#include <unistd.h>

namespace {

// Runs a system tool; empty when it ran and exited 0, otherwise why not.
QString ejecutar(const QString& herramienta, const QStringList& argumentos) {
    if (::geteuid() != 0) return QStringLiteral("needs root");
    const QString programa = QStandardPaths::findExecutable(herramienta);
    if (programa.isEmpty()) return herramienta + QStringLiteral(" is not installed");
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(programa, argumentos);
    if (!p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return herramienta + QStringLiteral(" failed: ") + QString::fromLocal8Bit(p.readAll());
    return {};
}

} // namespace

DiscoPequeno::DiscoPequeno(const QString& carpeta, qint64 bytes) : carpeta(carpeta) {
    QDir().mkpath(carpeta);
    motivo = ejecutar(QStringLiteral("mount"),
                      {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                       QStringLiteral("size=") + QString::number(bytes), QStringLiteral("tmpfs"),
                       carpeta});
    if (!motivo.isEmpty()) motivo = QStringLiteral("a small file system: ") + motivo;
}

DiscoPequeno::~DiscoPequeno() {
    if (motivo.isEmpty()) ejecutar(QStringLiteral("umount"), {QStringLiteral("-l"), carpeta});
}

qint64 DiscoPequeno::libre() const {
    struct statvfs info;
    if (::statvfs(QFile::encodeName(carpeta).constData(), &info) != 0) return -1;
    return qint64(info.f_bavail) * qint64(info.f_frsize);
}

Inmutable::Inmutable(const QString& ruta) : ruta(ruta) {
    motivo = ejecutar(QStringLiteral("chattr"), {QStringLiteral("+i"), ruta});
    if (!motivo.isEmpty()) motivo = QStringLiteral("an immutable folder: ") + motivo;
}

Inmutable::~Inmutable() {
    if (motivo.isEmpty()) ejecutar(QStringLiteral("chattr"), {QStringLiteral("-i"), ruta});
}
