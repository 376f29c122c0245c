#include "install/reemplazo.h"

#include "core/errores.h"
#include "core/failure.h"
#include "core/rutas.h"
#include "core/segundoplano.h"
#include "core/texto.h"
#include "core/turno.h"
#include "install/cerrojo.h"
#include "install/intercambio.h"
#include "install/procesos.h"
#include "install/restos.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <exception>

namespace {

// The destination's lock, or the Failure that tells the user another copy is at work there.
Cerrojo cerrojoParaCambiar(const QString& destino) {
    Cerrojo cerrojo = tomarCerrojo(cerrojoDe(destino), destino);
    if (!cerrojo)
        throw Failure(QStringLiteral("Otra copia de Quelo Instalador está cambiando ") +
                      ultimoComponente(destino) +
                      QStringLiteral(". Vuelve a probar cuando termine."));
    return cerrojo;
}

bool sinIntercambio(int error) {
    return error == ENOSYS || error == EINVAL || error == ENOTSUP || error == EOPNOTSUPP;
}

// Deletes beside the window's thread: a bundle may hold tens of thousands of files.
QCoro::Task<> borrarAparte(QString ruta) {
    if (ruta.isEmpty()) co_return;
    co_await enSegundoPlano(
        [&ruta] { borrarSinError(ruta); }); // by reference: see quitarCuarentena
}

// Puts the bundle `origen` at `nuevo`: moved in one step when `mover` and the system can (both on
// one file system), copied with the copy tool otherwise. False when the tool exited non-zero.
QCoro::Task<bool> llenar(Entorno entorno, QString origen, QString nuevo, bool mover,
                         Cancelacion cancelacion) {
    cancelacion.comprobar();
    if (mover && std::rename(QFile::encodeName(origen).constData(),
                             QFile::encodeName(nuevo).constData()) == 0)
        co_return true;
    co_return co_await copiarCarpeta(entorno, origen, nuevo, std::move(cancelacion));
}

QCoro::Task<bool> instalar(Entorno entorno, QString origen, QString destino, bool mover,
                           Cancelacion cancelacion, Turno* antes) {
    // Held until the earlier bundle is gone: nobody else changes this destination meanwhile.
    Cerrojo cerrojo;
    const QString nuevo = copiaNueva(destino);
    // Beside the window's thread: taking a lock forces its file to the disk, which waits for all
    // the disk has to write (tens of milliseconds right after a large copy or delete).
    co_await enSegundoPlano([&destino, &cerrojo, &nuevo] {
        crearCarpeta(QFileInfo(destino).absolutePath());
        cerrojo = cerrojoParaCambiar(destino);
        resolverRestos(destino);
        // Left by an earlier process with this same id: the copy tool would copy into it.
        borrarRuta(nuevo);
    });

    bool lleno = false;
    std::exception_ptr corte;
    try {
        lleno = co_await llenar(entorno, origen, nuevo, mover, cancelacion);
        if (lleno && antes) {
            lleno = co_await antes->esperar();
            cancelacion.comprobar();
        }
    } catch (...) {
        corte = std::current_exception();
    }
    // A copy stopped or dropped may be whole by now: deleted beside the window's thread.
    if (!lleno || corte) {
        co_await borrarAparte(nuevo);
        if (corte) std::rethrow_exception(corte);
        co_return false;
    }
    QString anterior;
    try {
        anterior = ponerEnSitio(nuevo, destino, copiaAnterior(destino));
    } catch (...) {
        borrarSinError(nuevo);
        throw;
    }
    // The install is done: what cannot be deleted now is swept later. The earlier bundle goes
    // while the new one loses its mark: each walks thousands of entries, one beside the other.
    // Nothing may leave before the deletion ends: its thread uses this frame.
    QCoro::Task<> borrado = borrarAparte(anterior);
    std::exception_ptr sinQuitarMarca;
    try {
        co_await quitarCuarentena(entorno, destino);
    } catch (...) {
        sinQuitarMarca = std::current_exception();
    }
    co_await std::move(borrado);
    if (sinQuitarMarca) std::rethrow_exception(sinQuitarMarca);
    co_return true;
}

} // namespace

QString ponerEnSitio(const QString& nuevo, const QString& destino, const QString& anterior) {
    if (!hayAlgo(destino)) {
        moverRuta(nuevo, destino);
        return {};
    }
    const QByteArray desde = QFile::encodeName(nuevo), hasta = QFile::encodeName(destino);
    if (intercambiarEntradas(desde.constData(), hasta.constData())) return nuevo;
    const int error = errno;
    if (!sinIntercambio(error))
        throw errorDeArchivo(error, QStringLiteral("No se pudo poner en su sitio"), destino);
    moverRuta(destino, anterior);
    try {
        moverRuta(nuevo, destino);
    } catch (...) {
        // Should this fail too, resolverRestos puts it back before the next change.
        try {
            moverRuta(anterior, destino);
        } catch (...) {
        }
        throw;
    }
    return anterior;
}

QCoro::Task<bool> instalarCopia(Entorno entorno, QString origen, QString destino,
                                Cancelacion cancelacion, Turno* antes) {
    co_return co_await instalar(std::move(entorno), std::move(origen), std::move(destino), false,
                                std::move(cancelacion), antes);
}

QCoro::Task<bool> instalarMoviendo(Entorno entorno, QString origen, QString destino,
                                   Cancelacion cancelacion) {
    co_return co_await instalar(std::move(entorno), std::move(origen), std::move(destino), true,
                                std::move(cancelacion), nullptr);
}

QCoro::Task<> quitarBundle(QString destino) {
    // No folder above it, nothing in it: not even the lock is needed.
    if (!QFileInfo(QFileInfo(destino).absolutePath()).isDir()) co_return;
    Cerrojo cerrojo;
    const QString aparte = copiaQuitada(destino);
    bool apartado = false;
    // Beside the window's thread, as for an install (the lock's file is forced to the disk).
    co_await enSegundoPlano([&destino, &cerrojo, &aparte, &apartado] {
        try {
            cerrojo = cerrojoParaCambiar(destino);
        } catch (const ErrorSistema&) {
            // A folder where no lock can be made but that holds nothing to remove is no error.
            if (!hayAlgo(destino)) return;
            throw;
        }
        resolverRestos(destino);
        if (!hayAlgo(destino)) return;
        borrarRuta(aparte);
        const QByteArray desde = QFile::encodeName(destino), hasta = QFile::encodeName(aparte);
        if (std::rename(desde.constData(), hasta.constData()) != 0)
            throw errorDeArchivo(errno, QStringLiteral("No se pudo quitar"), destino);
        apartado = true;
    });
    // Gone for every host from here; the lock is held until it is gone from the disk too.
    if (apartado) co_await borrarAparte(aparte);
}
