// The store account's plug-ins: where the download house is, what the account owns, and one
// download after another.
#include "core/failure.h"
#include "core/store.h"
#include "core/texto.h"
#include "service/direccion.h"
#include "service/guardia.h"
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

} // namespace

void Store::bajarComprados() {
    if (!tokenCasa_ || tokenCasa_->isEmpty()) {
        setStatus(QStringLiteral("Entra con la cuenta de la tienda para bajar lo que pagaste."));
        return;
    }
    const QString token = *tokenCasa_;
    run([this, token] { return bajar(token, std::nullopt); });
}

QCoro::Task<QUrl> Store::urlDescarga() {
    Pedido pedido;
    const QStringList ruta{QStringLiteral("v1"), QStringLiteral("salud")};
    pedido.url = conRuta(servicio(), ruta);
    // The status is not looked at: any reply naming a usable house will do.
    const Contestacion contestacion = co_await pedir(entorno_, std::move(pedido));
    const QJsonValue descarga = objetoJson(contestacion.cuerpo).value(QLatin1String("descarga"));
    if (descarga.isString()) {
        if (const std::optional<QUrl> casa = direccionHttps(descarga.toString())) co_return *casa;
    }
    throw Failure(
        QStringLiteral("Esta Mac todavía no publica la casa de descargas. Déjala encendida."));
}

QCoro::Task<> Store::bajar(QString token, std::optional<QString> solo) {
    const QPointer<Store> guardia(this);
    const QUrl casa = co_await urlDescarga();
    sigueVivo(guardia);

    Pedido pedido;
    const QStringList ruta{QStringLiteral("v1"), QStringLiteral("mios")};
    pedido.url = conRuta(casa, ruta);
    pedido.cabeceras.append(qMakePair(QByteArray("Authorization"), "Bearer " + token.toUtf8()));
    const Contestacion contestacion = co_await pedir(entorno_, std::move(pedido));
    sigueVivo(guardia);

    const QJsonObject respuesta = objetoJson(contestacion.cuerpo);
    const QJsonValue ok = respuesta.value(QLatin1String("ok"));
    if (contestacion.estado != 200 || respuesta.isEmpty() || !ok.isBool() || !ok.toBool()) {
        const QJsonValue error = respuesta.value(QLatin1String("error"));
        throw Failure(error.isString()
                          ? error.toString()
                          : QStringLiteral("No se pudieron ver los plugins de la cuenta."));
    }

    QList<QJsonObject> elegidas;
    for (const QJsonObject& entrada : entradas(respuesta)) {
        const QJsonValue id = entrada.value(QLatin1String("id"));
        if (id.isString() && (!solo || mismoId(id.toString(), *solo))) elegidas.append(entrada);
    }
    if (elegidas.isEmpty()) {
        if (solo) throw Failure(QStringLiteral("Esta cuenta no compró ese plugin."));
        setStatus(QStringLiteral("Esta cuenta no tiene plugins pagados. Cada plugin se compra a "
                                 "su precio y ese pago no incluye actualizaciones."));
        co_return;
    }

    int listos = 0;
    for (const QJsonObject& entrada : elegidas) {
        const QString id = entrada.value(QLatin1String("id")).toString();
        const QJsonValue nombre = entrada.value(QLatin1String("name"));
        std::optional<Plugin> plugin;
        for (const Plugin& p : plugins_) {
            if (mismoId(p.id, id)) {
                plugin = p;
                break;
            }
        }
        if (!plugin) continue; // not in this catalog: skipped without a word
        setStatus(QStringLiteral("Bajando ") +
                  (nombre.isString() ? nombre.toString() : QStringLiteral("plugin")) +
                  QStringLiteral("…"));
        co_await traer(*plugin, casa, token);
        sigueVivo(guardia);
        ++listos;
    }
    setStatus(QStringLiteral("Listos ") + QString::number(listos) +
              QStringLiteral(" plugins. En Ableton: Preferencias > Plug-ins > Rescan."));
}
