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
};

EntradaZip archivoZip(const QByteArray& nombre, const QByteArray& datos, int modo = 0644);
EntradaZip enlaceZip(const QByteArray& nombre, const QByteArray& destino);

// `guardar`: entries stored uncompressed, so their bytes can be found in the file.
void escribirZip(const QString& ruta, const QList<EntradaZip>& entradas, bool guardar = false);

// Every folder, file and link below `carpeta`, named `prefijo` + their path inside it.
QList<EntradaZip> entradasDe(const QString& carpeta, const QByteArray& prefijo);
