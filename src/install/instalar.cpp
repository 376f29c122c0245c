// Installing one plug-in, or the whole visible list, from the project folder.
#include "core/store.h"

#include "core/failure.h"
#include "core/guardia.h"
#include "core/texto.h"
#include "core/turno.h"
#include "install/destinos.h"
#include "install/reemplazo.h"
#include "install/restos.h"

#include <QFileInfo>

#include <exception>

namespace {

const QString sinProyecto = QStringLiteral(
    "Entra con la cuenta de la tienda. Esta Mac no tiene los archivos del proyecto.");

QString instalado(const Plugin& plugin) {
    return plugin.name +
           QStringLiteral(" instalado. En Ableton: Preferencias > Plug-ins > Rescan. Carpeta: ") +
           plugin.manufacturer + QLatin1Char('.');
}

} // namespace

void Store::install(const Plugin& plugin) {
    if (root()) {
        run([this, plugin](Cancelacion c) { return instalarYAvisar(plugin, c); });
        return;
    }
    const std::optional<QString> token = tokenCasa_;
    if (token && !token->isEmpty()) {
        const QString t = *token;
        const QString id = plugin.id;
        run([this, t, id](Cancelacion c) { return bajar(t, id, c); });
        return;
    }
    setStatus(sinProyecto);
}

void Store::installVisible() {
    const QList<Plugin> lista = visible();
    if (lista.isEmpty()) {
        setStatus(QStringLiteral("La lista no tiene ningún plugin que instalar."));
        return;
    }
    run([this, lista](Cancelacion c) { return instalarLista(lista, c); });
}

QCoro::Task<> Store::instalarYAvisar(Plugin plugin, Cancelacion cancelacion) {
    const QPointer<Store> vivo(this);
    co_await barrerAntesDeCambiar(entorno_);
    sigueVivo(vivo, cancelacion);
    co_await copy(plugin, cancelacion);
    sigueVivo(vivo, cancelacion);
    setStatus(instalado(plugin));
}

QCoro::Task<> Store::instalarLista(QList<Plugin> lista, Cancelacion cancelacion) {
    const QPointer<Store> vivo(this);
    co_await barrerAntesDeCambiar(entorno_);
    sigueVivo(vivo, cancelacion);
    for (const Plugin& plugin : lista) {
        setStatus(QStringLiteral("Instalando ") + plugin.name + QChar(0x2026));
        co_await copy(plugin, cancelacion);
        sigueVivo(vivo, cancelacion); // between two plug-ins
    }
    setStatus(QStringLiteral("Instalados ") + QString::number(lista.size()) +
              QStringLiteral(" plugins. Abre Ableton y pulsa Rescan. Quedan en ocho carpetas "
                             "Quelo DSP."));
}

QCoro::Task<> Store::copy(Plugin plugin, Cancelacion cancelacion) {
    const QString carpeta = proyecto();
    const QString home = entorno_.home;
    // Both bundles are copied at once, each beside its place, and go into place one after the
    // other: the AU one only once the VST3 one is there, so what ends installed is what copying
    // them in turn would leave.
    Turno vst3EnSitio;
    QCoro::Task<> vst3 =
        copyBundle(plugin.vst3, carpeta, destinoVst3(home, plugin), cancelacion, nullptr);
    // Refused before any copy (no build, no destination): the AU one is not even started.
    if (vst3.isReady()) co_await vst3;
    QCoro::Task<> au =
        copyBundle(plugin.au, carpeta, destinoAu(home, plugin), cancelacion, &vst3EnSitio);
    std::exception_ptr fallo;
    try {
        co_await vst3;
    } catch (...) {
        fallo = std::current_exception();
    }
    vst3EnSitio.dar(!fallo);
    // Whatever happens, the AU copy is awaited: it uses this frame's Turno.
    if (fallo) {
        try {
            co_await au; // dropped, its place as it was
        } catch (...) {
        }
        std::rethrow_exception(fallo);
    }
    co_await au;
}

QCoro::Task<> Store::copyBundle(QString ruta, QString carpeta, std::optional<QString> destino,
                                Cancelacion cancelacion, Turno* antes) {
    // A destination rule gives none for a missing build and for a name that would leave the
    // maker folder: both mean there is no bundle this plug-in can install.
    if (ruta.isEmpty() || !destino)
        throw Failure(QStringLiteral("A este plugin le falta el binario AU o VST3."));
    const QString origen = unir(carpeta, ruta);
    const QString nombre = ultimoComponente(ruta);
    const QFileInfo info(origen);
    if (!info.exists()) throw Failure(QStringLiteral("No está compilado: ") + nombre);
    // A build reached through a link is copied whole, not installed as a link into the project.
    const QString fuente = info.isSymLink() ? info.canonicalFilePath() : origen;

    const Entorno entorno = entorno_; // the Store may be gone when the copy ends
    if (!co_await instalarCopia(entorno, fuente, *destino, std::move(cancelacion), antes))
        throw Failure(QStringLiteral("No se pudo copiar ") + nombre + QLatin1Char('.'));
}
