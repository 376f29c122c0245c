#include "install/procesos.h"

#include "core/errores.h"
#include "core/failure.h"
#include "core/texto.h"
#include "install/atributo.h"

#include <QCoro/QCoroSignal>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTimer>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// How long a child told to end has before it is killed.
constexpr std::chrono::milliseconds esperaAlTerminar{2000};

// Tells, once, that a child process has ended: it ran to its end or it never started.
class FinDeProceso : public QObject {
    Q_OBJECT
Q_SIGNALS:
    void fin();
};

void borrarSinError(const QString& ruta) {
    try {
        borrarRuta(ruta);
    } catch (...) {
    }
}

// A command as the environment gives it (the program, then its own arguments), with more
// arguments appended.
QCoro::Task<int> ejecutarOrden(QStringList orden, QStringList mas, Cancelacion cancelacion = {}) {
    const QString programa = orden.value(0);
    const QStringList argumentos = orden.mid(1) + mas;
    co_return co_await ejecutarProceso(programa, argumentos, std::move(cancelacion));
}

// The mark downloaded files carry, named as a user attribute is here ("user." first).
void quitarMarcaEnTodo(const QString& raiz) {
    const char* marca = "user.com.apple.quarantine";
    quitarAtributoSinSeguir(QFile::encodeName(raiz).constData(), marca);
    // Without FollowSymlinks: a link inside the bundle is cleared itself, never what it names.
    QDirIterator it(raiz, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        quitarAtributoSinSeguir(QFile::encodeName(it.next()).constData(), marca);
}

} // namespace

QCoro::Task<int> ejecutarProceso(QString programa, QStringList argumentos,
                                 Cancelacion cancelacion) {
    cancelacion.comprobar();
    QProcess proceso;
    proceso.setProcessChannelMode(QProcess::ForwardedChannels);
    proceso.setStandardInputFile(QProcess::nullDevice());
    // A program that cannot start never emits started or finished, only errorOccurred: both
    // endings are awaited as one. Queued, so the process is not destroyed inside its own signal.
    FinDeProceso aviso;
    QObject::connect(&proceso, &QProcess::finished, &aviso, &FinDeProceso::fin,
                     Qt::QueuedConnection);
    QObject::connect(
        &proceso, &QProcess::errorOccurred, &aviso,
        [&aviso](QProcess::ProcessError error) {
            if (error == QProcess::FailedToStart) Q_EMIT aviso.fin();
        },
        Qt::QueuedConnection);
    // Told first, so a tool can clean up after itself; killed if it does not listen.
    QTimer remate;
    remate.setSingleShot(true);
    QObject::connect(&remate, &QTimer::timeout, &proceso, &QProcess::kill);
    const Cancelacion::Escucha alCancelar = cancelacion.alPedir([&proceso, &remate] {
        proceso.terminate();
        remate.start(esperaAlTerminar);
    });
    proceso.start(programa, argumentos, QIODevice::ReadOnly);
    co_await qCoro(&aviso, &FinDeProceso::fin);
    cancelacion.comprobar();
    if (proceso.error() == QProcess::FailedToStart)
        throw ErrorSistema(programa + QStringLiteral(": ") + proceso.errorString());
    if (proceso.exitStatus() != QProcess::NormalExit) co_return -1;
    co_return proceso.exitCode();
}

QCoro::Task<bool> copiarCarpeta(Entorno entorno, QString origen, QString destino,
                                Cancelacion cancelacion) {
    const QStringList rutas{origen, destino};
    const int estado = co_await ejecutarOrden(entorno.copiador, rutas, std::move(cancelacion));
    co_return estado == 0;
}

QCoro::Task<bool> reemplazarConCopia(Entorno entorno, QString origen, QString destino,
                                     Cancelacion cancelacion) {
    const QFileInfo info(destino);
    const QString carpeta = info.absolutePath();
    const QString nombre = info.fileName();
    crearCarpeta(carpeta);
    // Hidden names without the bundle extension, so no host takes them for plug-ins.
    const QString nuevo = unir(carpeta, QLatin1Char('.') + nombre + QStringLiteral(".instalando"));
    const QString anterior = unir(carpeta, QLatin1Char('.') + nombre + QStringLiteral(".anterior"));
    // Leftovers of an install cut short; the copy tool would copy into a folder left there.
    borrarRuta(nuevo);
    borrarRuta(anterior);

    bool copiado = false;
    try {
        copiado = co_await copiarCarpeta(entorno, origen, nuevo, std::move(cancelacion));
    } catch (...) {
        borrarSinError(nuevo);
        throw;
    }
    if (!copiado) {
        borrarSinError(nuevo);
        co_return false;
    }

    const bool habia = hayAlgo(destino);
    try {
        if (habia) moverRuta(destino, anterior);
        try {
            moverRuta(nuevo, destino);
        } catch (...) {
            if (habia) moverRuta(anterior, destino);
            throw;
        }
    } catch (...) {
        borrarSinError(nuevo);
        throw;
    }
    if (habia) borrarRuta(anterior);
    co_return true;
}

QCoro::Task<> quitarCuarentena(Entorno entorno, QString destino) {
    // Whatever the outcome, the bundle is installed: a mark left on it only makes the host ask.
    if (entorno.cuarentena.isEmpty()) {
        quitarMarcaEnTodo(destino);
        co_return;
    }
    try {
        const QStringList ruta{destino};
        co_await ejecutarOrden(entorno.cuarentena, ruta);
    } catch (...) {
    }
}

bool hayAlgo(const QString& ruta) {
    struct stat info;
    return ::lstat(QFile::encodeName(ruta).constData(), &info) == 0;
}

void borrarRuta(const QString& ruta) {
    const QByteArray local = QFile::encodeName(ruta);
    struct stat info;
    if (::lstat(local.constData(), &info) != 0) {
        if (errno == ENOENT) return;
        throw errorDeArchivo(errno, QStringLiteral("No se pudo borrar"), ruta);
    }
    // lstat: a link is never a folder here, so it is unlinked and what it names stays.
    if (!S_ISDIR(info.st_mode)) {
        if (::unlink(local.constData()) != 0 && errno != ENOENT)
            throw errorDeArchivo(errno, QStringLiteral("No se pudo borrar"), ruta);
        return;
    }
    DIR* carpeta = ::opendir(local.constData());
    if (!carpeta) throw errorDeArchivo(errno, QStringLiteral("No se pudo borrar"), ruta);
    QStringList nombres;
    while (const dirent* entrada = ::readdir(carpeta)) {
        const char* n = entrada->d_name;
        if (std::strcmp(n, ".") != 0 && std::strcmp(n, "..") != 0)
            nombres.append(QFile::decodeName(n));
    }
    ::closedir(carpeta);
    for (const QString& n : nombres)
        borrarRuta(unir(ruta, n));
    if (::rmdir(local.constData()) != 0 && errno != ENOENT)
        throw errorDeArchivo(errno, QStringLiteral("No se pudo borrar"), ruta);
}

void crearCarpeta(const QString& ruta) {
    const QString limpia = QDir::cleanPath(QDir(ruta).absolutePath());
    if (QFileInfo(limpia).isDir()) return;
    const QString padre = QFileInfo(limpia).path();
    if (padre != limpia) crearCarpeta(padre);
    if (::mkdir(QFile::encodeName(limpia).constData(), 0777) != 0) {
        const int error = errno;
        if (error != EEXIST || !QFileInfo(limpia).isDir())
            throw errorDeArchivo(error, QStringLiteral("No se pudo crear la carpeta"), limpia);
    }
}

void moverRuta(const QString& origen, const QString& destino) {
    if (std::rename(QFile::encodeName(origen).constData(),
                    QFile::encodeName(destino).constData()) != 0)
        throw errorDeArchivo(errno, QStringLiteral("No se pudo mover"), origen);
}

#include "procesos.moc"
