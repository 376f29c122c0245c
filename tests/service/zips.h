#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// One entry of a test ZIP, written as given: names and link targets are not checked, so a
// test can build the hostile packages a server might send.
struct EntradaZip {
    enum class Tipo { Archivo, Carpeta, Enlace };
    QByteArray nombre;
    QByteArray datos;
    Tipo tipo = Tipo::Archivo;
    QByteArray enlace; // target of a link
    int modo = 0644;
    qint64 ceros = 0; // a file of this many zero bytes instead of `datos`, streamed
};

EntradaZip archivoZip(const QByteArray& nombre, const QByteArray& datos, int modo = 0644);
EntradaZip enlaceZip(const QByteArray& nombre, const QByteArray& destino);
// A file of `tamano` zero bytes: a few KiB in the archive, however large unpacked.
EntradaZip cerosZip(const QByteArray& nombre, qint64 tamano);

// `guardar`: entries stored uncompressed, so their bytes can be found in the file.
void escribirZip(const QString& ruta, const QList<EntradaZip>& entradas, bool guardar = false);

// Every folder, file and link below `carpeta`, named `prefijo` + their path inside it.
QList<EntradaZip> entradasDe(const QString& carpeta, const QByteArray& prefijo);
