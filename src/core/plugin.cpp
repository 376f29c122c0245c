#include "core/plugin.h"
#include "core/json.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QSet>

size_t qHash(const Plugin& p, size_t seed) noexcept {
    return qHashMulti(seed, p.id, p.name, p.subtitle, p.purpose, p.category, p.blurb,
                      p.manufacturer, p.screenshot, p.vst3, p.au,
                      qHashRange(p.requirements.cbegin(), p.requirements.cend()));
}

namespace {

// Texts that many entries repeat (a category, the maker, a requirement) are kept once and
// shared: a large catalog then holds each of them one time.
class Repetidos {
public:
    QString uno(const QString& texto) { return *textos_.insert(texto); }
    QStringList una(const QStringList& lista) { return *listas_.insert(lista); }

private:
    QSet<QString> textos_;
    QSet<QStringList> listas_;
};

bool texto(const QJsonObject& o, const char* clave, QString& destino) {
    const QJsonValue v = o.value(QLatin1String(clave));
    if (!v.isString()) return false;
    destino = v.toString();
    return true;
}

std::optional<Plugin> decodificarPlugin(const QJsonValue& valor, Repetidos& repetidos) {
    if (!valor.isObject()) return std::nullopt;
    const QJsonObject o = valor.toObject();
    Plugin p;
    if (!texto(o, "id", p.id) || !texto(o, "name", p.name) || !texto(o, "subtitle", p.subtitle) ||
        !texto(o, "purpose", p.purpose) || !texto(o, "category", p.category) ||
        !texto(o, "blurb", p.blurb) || !texto(o, "manufacturer", p.manufacturer) ||
        !texto(o, "screenshot", p.screenshot) || !texto(o, "vst3", p.vst3) || !texto(o, "au", p.au))
        return std::nullopt;
    const QJsonValue reqs = o.value(QLatin1String("requirements"));
    if (!reqs.isArray()) return std::nullopt;
    for (const QJsonValue& r : reqs.toArray()) {
        if (!r.isString()) return std::nullopt;
        p.requirements.append(repetidos.uno(r.toString()));
    }
    p.requirements = repetidos.una(p.requirements);
    p.category = repetidos.uno(p.category);
    p.manufacturer = repetidos.uno(p.manufacturer);
    return p;
}

} // namespace

std::optional<Catalog> decodificarCatalogo(const QByteArray& json) {
    const std::optional<QJsonObject> objeto = objetoEstricto(json);
    if (!objeto) return std::nullopt;
    return decodificarCatalogo(*objeto);
}

std::optional<Catalog> decodificarCatalogo(const QJsonObject& objeto) {
    const QJsonValue lista = objeto.value(QLatin1String("plugins"));
    if (!lista.isArray()) return std::nullopt;
    Catalog catalogo;
    const QJsonArray arreglo = lista.toArray();
    catalogo.plugins.reserve(arreglo.size());
    Repetidos repetidos;
    for (const QJsonValue& v : arreglo) {
        auto p = decodificarPlugin(v, repetidos);
        if (!p) return std::nullopt;
        catalogo.plugins.append(std::move(*p));
    }
    return catalogo;
}
