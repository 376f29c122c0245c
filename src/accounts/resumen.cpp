#include "accounts/cuentas.h"

#include <QCryptographicHash>
#include <QRandomGenerator>

namespace {

// Strict standard base64: RFC 4648 alphabet, padding required, nothing else.
std::optional<QByteArray> base64Estricto(const QString& texto) {
    const QByteArray bytes = texto.toUtf8();
    if (bytes.size() % 4 != 0) return std::nullopt;
    auto r = QByteArray::fromBase64Encoding(bytes, QByteArray::Base64Encoding |
                                                       QByteArray::AbortOnBase64DecodingErrors);
    if (!r) return std::nullopt;
    return r.decoded;
}

QByteArray salNueva() {
    QByteArray sal(16, '\0');
    for (char& byte : sal)
        byte = static_cast<char>(QRandomGenerator::system()->generate64() & 0xff);
    return sal;
}

} // namespace

QPair<QString, QString> resumenCuenta(const QString& email, const QString& password,
                                      const std::optional<QString>& saltB64) {
    std::optional<QByteArray> sal;
    if (saltB64) sal = base64Estricto(*saltB64);
    if (!sal || sal->isEmpty()) sal = salNueva();

    // The NUL keeps the e-mail and the password apart: "ab" + "c" and "a" + "bc" differ.
    const QString mensaje = correoNormalizado(email) + QChar(u'\0') + password;
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(*sal);
    hash.addData(mensaje.toUtf8());
    return {QString::fromLatin1(sal->toBase64()), QString::fromLatin1(hash.result().toBase64())};
}
