#include "install/procesos.h"

#include "core/errores.h"
#include "core/failure.h"
#include "core/segundoplano.h"
#include "install/atributo.h"

#include <QCoro/QCoroSignal>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTimer>

#include <cerrno>
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
