#include "service/direccion.h"

std::optional<QUrl> direccionHttps(const QString& texto) {
    // QUrl lower-cases the scheme it parses, so the scheme is compared as written.
    if (!texto.startsWith(QLatin1String("https:"))) return std::nullopt;
    const QUrl url(texto, QUrl::StrictMode);
    if (!url.isValid() || url.isRelative() || url.host().isEmpty()) return std::nullopt;
    return url;
}

QUrl conRuta(QUrl base, const QStringList& segmentos) {
    QString ruta = base.path(QUrl::FullyEncoded);
    for (const QString& segmento : segmentos) {
        if (!ruta.endsWith(QLatin1Char('/'))) ruta += QLatin1Char('/');
        ruta += QString::fromLatin1(QUrl::toPercentEncoding(segmento));
    }
    base.setPath(ruta, QUrl::TolerantMode);
    base.setQuery(QString());
    base.setFragment(QString());
    return base;
}
