#include "core/store.h"

#include "core/archivo.h"
#include "core/failure.h"
#include "core/guardia.h"
#include "core/texto.h"

#include <QTimer>

namespace {
// Ten thousand entries take about 5 MB.
constexpr qint64 kLimiteCatalogo = qint64(64) * 1024 * 1024;
} // namespace

Store::Store() : Store(Entorno::delSistema()) {}

Store::Store(Entorno entorno)
    : entorno_(std::move(entorno)),
      status_(QStringLiteral("Entra con tu cuenta para ver e instalar los plugins.")) {}

void Store::setCategory(const QString& v) {
    if (category_ == v) return;
    category_ = v;
    Q_EMIT categoryChanged();
}

void Store::setQuery(const QString& v) {
    if (query_ == v) return;
    query_ = v;
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

void Store::setPlugins(QList<Plugin> v) {
    QList<Comparable> comparables;
    comparables.reserve(v.size());
    for (const Plugin& p : v)
        comparables.append(
            {nfc(p.id), nfc(p.category), plegado(p.name), plegado(p.subtitle), plegado(p.purpose)});
    plugins_ = std::move(v);
    comparables_ = std::move(comparables);
    Q_EMIT pluginsChanged();
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

void Store::load() {
    barrerRestos();
    std::optional<Catalog> catalogo;
    try {
        const auto json = leerArchivoLimitado(
            unir(entorno_.recursos, QStringLiteral("catalogo.json")), kLimiteCatalogo);
        if (json) catalogo = decodificarCatalogo(*json);
    } catch (...) {
        // Missing, unreadable and undecodable all end in the same message.
    }
    if (!catalogo) {
        setStatus(QStringLiteral("No encontré el catálogo dentro de la app."));
        return;
    }
    setPlugins(std::move(catalogo->plugins));
    setSelectedID(plugins_.isEmpty() ? std::nullopt : std::optional<QString>(plugins_.first().id));
    refreshInstalled();
    cargarSesion();
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
