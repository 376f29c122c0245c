#include "install/procesos.h"

#include "core/failure.h"

#include <QCoro/QCoroProcess>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

#ifndef Q_OS_MACOS
#include <sys/xattr.h>
#endif

QCoro::Task<int> ejecutarProceso(QString programa, QStringList argumentos) {
    QProcess proceso;
    proceso.setProcessChannelMode(QProcess::ForwardedChannels);
    proceso.setStandardInputFile(QProcess::nullDevice());
    const bool empezo = co_await qCoro(proceso).start(programa, argumentos, QIODevice::ReadOnly,
                                                      std::chrono::milliseconds(-1));
    if (!empezo)
        throw ErrorSistema(proceso.errorString());
    if (proceso.state() != QProcess::NotRunning)
        co_await qCoro(proceso).waitForFinished(std::chrono::milliseconds(-1));
    if (proceso.exitStatus() != QProcess::NormalExit)
        co_return -1;
    co_return proceso.exitCode();
}

QCoro::Task<bool> copiarCarpeta(Entorno entorno, QString origen, QString destino) {
#ifdef Q_OS_MACOS
    QStringList argumentos{origen, destino};
#else
    QStringList argumentos{QStringLiteral("-a"), origen, destino};
#endif
    const int estado = co_await ejecutarProceso(entorno.copiador, argumentos);
    co_return estado == 0;
}

#ifndef Q_OS_MACOS
namespace {
void quitarAtributo(const QString& ruta) {
    const QByteArray local = QFile::encodeName(ruta);
    lremovexattr(local.constData(), "user.com.apple.quarantine");
}
} // namespace
#endif

QCoro::Task<> quitarCuarentena(Entorno entorno, QString destino) {
#ifdef Q_OS_MACOS
    Q_UNUSED(entorno);
    try {
        QStringList argumentos{QStringLiteral("-dr"), QStringLiteral("com.apple.quarantine"),
                               destino};
        co_await ejecutarProceso(QStringLiteral("/usr/bin/xattr"), argumentos);
    } catch (...) {
    }
#else
    Q_UNUSED(entorno);
    quitarAtributo(destino);
    QDirIterator it(destino, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        quitarAtributo(it.next());
    co_return;
#endif
}

bool hayAlgo(const QString& ruta) {
    struct stat info;
    return ::lstat(QFile::encodeName(ruta).constData(), &info) == 0;
}

void borrarRuta(const QString& ruta) {
    const QFileInfo info(ruta);
    if (!hayAlgo(ruta))
        return;
    if (info.isSymLink() || !info.isDir()) {
        QFile archivo(ruta);
        if (!archivo.remove())
            throw ErrorSistema(archivo.errorString());
        return;
    }
    // QDir::removeRecursively does not follow links inside the folder.
    if (!QDir(ruta).removeRecursively())
        throw ErrorSistema(QStringLiteral("No se pudo borrar ") + ruta + QStringLiteral("."));
}

void crearCarpeta(const QString& ruta) {
    if (QFileInfo(ruta).isDir())
        return;
    if (!QDir().mkpath(ruta))
        throw ErrorSistema(QStringLiteral("No se pudo crear la carpeta ") + ruta +
                           QStringLiteral("."));
}
