#include "disco.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QStorageInfo>

#include <unistd.h>

namespace {

// Runs a system tool as root to its end; the empty text on success, else why not.
QString ejecutar(const QString& herramienta, const QStringList& argumentos) {
    if (::geteuid() != 0) return herramienta + QStringLiteral(" needs root");
    const QString programa = QStandardPaths::findExecutable(herramienta);
    if (programa.isEmpty()) return herramienta + QStringLiteral(" not found");
    QProcess proceso;
    proceso.setProcessChannelMode(QProcess::MergedChannels);
    proceso.start(programa, argumentos);
    if (!proceso.waitForFinished(30000)) return herramienta + QStringLiteral(" did not finish");
    if (proceso.exitStatus() == QProcess::NormalExit && proceso.exitCode() == 0) return {};
    return herramienta + QStringLiteral(" failed: ") +
           QString::fromLocal8Bit(proceso.readAll()).trimmed();
}

} // namespace

DiscoPequeno::DiscoPequeno(const QString& carpeta, qint64 bytes) : carpeta_(carpeta) {
    QDir().mkpath(carpeta);
    razon_ = ejecutar(QStringLiteral("mount"),
                      {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                       QStringLiteral("size=%1,mode=0755").arg(bytes),
                       QStringLiteral("quelo-prueba"), carpeta});
    if (!razon_.isEmpty()) razon_ = QStringLiteral("a small file system: ") + razon_;
}

DiscoPequeno::~DiscoPequeno() {
    if (!montado()) return;
    // Lazily, should a test have left something open on it.
    if (!ejecutar(QStringLiteral("umount"), {carpeta_}).isEmpty())
        ejecutar(QStringLiteral("umount"), {QStringLiteral("-l"), carpeta_});
}

qint64 DiscoPequeno::libre() const {
    return QStorageInfo(carpeta_).bytesAvailable();
}

bool DiscoPequeno::llenar(int bloques) {
    QFile relleno(carpeta_ + QStringLiteral("/relleno"));
    if (!relleno.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return false;
    const qint64 bloque = QStorageInfo(carpeta_).blockSize();
    const QByteArray trozo(bloque, 'r');
    while (relleno.write(trozo) == bloque) {
    }
    // Whole blocks given back from the end: exactly that many become free.
    const qint64 usados = (relleno.size() + bloque - 1) / bloque;
    if (usados < bloques || !relleno.resize((usados - bloques) * bloque)) return false;
    relleno.close();
    return libre() == bloques * bloque;
}

Inmutable::Inmutable(const QString& ruta) : ruta_(ruta) {
    razon_ = ejecutar(QStringLiteral("chattr"), {QStringLiteral("+i"), ruta});
    if (!razon_.isEmpty()) razon_ = QStringLiteral("an immutable folder: ") + razon_;
}

Inmutable::~Inmutable() {
    if (marcado()) ejecutar(QStringLiteral("chattr"), {QStringLiteral("-i"), ruta_});
}
