#pragma once

#include "service/integridad.h"

#include <QByteArray>
#include <QSaveFile>
#include <QString>

// A package file written as its body arrives. The pieces a transfer delivers (often a few
// kilobytes) are gathered into blocks of a megabyte, each written with one checked call, so a
// fast transfer costs the calling thread few system calls. It touches nothing but its own file:
// it may be fed from any one thread at a time. Written under a temporary name beside the file;
// terminar() puts it in place whole, and without terminar() nothing is left. It is checked
// against what the store said of it as it is written (see Comprobante): a package past its length
// throws from agregar, one that is not what was said from terminar, and is never put in place.
class Volcado {
public:
    // throws ErrorSistema
    explicit Volcado(const QString& archivo, Integridad esperado = {});
    Volcado(const Volcado&) = delete;
    Volcado& operator=(const Volcado&) = delete;

    // throws ErrorSistema when a write fails, PaqueteDanado past the length said
    void agregar(const QByteArray& trozo);

    // Writes the rest, flushes it to disk and puts the file in place; throws ErrorSistema, or
    // PaqueteDanado for a package that is not what was said.
    // Flushing a large file takes a while: call it beside the window's thread.
    void terminar();

private:
    void escribirBloque();

    QSaveFile archivo_;
    Comprobante comprobante_;
    QByteArray bloque_;
    qint64 escritos_ = 0;
};
