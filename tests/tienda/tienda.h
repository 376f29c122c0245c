#pragma once

#include <QProcess>
#include <QString>
#include <QUrl>

// The real tienda-local binary running as a child process with the test CA's server
// certificate, on a random port, until the object goes.
struct TiendaLocal {
    QProcess proceso;
    QUrl base; // where it said it listens; invalid when it did not start

    explicit TiendaLocal(const QString& datos);
    ~TiendaLocal();
};

// Stages the customer demonstration's store data in datos with scripts/preparar-tienda, the
// shipped catalog's first five plug-ins bought by correo; whether it ended well.
bool prepararTienda(const QString& datos, const QString& correo);

// A ZIP entry as libarchive reads it back.
struct EntradaZip {
    QString ruta;
    bool carpeta = false;
    QString enlace; // target, for a link
    int permisos = 0;
    QByteArray contenido;
};

// Every entry of a ZIP archive held in memory; empty when libarchive cannot read it.
QList<EntradaZip> leerZip(const QByteArray& zip);
