// The derived views of the catalog that drive browsing: recomputed from the compared forms, the
// visible list once per change of what it depends on.
#include "core/store.h"

#include "core/texto.h"

QStringList Store::categories() const {
    QStringList resultado;
    QStringList vistas; // NFC forms, for the duplicate check
    for (qsizetype i = 0; i < plugins_.size(); ++i) {
        if (vistas.contains(comparables_[i].category)) continue;
        vistas.append(comparables_[i].category);
        resultado.append(plugins_[i].category);
    }
    return resultado;
}

QList<Plugin> Store::visible() const {
    if (visibles_) return *visibles_;
    const bool todasLasCategorias = category_ == kTodas;
    const QString categoria = nfc(category_);
    const QString consulta = plegado(query_);
    // Nothing left out: the catalog itself, shared rather than copied.
    if (todasLasCategorias && consulta.isEmpty()) {
        visibles_ = plugins_;
        return plugins_;
    }
    QList<Plugin> resultado;
    for (qsizetype i = 0; i < plugins_.size(); ++i) {
        const Comparable& c = comparables_[i];
        if (!todasLasCategorias && c.category != categoria) continue;
        if (!consulta.isEmpty() && !c.name.contains(consulta) && !c.subtitle.contains(consulta) &&
            !c.purpose.contains(consulta))
            continue;
        resultado.append(plugins_[i]);
    }
    visibles_ = resultado;
    return resultado;
}

std::optional<Plugin> Store::selected() const {
    if (selectedID_) {
        const QString id = nfc(*selectedID_);
        for (qsizetype i = 0; i < plugins_.size(); ++i)
            if (comparables_[i].id == id) return plugins_[i];
    }
    const QList<Plugin> lista = visible();
    if (lista.isEmpty()) return std::nullopt;
    return lista.first();
}
