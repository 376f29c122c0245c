// Removing an installed plug-in from the system's plug-in folders.
#include "core/store.h"

#include "core/failure.h"
#include "core/guardia.h"
#include "core/rutas.h"
#include "core/texto.h"
#include "install/destinos.h"
#include "install/reemplazo.h"
#include "install/restos.h"

#include <QFileInfo>

namespace {

// Whether a folder is, once every link on the way is followed, the project folder or inside it.
bool dentroDelProyecto(const QString& carpeta, const QString& proyecto) {
    const QString real = QFileInfo(carpeta).canonicalFilePath();
    const QString base = QFileInfo(proyecto).canonicalFilePath();
    if (real.isEmpty() || base.isEmpty()) return false;
    return real == base || real.startsWith(base + QLatin1Char('/'));
}

} // namespace

void Store::remove(const Plugin& plugin) {
    run([this, plugin](Cancelacion c) { return quitar(plugin, c); });
}

QCoro::Task<> Store::quitar(Plugin plugin, Cancelacion cancelacion) {
    const QPointer<Store> vivo(this);
    co_await barrerAntesDeCambiar(entorno_);
    sigueVivo(vivo, cancelacion); // nothing is removed yet
    // VST3 first, then AU; a format without a build (none) has nothing to remove.
    QStringList destinos;
    const QList<std::optional<QString>> formatos{destinoVst3(entorno_.home, plugin),
                                                 destinoAu(entorno_.home, plugin)};
    for (const auto& d : formatos)
        if (d) destinos.append(*d);

    // A maker or category folder linked into the project would make the installed copy the
    // project's own build: that one is never deleted.
    if (const std::optional<QString> proyecto = root()) {
        for (const QString& d : std::as_const(destinos))
            if (hayAlgo(d) && dentroDelProyecto(QFileInfo(d).absolutePath(), *proyecto))
                throw Failure(QStringLiteral("No se quitó ") + ultimoComponente(d) +
                              QStringLiteral(": está dentro de la carpeta del proyecto."));
    }
    // A dangling link left at a destination goes too.
    for (const QString& d : std::as_const(destinos)) {
        co_await quitarBundle(d);
        sigueVivo(vivo);
    }
    setStatus(plugin.name +
              QStringLiteral(
                  " se quitó de las carpetas del sistema. El original del proyecto sigue en su "
                  "sitio."));
}
