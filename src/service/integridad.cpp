#include "service/integridad.h"

#include <QJsonValue>

#include <openssl/evp.h>

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

// SHA-256 by OpenSSL, which uses the processor's own instructions for it: ten times Qt's own
// here, and faster than a package arrives. Any failure of it leaves a digest that matches nothing.
class Comprobante::Resumen {
public:
    Resumen() : contexto_(EVP_MD_CTX_new()) {
        bien_ = contexto_ && EVP_DigestInit_ex(contexto_.get(), EVP_sha256(), nullptr) == 1;
    }
    void agregar(const QByteArray& trozo) {
        bien_ = bien_ && EVP_DigestUpdate(contexto_.get(), trozo.constData(),
                                          std::size_t(trozo.size())) == 1;
    }
    QByteArray resultado() {
        QByteArray digesto(EVP_MAX_MD_SIZE, Qt::Uninitialized);
        unsigned int largo = 0;
        bien_ = bien_ &&
                EVP_DigestFinal_ex(contexto_.get(),
                                   reinterpret_cast<unsigned char*>(digesto.data()), &largo) == 1;
        if (!bien_) return {};
        digesto.truncate(largo);
        return digesto;
    }

private:
    struct Liberar {
        void operator()(EVP_MD_CTX* c) const { EVP_MD_CTX_free(c); }
    };
    std::unique_ptr<EVP_MD_CTX, Liberar> contexto_;
    bool bien_ = false;
};

Comprobante::Comprobante(Integridad esperado) : esperado_(std::move(esperado)) {
    if (esperado_.sha256) resumen_ = std::make_unique<Resumen>();
}

Comprobante::~Comprobante() = default;

void Comprobante::contar(qint64 bytes) {
    recibidos_ += bytes;
    if (esperado_.tamano && recibidos_ > *esperado_.tamano) throw PaqueteDanado();
}

void Comprobante::resumir(const QByteArray& trozo) {
    if (resumen_) resumen_->agregar(trozo);
}

void Comprobante::terminar() {
    if (esperado_.tamano && recibidos_ != *esperado_.tamano) throw PaqueteDanado();
    if (resumen_) {
        // An empty digest said (no digest at all, see Integridad) matches no package either.
        const QByteArray hecho = resumen_->resultado();
        if (hecho.isEmpty() || hecho != *esperado_.sha256) throw PaqueteDanado();
    }
}
