#include "disco.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QStorageInfo>

#include <unistd.h>

namespace {

// Runs a system tool to its end; the empty text on success, else what went wrong.
QString ejecutar(const QString& herramienta, const QStringList& argumentos) {
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
    if (::geteuid() != 0) {
        razon_ = QStringLiteral("mounting a small tmpfs needs root");
        return;
    }
    QDir().mkpath(carpeta);
    razon_ = ejecutar(QStringLiteral("mount"),
                      {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                       QStringLiteral("size=%1,mode=0755").arg(bytes),
                       QStringLiteral("quelo-prueba"), carpeta});
    montado_ = razon_.isEmpty();
}

DiscoPequeno::~DiscoPequeno() {
    if (!montado_) return;
    // Lazily, should a test have left something open on it.
    if (!ejecutar(QStringLiteral("umount"), {carpeta_}).isEmpty())
        ejecutar(QStringLiteral("umount"), {QStringLiteral("-l"), carpeta_});
}

bool DiscoPequeno::llenar(int bloques) {
    QFile relleno(carpeta_ + QStringLiteral("/relleno"));
    if (!relleno.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return false;
    const QStorageInfo disco(carpeta_);
    const qint64 bloque = disco.blockSize();
    const QByteArray trozo(bloque, 'r');
    while (relleno.write(trozo) == bloque) {
    }
    // Whole blocks given back from the end: exactly that many become free.
    const qint64 usados = (relleno.size() + bloque - 1) / bloque;
    if (usados < bloques || !relleno.resize((usados - bloques) * bloque)) return false;
    relleno.close();
    QStorageInfo ahora(carpeta_);
    return ahora.bytesAvailable() == bloques * bloque;
}
