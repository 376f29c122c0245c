#include "core/store.h"

#include "core/failure.h"

#include <QTimer>

Store::Store() : Store(Entorno::delSistema()) {}

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
    if (selectedID_ == v) return;
    selectedID_ = v;
    Q_EMIT selectedIDChanged();
}

void Store::setStatus(const QString& v) {
    if (status_ == v) return;
    status_ = v;
    Q_EMIT statusChanged();
}

void Store::setBusy(bool v) {
    if (busy_ == v) return;
    busy_ = v;
    Q_EMIT busyChanged();
}

void Store::setInstalled(QSet<QString> v) {
    if (installed_ == v) return;
    installed_ = std::move(v);
    Q_EMIT installedChanged();
}

void Store::setCuentaEmail(const std::optional<QString>& v) {
    if (cuentaEmail_ == v) return;
    cuentaEmail_ = v;
    Q_EMIT cuentaEmailChanged();
}

void Store::setTokenCasa(const std::optional<QString>& v) {
    if (tokenCasa_ == v) return;
    tokenCasa_ = v;
    Q_EMIT tokenCasaChanged();
}

void Store::setProgreso(std::optional<double> v) {
    if (progreso_ == v) return;
    progreso_ = v;
    Q_EMIT progresoChanged();
}

void Store::setAvance(const QString& v) {
    if (avance_ == v) return;
    avance_ = v;
    Q_EMIT avanceChanged();
}

void Store::run(Accion accion) {
    setBusy(true);
    const Cancelacion cancelacion;
    enCurso_.append(cancelacion);
    // Posted, so the action starts after run has returned, like a task queued on the main thread.
    QTimer::singleShot(0, this, [this, accion = std::move(accion), cancelacion]() mutable {
        ejecutar(QPointer<Store>(this), std::move(accion), cancelacion);
    });
}

QCoro::Task<> Store::ejecutar(QPointer<Store> store, Accion accion, Cancelacion cancelacion) {
    // Nobody awaits this coroutine: everything it throws must be caught here.
    try {
        cancelacion.comprobar(); // asked before it began: none of it runs
        co_await accion(cancelacion);
    } catch (...) {
        // Whatever an action asked to stop throws on its way out, it ends as cancelled.
        if (store && !cancelacion.callada())
            store->setStatus(cancelacion.pedida()
                                 ? QStringLiteral("Cancelado. Lo que ya estaba instalado sigue "
                                                  "en su sitio.")
                                 : descripcionDe(std::current_exception()));
    }
    if (!store) co_return;
    store->enCurso_.removeOne(cancelacion);
    store->refreshInstalled();
    store->setBusy(false);
}

void Store::cancelar() {
    for (const Cancelacion& c : std::as_const(enCurso_))
        c.pedir();
}
