#include "install/procesos.h"

#include "core/errores.h"
#include "core/failure.h"
#include "core/rutas.h"
#include "core/segundoplano.h"
#include "install/atributo.h"

#include <QByteArrayList>
#include <QCoro/QCoroSignal>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTimer>

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
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

// A command as the environment gives it (the program, then its own arguments), with more
// arguments appended.
QCoro::Task<int> ejecutarOrden(QStringList orden, QStringList mas, Cancelacion cancelacion = {}) {
    const QString programa = orden.value(0);
    const QStringList argumentos = orden.mid(1) + mas;
    co_return co_await ejecutarProceso(programa, argumentos, std::move(cancelacion));
}

// The mark downloaded files carry, named as a user attribute is here ("user." first), taken off
// the bundle and every entry in it. Links are cleared themselves and never walked through. Names
// stay bytes and each entry's kind comes from its folder's listing (a stat only where the listing
// cannot tell): tens of thousands of entries go in a fraction of the time a stat for each takes.
void quitarMarcaEnTodo(const QString& raiz) {
    const char* marca = "user.com.apple.quarantine";
    QByteArrayList carpetas{QFile::encodeName(raiz)};
    while (!carpetas.isEmpty()) {
        const QByteArray carpeta = carpetas.takeLast();
        quitarAtributoSinSeguir(carpeta.constData(), marca);
        // A folder swapped for a link since it was listed is not entered.
        const int fd = ::open(carpeta.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        DIR* listado = fd < 0 ? nullptr : ::fdopendir(fd);
        if (!listado) {
            if (fd >= 0) ::close(fd);
            continue;
        }
        while (const dirent* entrada = ::readdir(listado)) {
            const char* nombre = entrada->d_name;
            if (std::strcmp(nombre, ".") == 0 || std::strcmp(nombre, "..") == 0) continue;
            const QByteArray ruta = carpeta + '/' + nombre;
            if (esCarpetaListada(fd, *entrada) == 1)
                carpetas.append(ruta);
            else
                quitarAtributoSinSeguir(ruta.constData(), marca);
        }
        ::closedir(listado);
    }
}

// Why a program could not start, in the application's own words: QProcess gives the C library's.
ErrorSistema noArranca(const QString& programa) {
    const QString que = QStringLiteral("No se pudo iniciar");
    if (programa.isEmpty())
        return ErrorSistema(que + QStringLiteral(" la herramienta: no tiene nombre."));
    errno = 0;
    if (::access(QFile::encodeName(programa).constData(), X_OK) != 0)
        return errorDeArchivo(errno, que, programa);
    return ErrorSistema(que + QLatin1Char(' ') + programa +
                        QStringLiteral(": el sistema no pudo ejecutarlo."));
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
    if (proceso.error() == QProcess::FailedToStart) throw noArranca(programa);
    if (proceso.exitStatus() != QProcess::NormalExit) co_return -1;
    co_return proceso.exitCode();
}

QCoro::Task<bool> copiarCarpeta(Entorno entorno, QString origen, QString destino,
                                Cancelacion cancelacion) {
    const QStringList rutas{origen, destino};
    const int estado = co_await ejecutarOrden(entorno.copiador, rutas, std::move(cancelacion));
    co_return estado == 0;
}

QCoro::Task<> quitarCuarentena(Entorno entorno, QString destino) {
    // Whatever the outcome, the bundle is installed: a mark left on it only makes the host ask.
    // A link is never handed to either way: the command would follow it, and the walk would go
    // through it into whatever it names.
    if (QFileInfo(destino).isSymLink()) co_return;
    if (entorno.cuarentena.isEmpty()) {
        // Every entry of a bundle of thousands of files: beside the window's thread. (By
        // reference: g++ 12 destroys a by-value capture twice in a co_await expression.)
        co_await enSegundoPlano([&destino] { quitarMarcaEnTodo(destino); });
        co_return;
    }
    try {
        const QStringList ruta{destino};
        co_await ejecutarOrden(entorno.cuarentena, ruta);
    } catch (...) {
    }
}

#include "procesos.moc"
