#include "core/texto.h"

#include <QStringList>
#include <QTextBoundaryFinder>

qsizetype caracteres(const QString& s) {
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, s);
    qsizetype n = 0;
    while (finder.toNextBoundary() != -1)
        ++n;
    return n;
}

QString ultimoComponente(const QString& ruta) {
    const QStringList partes = ruta.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    return partes.isEmpty() ? QString() : partes.last();
}

QString unir(const QString& carpeta, const QString& componente) {
    if (carpeta.isEmpty()) return componente;
    if (carpeta.endsWith(QLatin1Char('/'))) return carpeta + componente;
    return carpeta + QLatin1Char('/') + componente;
}
