#include "zips.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QtTest>

#include <archive.h>
#include <archive_entry.h>

EntradaZip archivoZip(const QByteArray& nombre, const QByteArray& datos, int modo) {
    EntradaZip e;
    e.nombre = nombre;
    e.datos = datos;
    e.modo = modo;
    return e;
}

EntradaZip enlaceZip(const QByteArray& nombre, const QByteArray& destino) {
    EntradaZip e;
    e.nombre = nombre;
    e.tipo = EntradaZip::Tipo::Enlace;
    e.enlace = destino;
    e.modo = 0777;
    return e;
}

EntradaZip cerosZip(const QByteArray& nombre, qint64 tamano) {
    EntradaZip e;
    e.nombre = nombre;
    e.ceros = tamano;
    return e;
}

void escribirZip(const QString& ruta, const QList<EntradaZip>& entradas, bool guardar) {
    QDir().mkpath(QFileInfo(ruta).absolutePath());
    archive* a = archive_write_new();
    archive_write_set_format_zip(a);
    if (guardar) archive_write_set_format_option(a, "zip", "compression", "store");
    QCOMPARE(archive_write_open_filename(a, QFile::encodeName(ruta).constData()), ARCHIVE_OK);
    for (const EntradaZip& e : entradas) {
        archive_entry* entrada = archive_entry_new();
        archive_entry_set_pathname(entrada, e.nombre.constData());
        switch (e.tipo) {
        case EntradaZip::Tipo::Archivo:
            archive_entry_set_filetype(entrada, AE_IFREG);
            archive_entry_set_size(entrada, e.ceros > 0 ? e.ceros : e.datos.size());
            break;
        case EntradaZip::Tipo::Carpeta:
            archive_entry_set_filetype(entrada, AE_IFDIR);
            break;
        case EntradaZip::Tipo::Enlace:
            archive_entry_set_filetype(entrada, AE_IFLNK);
            archive_entry_set_symlink(entrada, e.enlace.constData());
            break;
        }
        archive_entry_set_perm(entrada, e.modo);
        QCOMPARE(archive_write_header(a, entrada), ARCHIVE_OK);
        if (e.tipo == EntradaZip::Tipo::Archivo && !e.datos.isEmpty())
            QCOMPARE(archive_write_data(a, e.datos.constData(), e.datos.size()),
                     la_ssize_t(e.datos.size()));
        const QByteArray bloque(qMin<qint64>(e.ceros, 1 << 20), '\0');
        for (qint64 queda = e.ceros; queda > 0; queda -= bloque.size())
            QCOMPARE(archive_write_data(a, bloque.constData(), qMin<qint64>(queda, bloque.size())),
                     la_ssize_t(qMin<qint64>(queda, bloque.size())));
        archive_entry_free(entrada);
    }
    QCOMPARE(archive_write_close(a), ARCHIVE_OK);
    archive_write_free(a);
}

QList<EntradaZip> entradasDe(const QString& carpeta, const QByteArray& prefijo) {
    QList<EntradaZip> lista;
    QDirIterator it(carpeta, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        const QByteArray nombre =
            prefijo + QFile::encodeName(QDir(carpeta).relativeFilePath(info.filePath()));
        if (info.isSymLink()) {
            lista.append(enlaceZip(
                nombre,
                QFile::encodeName(
                    info.symLinkTarget().isEmpty()
                        ? QString()
                        : QDir(info.absolutePath()).relativeFilePath(info.symLinkTarget()))));
        } else if (info.isDir()) {
            EntradaZip e;
            e.nombre = nombre + '/';
            e.tipo = EntradaZip::Tipo::Carpeta;
            e.modo = 0755;
            lista.append(e);
        } else {
            QFile f(info.filePath());
            f.open(QIODevice::ReadOnly);
            lista.append(archivoZip(nombre, f.readAll(), info.isExecutable() ? 0755 : 0644));
        }
    }
    return lista;
}
