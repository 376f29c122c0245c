#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

#include <optional>

// One local account, as kept in the accounts book.
// The accounts book's file, in the project's data folder.
inline constexpr QLatin1String kLibroCuentas("cuentas.json");

struct Cuenta {
    QString email;     // as typed at sign-up, only trimmed
    QString salt;      // base64 of the salt bytes
    QString passHash;  // base64 of the SHA-256 digest; empty for an account without a password
    QString proveedor; // "correo" for every account this application creates
    QString createdAt; // ISO 8601, UTC, to the second

    friend bool operator==(const Cuenta&, const Cuenta&) = default;
};

// The accounts book: every local account, in the order they were created.
struct LibroCuentas {
    QList<Cuenta> cuentas;
};

// The password digest of an account: SHA-256 over the salt bytes, then the UTF-8 of the
// normalised e-mail, one NUL and the password. With a stored salt (strict base64 of at least one
// byte) that salt is used; otherwise a fresh 16-byte one. Returns (salt, hash), both base64.
QPair<QString, QString> resumenCuenta(const QString& email, const QString& password,
                                      const std::optional<QString>& saltB64);

// The e-mail as compared: trimmed of white space and line breaks, fully lower-cased, in NFC, so
// canonically equivalent spellings compare (and digest) the same.
QString correoNormalizado(const QString& email);
bool mismoCorreo(const QString& a, const QString& b);

// The e-mail syntax rule: something before the first "@", a "." somewhere after it, no space,
// at most 200 user-perceived characters; all on the normalised e-mail.
bool correoBienFormado(const QString& email);

// The first account whose e-mail names the same address.
std::optional<Cuenta> buscarCuenta(const QList<Cuenta>& cuentas, const QString& email);

// Strict decoding: "cuentas" and all five fields of every record must be strings; anything else
// makes the whole book undecodable. Unknown members are ignored.
std::optional<LibroCuentas> decodificarLibro(const QByteArray& json);
// Pretty-printed with the members of every object in ascending key order.
QByteArray codificarLibro(const LibroCuentas& libro);

// What reading the accounts file gave. A missing file is an empty book; a regular file that does
// not decode is an empty book too, marked so that nobody overwrites it unseen.
struct LecturaLibro {
    QList<Cuenta> cuentas;
    bool ilegible = false;
};
// Throws ErrorSistema when something is there that cannot be read as a file of sane size: a
// folder, a FIFO, a device, a file too large, one without permission.
LecturaLibro leerLibro(const QString& ruta);

// Moves an accounts file that could not be decoded to a name beside it that says so and when
// ("cuentas.json.ilegible-20261207T114641Z"), never over an existing file. Returns the new path;
// throws ErrorSistema when it cannot be moved.
QString apartarIlegible(const QString& ruta);
