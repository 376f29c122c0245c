#include "service/integridad.h"

#include <QJsonValue>

#include <algorithm>
#include <cmath>

namespace {

// Lengths beyond this are not exact in a JSON number.
constexpr double mayorExacto = 9007199254740992.0; // 2^53

std::optional<QByteArray> digestoDe(const QJsonValue& valor) {
    if (!valor.isString()) return std::nullopt;
    const QByteArray texto = valor.toString().toLatin1();
    const bool hexadecimal =
        texto.size() == 64 && std::all_of(texto.begin(), texto.end(), [](char c) {
            return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
        });
    return hexadecimal ? QByteArray::fromHex(texto) : QByteArray();
}

std::optional<qint64> tamanoDe(const QJsonValue& valor) {
    if (!valor.isDouble()) return std::nullopt;
    const double n = valor.toDouble();
    if (n < 0 || n > mayorExacto || std::floor(n) != n) return -1;
    return qint64(n);
}

} // namespace

Integridad integridadDe(const QJsonObject& entrada) {
    return {digestoDe(entrada.value(QLatin1String("sha256"))),
            tamanoDe(entrada.value(QLatin1String("size")))};
}

Comprobante::Comprobante(Integridad esperado) : esperado_(std::move(esperado)) {}

void Comprobante::agregar(const QByteArray& trozo) {
    recibidos_ += trozo.size();
    if (esperado_.tamano && recibidos_ > *esperado_.tamano) throw PaqueteDanado();
    if (esperado_.sha256) resumen_.addData(trozo);
}

void Comprobante::terminar() {
    if (esperado_.tamano && recibidos_ != *esperado_.tamano) throw PaqueteDanado();
    if (esperado_.sha256 && resumen_.result() != *esperado_.sha256) throw PaqueteDanado();
}
