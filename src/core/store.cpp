#include "core/store.h"

#include "core/failure.h"
#include "core/guardia.h"
#include "core/texto.h"

#include <QTimer>

Store::Store() : Store(Entorno::delSistema()) {}

// Every published property changes the same way: only to a different value, then its signal.
template <typename T, typename V> void Store::cambiar(T& campo, V&& valor, void (Store::*senal)()) {
    if (campo == valor) return;
    campo = std::forward<V>(valor);
    Q_EMIT(this->*senal)();
}

Store::Store(Entorno entorno)
    : entorno_(std::move(entorno)),
      status_(QStringLiteral("Entra con tu cuenta para ver e instalar los plugins.")) {}

void Store::setCategory(const QString& v) {
    if (category_ == v) return;
    category_ = v;
    visibles_.reset();
    Q_EMIT categoryChanged();
}

void Store::setQuery(const QString& v) {
    if (query_ == v) return;
    query_ = v;
    visibles_.reset();
    Q_EMIT queryChanged();
}

void Store::setSelectedID(const std::optional<QString>& v) {
    cambiar(selectedID_, v, &Store::selectedIDChanged);
}

void Store::setStatus(const QString& v) {
    cambiar(status_, v, &Store::statusChanged);
}

void Store::setBusy(bool v) {
    cambiar(busy_, v, &Store::busyChanged);
}

void Store::setInstalled(QSet<QString> v) {
    cambiar(installed_, std::move(v), &Store::installedChanged);
}

void Store::setCuentaEmail(const std::optional<QString>& v) {
    cambiar(cuentaEmail_, v, &Store::cuentaEmailChanged);
}

void Store::setTokenCasa(const std::optional<QString>& v) {
    cambiar(tokenCasa_, v, &Store::tokenCasaChanged);
}

void Store::setProgreso(std::optional<double> v) {
    cambiar(progreso_, v, &Store::progresoChanged);
}

void Store::setAvance(const QString& v) {
    cambiar(avance_, v, &Store::avanceChanged);
}

void Store::run(Accion accion, Alcance alcance) {
    setBusy(true);
    const Cancelacion cancelacion;
    if (alcance == Alcance::Instalados) enCurso_.append(cancelacion);
    // Posted, so the action starts after run has returned, like a task queued on the main thread.
    QTimer::singleShot(0, this, [this, accion = std::move(accion), cancelacion, alcance]() mutable {
        ejecutar(QPointer<Store>(this), std::move(accion), cancelacion, alcance);
    });
}

QCoro::Task<> Store::ejecutar(QPointer<Store> store, Accion accion, Cancelacion cancelacion,
                              Alcance alcance) {
    // Nobody awaits this coroutine: everything it throws must be caught here.
    try {
        cancelacion.comprobar(); // asked before it began: none of it runs
        co_await accion(cancelacion);
    } catch (const StoreCerrado&) {
        co_return;
    } catch (...) {
        // Whatever an action asked to stop throws on its way out, it ends as cancelled.
        if (store && !cancelacion.callada())
            store->setStatus(cancelacion.pedida()
                                 ? QStringLiteral("Cancelado. Lo que ya estaba instalado sigue "
                                                  "en su sitio.")
                                 : descripcionDe(std::current_exception()));
    }
    if (!store) co_return;
    if (alcance == Alcance::Instalados) {
        store->enCurso_.removeOne(cancelacion);
        store->refreshInstalled();
    }
    store->setBusy(false);
}

void Store::cancelar() {
    for (const Cancelacion& c : std::as_const(enCurso_))
        c.pedir();
}
