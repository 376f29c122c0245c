// One plug-in from the download house: the package streamed to a file, unpacked into a
// temporary folder, and each bundle in it installed like a project bundle.
#include "core/failure.h"
#include "core/guardia.h"
#include "core/rutas.h"
#include "core/segundoplano.h"
#include "core/store.h"
#include "core/texto.h"
#include "install/cerrojo.h"
#include "install/destinos.h"
#include "install/reemplazo.h"
#include "install/restos.h"
#include "service/avance.h"
#include "service/desempaquetar.h"
#include "service/direccion.h"
#include "service/encargo.h"
#include "service/red.h"

#include <QDir>
#include <QUuid>

namespace {

// Removes a path when it goes out of scope (or earlier, on demand); errors are ignored.
class Desechable {
public:
    explicit Desechable(QString ruta) : ruta_(std::move(ruta)) {}
    ~Desechable() { ahora(); }
    Desechable(const Desechable&) = delete;
    Desechable& operator=(const Desechable&) = delete;
    void ahora() {
        if (ruta_.isEmpty()) return;
        borrarSinError(ruta_);
        ruta_.clear();
    }

private:
    QString ruta_;
};

// A bundle as a package may hold it: a folder of its own, not a link nor a file, with a name that
// is more than an extension and not hidden, and no link inside leading out of it (the quarantine
// command follows links, and so could a host). `enlaces` are the links the unpack made, by their
// paths inside `carpeta`: the only ones there are, so the bundle is not walked to find them.
bool bundleAceptable(const QString& carpeta, const QString& bundle, const QStringList& enlaces) {
    if (!esCarpeta(bundle) || ultimoComponente(bundle).startsWith(QLatin1Char('.'))) return false;
    const QString dentro = QDir(carpeta).relativeFilePath(bundle) + QLatin1Char('/');
    QStringList suyos;
    for (const QString& enlace : enlaces)
        if (enlace.startsWith(dentro)) suyos.append(enlace.mid(dentro.size()));
    return enlacesDentro(bundle, suyos);
}

// Where one plug-in's package and its unpacked folder live while it comes: the temporary folder,
// under a name of their own.
struct Temporales {
    QString paquete;
    QString carpeta;
};

Temporales temporalesDe(const Entorno& entorno, const QString& id) {
    // A "/" in an id would put the folder somewhere else than the temporary folder.
    const QString marca =
        QStringLiteral("quelo-") + QString(id).replace(QLatin1Char('/'), QLatin1Char('_')) +
        QLatin1Char('-') + QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
    return {unir(entorno.temporal, marca + QStringLiteral(".zip")), unir(entorno.temporal, marca)};
}

// The package, streamed into `paquete`; a refusal throws the service's own words.
QCoro::Task<> bajarPaquete(Entorno entorno, QUrl descargas, QString token, Plugin plugin,
                           QString paquete, AvisoProgreso aviso, Integridad esperado,
                           Cancelacion cancelacion) {
    Pedido pedido;
    const QStringList ruta{QStringLiteral("v1"), QStringLiteral("bajar"), plugin.id.toLower()};
    pedido.url = conRuta(descargas, ruta);
    pedido.cabeceras.append(qMakePair(QByteArray("Authorization"), "Bearer " + token.toUtf8()));
    pedido.cancelacion = std::move(cancelacion);
    Contestacion contestacion;
    try {
        contestacion = co_await pedirAArchivo(std::move(entorno), std::move(pedido), paquete,
                                              std::move(aviso), std::move(esperado));
    } catch (const PaqueteDanado&) {
        throw Failure(QStringLiteral("El paquete de ") + plugin.name +
                      QStringLiteral(" llegó dañado."));
    }
    if (contestacion.estado != 200) {
        // Such a body was kept as a JSON reply, not written to the package file.
        throw Failure(errorDelServicio(objetoJson(contestacion.cuerpo),
                                       QStringLiteral("No se pudo bajar ") + plugin.name +
                                           QStringLiteral(".")));
    }
}

// The bundles the unpacked package holds, every one looked at before any is installed: a
// refused package installs nothing.
QStringList bundlesDelPaquete(const QString& carpeta, const QStringList& enlaces,
                              const QString& nombre) {
    const QStringList bundles = ::bundlesEn(carpeta);
    if (bundles.isEmpty())
        throw Failure(QStringLiteral("El paquete de ") + nombre + QStringLiteral(" llegó vacío."));
    for (const QString& bundle : bundles)
        if (!bundleAceptable(carpeta, bundle, enlaces))
            throw Failure(QStringLiteral("El paquete de ") + nombre +
                          QStringLiteral(" no se pudo abrir."));
    return bundles;
}

// Each bundle into its place beside the project installs.
QCoro::Task<> instalarBundles(Entorno entorno, Plugin plugin, QStringList bundles,
                              QPointer<Store> vivo, Cancelacion cancelacion) {
    const Failure noInstalado(QStringLiteral("No se pudo instalar ") + plugin.name +
                              QStringLiteral("."));
    for (const QString& bundle : std::as_const(bundles)) {
        // None when the category would not stay one folder below the maker folder.
        const std::optional<QString> destino =
            destinoDescarga(entorno.home, plugin.category, bundle);
        if (!destino) throw noInstalado;
        // As a project install, but the unpacked bundle itself goes into place: the old one goes
        // only once the new one is there.
        const bool copiado = co_await instalarMoviendo(entorno, bundle, *destino, cancelacion);
        if (!copiado) throw noInstalado;
        sigueVivo(vivo);
    }
}

} // namespace

QCoro::Task<> Store::traer(Plugin plugin, QUrl descargas, QString token, Encargo encargo) {
    const QPointer<Store> vivo(this);
    const Entorno entorno = entorno_;
    co_await barrerAntesDeCambiar(entorno);
    sigueVivo(vivo, encargo.cancelacion);
    const auto [paquete, carpeta] = temporalesDe(entorno, plugin.id);
    const Cancelacion cancelacion = encargo.cancelacion;
    AvisoProgreso aviso = [vivo, posicion = encargo.posicion,
                           total = encargo.total](std::optional<Progreso> progreso) {
        if (!vivo) return;
        std::optional<double> fraccion;
        if (progreso && progreso->total && *progreso->total > 0)
            fraccion = std::min(1.0, double(progreso->recibidos) / double(*progreso->total));
        vivo->setProgreso(fraccion);
        vivo->setAvance(textoDeAvance(posicion, total, progreso));
    };

    // Held until the package and the folder are gone (declared first, let go last): a sweep by
    // another copy leaves them alone meanwhile. Taken beside the window's thread: the lock's file
    // is forced to the disk.
    Cerrojo propio;
    co_await enSegundoPlano([&entorno, &carpeta, &propio] {
        crearCarpeta(entorno.temporal);
        propio = tomarCerrojo(cerrojoDeDescarga(carpeta), carpeta);
    });
    // The package is only needed until it is unpacked, whatever the outcome.
    Desechable paqueteTemporal(paquete);
    co_await bajarPaquete(entorno, descargas, token, plugin, paquete, std::move(aviso),
                          std::move(encargo.esperado), cancelacion);
    sigueVivo(vivo, cancelacion);

    crearCarpeta(carpeta);
    Desechable carpetaTemporal(carpeta);
    const QStringList enlaces = co_await desempaquetar(paquete, carpeta, plugin.name);
    // Removing a large package or folder takes a while too (after a failure they go at once).
    co_await enSegundoPlano([&paqueteTemporal] { paqueteTemporal.ahora(); });
    sigueVivo(vivo, cancelacion);

    const QStringList bundles = bundlesDelPaquete(carpeta, enlaces, plugin.name);
    co_await instalarBundles(entorno, plugin, bundles, vivo, cancelacion);
    co_await enSegundoPlano([&carpetaTemporal] { carpetaTemporal.ahora(); });
}
