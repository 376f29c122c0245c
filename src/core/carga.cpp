// Loading the catalog at start: at once (load), or beside the window's thread (cargar).
#include "core/store.h"

#include "core/archivo.h"
#include "core/json.h"
#include "core/memoria.h"
#include "core/segundoplano.h"
#include "core/texto.h"
#include "install/destinos.h"
#include "service/red.h"

#include <thread>

namespace {
// Ten thousand entries take about 5 MB.
constexpr qint64 kLimiteCatalogo = qint64(64) * 1024 * 1024;
const QString sinCatalogo = QStringLiteral("No encontré el catálogo dentro de la app.");
} // namespace

// Everything the catalog gives the Store, none when it cannot be read.
struct Store::Lectura {
    std::optional<QList<Plugin>> plugins;
    QList<Comparable> comparables;
    QSet<QString> instalados;
};

QList<Store::Comparable> Store::comparablesDe(const QList<Plugin>& plugins) {
    QList<Comparable> comparables;
    comparables.reserve(plugins.size());
    // A folded text that entries repeat is kept once, as the catalog keeps its own.
    QSet<QString> vistos;
    auto uno = [&vistos](const QString& texto) { return *vistos.insert(texto); };
    for (const Plugin& p : plugins)
        comparables.append({nfc(p.id), uno(nfc(p.category)), uno(plegado(p.name)),
                            uno(plegado(p.subtitle)), uno(plegado(p.purpose))});
    return comparables;
}

Store::Lectura Store::leerCatalogo(const Entorno& entorno) {
    std::optional<QJsonObject> documento;
    try {
        const auto json = leerArchivoLimitado(
            unir(entorno.recursos, QStringLiteral("catalogo.json")), kLimiteCatalogo);
        if (json) documento = objetoEstricto(*json);
    } catch (...) {
        // Missing, unreadable and undecodable all end in the same message.
    }
    Lectura lectura;
    if (!documento) return lectura;
    // What is kept is made on a thread of its own, so the parser's scraps, left in this
    // thread's memory, can go back to the system whole rather than stay pinned by texts
    // scattered among them: a third of what the process holds with a large catalog.
    try {
        std::thread([&] {
            std::optional<Catalog> catalogo = decodificarCatalogo(*documento);
            if (!catalogo) return;
            lectura.plugins = std::move(catalogo->plugins);
            lectura.comparables = comparablesDe(*lectura.plugins);
            lectura.instalados = instaladosEn(entorno.home, *lectura.plugins);
        }).join();
    } catch (...) {
        return Lectura(); // no thread to make it on
    }
    documento.reset();
    soltarMemoria();
    return lectura;
}

void Store::aplicar(Lectura lectura) {
    comparables_ = std::move(lectura.comparables);
    plugins_ = std::move(*lectura.plugins);
    visibles_.reset();
    Q_EMIT pluginsChanged();
    setSelectedID(plugins_.isEmpty() ? std::nullopt : std::optional<QString>(plugins_.first().id));
    setInstalled(std::move(lectura.instalados));
}

void Store::load() {
    barrerRestos();
    Lectura lectura = leerCatalogo(entorno_);
    if (!lectura.plugins) {
        setStatus(sinCatalogo);
        return;
    }
    aplicar(std::move(lectura));
    cargarSesion();
}

void Store::cargar() {
    adelantarAutoridades(entorno_);
    barrerRestos();
    cargarSesion();
    setBusy(true);
    cargarCatalogo(QPointer<Store>(this));
}

QCoro::Task<> Store::cargarCatalogo(QPointer<Store> store) {
    // Nobody awaits this coroutine: nothing may escape it.
    const Entorno entorno = store->entorno_;
    Lectura lectura;
    try {
        co_await enSegundoPlano([&entorno, &lectura] { lectura = leerCatalogo(entorno); });
    } catch (...) {
        lectura = Lectura(); // a thread that could not start reads nothing
    }
    if (!store) co_return;
    if (lectura.plugins) {
        store->aplicar(std::move(lectura));
    } else {
        store->setCuentaEmail(std::nullopt);
        store->setTokenCasa(std::nullopt);
        store->setStatus(sinCatalogo);
    }
    store->setBusy(false);
}
