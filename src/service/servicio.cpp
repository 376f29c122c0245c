// The base address of the store service: the project's config/marca.json when it names a usable
// one, the built-in endpoint otherwise. Read afresh for every request.
#include "core/archivo.h"
#include "core/failure.h"
#include "core/store.h"
#include "core/texto.h"
#include "service/direccion.h"
#include "service/marca.h"

namespace {

std::optional<QUrl> configurado(const std::optional<QString>& proyecto) {
    if (!proyecto) return std::nullopt;
    std::optional<QByteArray> json;
    try {
        json = leerArchivoLimitado(unir(*proyecto, QStringLiteral("config/marca.json")),
                                   kLimiteArchivoPequeno);
    } catch (...) {
        return std::nullopt;
    }
    if (!json) return std::nullopt;
    const std::optional<MarcaServicio> marca = decodificarMarca(*json);
    if (!marca) return std::nullopt;
    return direccionHttps(marca->licencias.url);
}

} // namespace

QUrl Store::servicio() const {
    // No reason is reported: a missing file, a broken one and an unusable address all give
    // the built-in endpoint.
    if (const std::optional<QUrl> url = configurado(root())) return *url;
    const QUrl predeterminado(entorno_.servicio, QUrl::StrictMode);
    if (entorno_.servicio.isEmpty() || !predeterminado.isValid() || predeterminado.isRelative() ||
        predeterminado.host().isEmpty())
        throw Failure(QStringLiteral("El servicio de licencias no está configurado."));
    return predeterminado;
}
