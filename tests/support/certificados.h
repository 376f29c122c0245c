#pragma once

#include <QList>
#include <QSslCertificate>
#include <QString>

struct Entorno;
class QUrl;

// PEM files of the test certificates (EC P-256 keys), made once per process.
struct ArchivosCertificados {
    QString autoridad;   // the test CA's certificate
    QString certificado; // server certificate signed by the CA, for 127.0.0.1 and localhost
    QString clave;       // its private key
    QString ajeno;       // self-signed certificate for the same names, trusted by nobody
    QString claveAjena;  // its private key
};

const ArchivosCertificados& archivosCertificados();

// The test CA that signs the test servers' certificates (and tienda-local's in the tests).
QList<QSslCertificate> autoridadDePrueba();

// Makes a test server (or a tienda-local) at `base` the environment's built-in store service,
// trusted through the test CA.
void servicioDePrueba(Entorno& entorno, const QUrl& base);
