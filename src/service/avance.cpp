#include "service/avance.h"

qint64 cifraDeMegas(qint64 bytes) {
    const qint64 decimas = std::max<qint64>(bytes, 0) / 100000;
    return decimas < 100 ? decimas : decimas / 10 * 10;
}

QString megas(qint64 bytes) {
    const qint64 decimas = cifraDeMegas(bytes);
    if (decimas < 100)
        return QString::number(decimas / 10) + QLatin1Char(',') + QString::number(decimas % 10) +
               QStringLiteral(" MB");
    return QString::number(decimas / 10) + QStringLiteral(" MB");
}

QString textoDeAvance(int posicion, int total, const std::optional<Progreso>& progreso) {
    QString texto = QString::number(posicion) + QStringLiteral(" de ") + QString::number(total);
    if (!progreso) return texto;
    texto += QStringLiteral(" · ") + megas(progreso->recibidos);
    if (progreso->total) texto += QStringLiteral(" de ") + megas(*progreso->total);
    return texto;
}
