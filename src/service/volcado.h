#pragma once

#include <QByteArray>
#include <QSaveFile>
#include <QString>

// A package file written as its body arrives. The pieces a transfer delivers (often a few
// kilobytes) are gathered into blocks of a megabyte, each written with one checked call, so a
// fast transfer costs the calling thread few system calls. It touches nothing but its own file:
// it may be fed from any one thread at a time. Written under a temporary name beside the file;
// terminar() puts it in place whole, and without terminar() nothing is left.
class Volcado {
public:
    explicit Volcado(const QString& archivo); // throws ErrorSistema
    Volcado(const Volcado&) = delete;
    Volcado& operator=(const Volcado&) = delete;

    void agregar(const QByteArray& trozo); // throws ErrorSistema when a write fails

    // Writes the rest, flushes it to disk and puts the file in place; throws ErrorSistema.
    // Flushing a large file takes a while: call it beside the window's thread.
    void terminar();

private:
    void escribirBloque();

    QSaveFile archivo_;
    QByteArray bloque_;
    qint64 escritos_ = 0;
};
