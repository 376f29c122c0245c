// The store account's plug-ins: where the download house is, what the account owns, and one
// download after another.
#include "core/failure.h"
#include "core/guardia.h"
#include "core/store.h"
#include "core/texto.h"
#include "service/avance.h"
#include "service/direccion.h"
#include "service/encargo.h"
#include "service/red.h"

#include <QJsonArray>

namespace {

bool mismoId(const QString& a, const QString& b) {
    return nfc(a).compare(nfc(b), Qt::CaseInsensitive) == 0;
}

// The "plugins" member as a list of objects; anything malformed counts as an empty list.
QList<QJsonObject> entradas(const QJsonObject& respuesta) {
    const QJsonValue plugins = respuesta.value(QLatin1String("plugins"));
    if (!plugins.isArray()) return {};
    QList<QJsonObject> lista;
    for (const QJsonValue& entrada : plugins.toArray()) {
        if (!entrada.isObject()) return {};
        lista.append(entrada.toObject());
    }
    return lista;
}

// What the account owns, from the download house; a refusal or a reply that is not a success
// throws the service's own words.
QCoro::Task<QJsonObject> pluginsDeLaCuenta(Entorno entorno, QUrl descargas, QString token,
                                           Cancelacion cancelacion) {
    Pedido pedido;
    const QStringList ruta{QStringLiteral("v1"), QStringLiteral("mios")};
    pedido.url = conRuta(descargas, ruta);
    pedido.cabeceras.append(qMakePair(QByteArray("Authorization"), "Bearer " + token.toUtf8()));
    pedido.cancelacion = std::move(cancelacion);
    const Contestacion contestacion = co_await pedir(std::move(entorno), std::move(pedido));
    const QJsonObject respuesta = objetoJson(contestacion.cuerpo);
    const QJsonValue ok = respuesta.value(QLatin1String("ok"));
    if (contestacion.estado != 200 || respuesta.isEmpty() || !ok.isBool() || !ok.toBool()) {
        throw Failure(errorDelServicio(
            respuesta, QStringLiteral("No se pudieron ver los plugins de la cuenta.")));
    }
    co_return respuesta;
}

// The entries with an id, in reply order; only the one asked for when `solo` is given.
QList<QJsonObject> elegir(const QJsonObject& respuesta, const std::optional<QString>& solo) {
    QList<QJsonObject> elegidas;
    for (const QJsonObject& entrada : entradas(respuesta)) {
        const QJsonValue id = entrada.value(QLatin1String("id"));
        if (id.isString() && (!solo || mismoId(id.toString(), *solo))) elegidas.append(entrada);
    }
    return elegidas;
}

// Each entry with its plug-in of the catalog, matched first so the progress line can count
// what the run will bring; an entry the catalog does not know is skipped without a word.
QList<QPair<QJsonObject, Plugin>> emparejar(const QList<QJsonObject>& elegidas,
                                            const QList<Plugin>& catalogo) {
    QList<QPair<QJsonObject, Plugin>> encargos;
    for (const QJsonObject& entrada : elegidas) {
        const QString id = entrada.value(QLatin1String("id")).toString();
        for (const Plugin& p : catalogo) {
            if (mismoId(p.id, id)) {
                encargos.append(qMakePair(entrada, p));
                break;
            }
        }
    }
    return encargos;
}

} // namespace

void Store::bajarComprados() {
    if (!tokenCasa_ || tokenCasa_->isEmpty()) {
        setStatus(QStringLiteral("Entra con la cuenta de la tienda para bajar lo que pagaste."));
        return;
    }
    const QString token = *tokenCasa_;
    run([this, token](Cancelacion c) { return bajar(token, std::nullopt, c); });
}

QCoro::Task<QUrl> Store::urlDescarga(Cancelacion cancelacion) {
    Pedido pedido;
    pedido.cancelacion = std::move(cancelacion);
    const QStringList ruta{QStringLiteral("v1"), QStringLiteral("salud")};
    pedido.url = conRuta(servicio(), ruta);
    // The status is not looked at: any reply naming a usable house will do.
    const Contestacion contestacion = co_await pedir(entorno_, std::move(pedido));
    const QJsonValue descarga = objetoJson(contestacion.cuerpo).value(QLatin1String("descarga"));
    if (descarga.isString()) {
        if (const std::optional<QUrl> descargas = direccionHttps(descarga.toString()))
            co_return *descargas;
    }
    throw Failure(
        QStringLiteral("Esta Mac todavía no publica la casa de descargas. Déjala encendida."));
}

QCoro::Task<> Store::bajar(QString token, std::optional<QString> solo, Cancelacion cancelacion) {
    const QPointer<Store> vivo(this);
    const QUrl descargas = co_await urlDescarga(cancelacion);
    sigueVivo(vivo, cancelacion);
    const QJsonObject respuesta =
        co_await pluginsDeLaCuenta(entorno_, descargas, token, cancelacion);
    sigueVivo(vivo, cancelacion);
    const QList<QJsonObject> elegidas = elegir(respuesta, solo);
    if (elegidas.isEmpty()) {
        if (solo) throw Failure(QStringLiteral("Esta cuenta no compró ese plugin."));
        setStatus(QStringLiteral("Esta cuenta no tiene plugins pagados. Cada plugin se compra a "
                                 "su precio y ese pago no incluye actualizaciones."));
        co_return;
    }
    struct Borrar { // whatever the outcome, the progress line goes with the run
        QPointer<Store> store;
        ~Borrar() {
            if (store) store->setAvance(QString());
        }
    } borrar{vivo};
    const int listos =
        co_await bajarUnoAUno(emparejar(elegidas, plugins_), descargas, token, cancelacion);
    setStatus(QStringLiteral("Listos ") + QString::number(listos) +
              QStringLiteral(" plugins. En Ableton: Preferencias > Plug-ins > Rescan."));
}

QCoro::Task<int> Store::bajarUnoAUno(QList<QPair<QJsonObject, Plugin>> encargos, QUrl descargas,
                                     QString token, Cancelacion cancelacion) {
    const QPointer<Store> vivo(this);
    int listos = 0;
    const int total = int(encargos.size());
    for (const auto& [entrada, plugin] : std::as_const(encargos)) {
        const QJsonValue nombre = entrada.value(QLatin1String("name"));
        setStatus(QStringLiteral("Bajando ") +
                  (nombre.isString() ? nombre.toString() : QStringLiteral("plugin")) +
                  QStringLiteral("…"));
        setAvance(textoDeAvance(listos + 1, total, std::nullopt));
        // Built apart: g++ 12 miscompiles a braced list inside a co_await expression.
        Encargo encargo{integridadDe(entrada), listos + 1, total, cancelacion};
        co_await traer(plugin, descargas, token, std::move(encargo));
        sigueVivo(vivo, cancelacion);
        ++listos;
    }
    co_return listos;
}
