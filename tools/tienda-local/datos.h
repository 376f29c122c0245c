#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// The store's data folder. Every file is read afresh at each request, so the maker can edit
// purchases or packages while the service runs:
//   cuentas.json    {"cuentas": [{"createdAt","email","passHash","proveedor","salt"}, ...]}
//   compras.json    {"<e-mail>": ["<plug-in id>", ...], ...}
//   catalogo.json   the application's catalog; only "id" and "name" are read, for display names
//   paquetes/<id>/  the bundles that make up each plug-in's package
//   .zips/          those packages zipped, kept by the service itself (paquetes.h)
//   tokens.json     the tokens handed out, kept by the service itself (tokens.h)
class DatosTienda {
public:
    explicit DatosTienda(const QString& carpeta);
    // The path of a file of the folder.
    QString ruta(const QString& nombre) const { return carpeta_ + QLatin1Char('/') + nombre; }

    struct Cuenta {
        QString email; // as typed at sign-up, trimmed
        QString salt;
        QString passHash;
    };

    // The first account whose normalised e-mail matches.
    std::optional<Cuenta> cuenta(const QString& email) const;
    // Appends a new account with a fresh salt. False when the file cannot be written.
    bool crearCuenta(const QString& email, const QString& password, QString* error) const;

    // Plug-in ids the account bought, as written in compras.json, in file order.
    QStringList compras(const QString& email) const;
    // The catalog name of an id (compared without regard to case), or the id itself.
    QString nombre(const QString& id) const;
    // The package folder of an id (compared without regard to case), or empty.
    QString carpetaPaquete(const QString& id) const;

private:
    QString carpeta_;
};

// Trimmed of surrounding white space and lower-cased: how e-mails are compared.
QString correoNormalizado(const QString& email);
// User-perceived characters (grapheme clusters), as lengths are counted for people.
qsizetype letras(const QString& texto);
// The same check the application makes before it sends an e-mail.
bool correoValido(const QString& email);
// Base64 SHA-256 of the salt bytes, the normalised e-mail, one NUL byte and the password.
QString resumen(const QString& email, const QString& password, const QByteArray& salt);
