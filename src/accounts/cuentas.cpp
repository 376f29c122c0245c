#include "accounts/cuentas.h"

#include "core/archivo.h"
#include "core/json.h"
#include "core/rutas.h"
#include "core/texto.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

const QString kCreatedAt = QStringLiteral("createdAt");
const QString kEmail = QStringLiteral("email");
const QString kPassHash = QStringLiteral("passHash");
const QString kProveedor = QStringLiteral("proveedor");
const QString kSalt = QStringLiteral("salt");
const QString kCuentas = QStringLiteral("cuentas");

std::optional<Cuenta> decodificarCuenta(const QJsonValue& valor) {
    if (!valor.isObject()) return std::nullopt;
    const QJsonObject o = valor.toObject();
    for (const QString& clave : {kCreatedAt, kEmail, kPassHash, kProveedor, kSalt}) {
        if (!o.value(clave).isString()) return std::nullopt;
    }
    return Cuenta{o.value(kEmail).toString(), o.value(kSalt).toString(),
                  o.value(kPassHash).toString(), o.value(kProveedor).toString(),
                  o.value(kCreatedAt).toString()};
}

} // namespace

QString correoNormalizado(const QString& email) {
    // QString::trimmed removes exactly the Unicode white space and line breaks (Z* categories,
    // U+0009...U+000D, U+0085). toLower applies the full mappings, so "İ" becomes "i" with a
    // combining dot above, as the context-free full lower-casing prescribes.
    return nfc(email.trimmed().toLower());
}

bool mismoCorreo(const QString& a, const QString& b) {
    return correoNormalizado(a) == correoNormalizado(b);
}

bool correoBienFormado(const QString& email) {
    const QString correo = correoNormalizado(email);
    const qsizetype arroba = correo.indexOf(QLatin1Char('@'));
    if (arroba <= 0) return false;
    if (!correo.mid(arroba + 1).contains(QLatin1Char('.'))) return false;
    if (correo.contains(QLatin1Char(' '))) return false;
    return caracteres(correo) <= 200;
}

std::optional<Cuenta> buscarCuenta(const QList<Cuenta>& cuentas, const QString& email) {
    const QString buscado = correoNormalizado(email);
    for (const Cuenta& c : cuentas) {
        if (correoNormalizado(c.email) == buscado) return c;
    }
    return std::nullopt;
}

std::optional<LibroCuentas> decodificarLibro(const QByteArray& json) {
    const std::optional<QJsonObject> objeto = objetoEstricto(json);
    if (!objeto) return std::nullopt;
    const QJsonValue lista = objeto->value(kCuentas);
    if (!lista.isArray()) return std::nullopt;
    LibroCuentas libro;
    for (const QJsonValue& valor : lista.toArray()) {
        auto cuenta = decodificarCuenta(valor);
        if (!cuenta) return std::nullopt;
        libro.cuentas.append(std::move(*cuenta));
    }
    return libro;
}

QByteArray codificarLibro(const LibroCuentas& libro) {
    QJsonArray lista;
    for (const Cuenta& c : libro.cuentas) {
        // QJsonObject keeps its keys sorted, which gives the written order.
        lista.append(QJsonObject{{kCreatedAt, c.createdAt},
                                 {kEmail, c.email},
                                 {kPassHash, c.passHash},
                                 {kProveedor, c.proveedor},
                                 {kSalt, c.salt}});
    }
    return QJsonDocument(QJsonObject{{kCuentas, lista}}).toJson(QJsonDocument::Indented);
}

LecturaLibro leerLibro(const QString& ruta) {
    const std::optional<QByteArray> datos = leerArchivoLimitado(ruta, kLimiteArchivoPequeno);
    if (!datos) return {};
    auto libro = decodificarLibro(*datos);
    if (!libro) return {{}, true};
    return {std::move(libro->cuentas), false};
}

QString apartarIlegible(const QString& ruta) {
    const QString base =
        ruta + QStringLiteral(".ilegible-") +
        QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'"));
    QString destino = base;
    for (int n = 2; hayAlgo(destino); ++n)
        destino = base + QLatin1Char('-') + QString::number(n);
    moverRuta(ruta, destino);
    return destino;
}
