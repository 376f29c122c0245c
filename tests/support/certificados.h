#pragma once

#include <QString>

// PEM files of the test certificates (EC P-256 keys), made once per process.
struct ArchivosCertificados {
    QString autoridad;   // the test CA's certificate
    QString certificado; // server certificate signed by the CA, for 127.0.0.1 and localhost
    QString clave;       // its private key
    QString ajeno;       // self-signed certificate for the same names, trusted by nobody
    QString claveAjena;  // its private key
};

const ArchivosCertificados& archivosCertificados();
