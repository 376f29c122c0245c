#include "empaquetar.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <archive.h>
#include <archive_entry.h>

#include <filesystem>
#include <memory>

namespace {

using Archivo = std::unique_ptr<archive, decltype(&archive_write_free)>;
using Entrada = std::unique_ptr<archive_entry, decltype(&archive_entry_free)>;

QString textoDe(archive* a) {
    return QString::fromUtf8(archive_error_string(a));
}

// One entry: header, then the file's bytes a piece at a time.
bool escribirEntrada(archive* a, const QString& carpeta, const QString& relativa, QString* error) {
    const QString ruta = carpeta + QLatin1Char('/') + relativa;
    const QFileInfo info(ruta);
    Entrada e(archive_entry_new(), &archive_entry_free);
    archive_entry_set_pathname_utf8(e.get(), relativa.toUtf8().constData());
    archive_entry_set_mtime(e.get(), info.lastModified().toSecsSinceEpoch(), 0);
    if (!info.exists() && !info.isSymLink()) {
        *error = ruta + QStringLiteral(": desapareció mientras se empaquetaba");
        return false;
    }
    if (info.isSymLink()) {
        std::error_code fallo;
        const auto destino = std::filesystem::read_symlink(ruta.toStdString(), fallo);
        if (fallo) {
            *error = ruta + QStringLiteral(": ") + QString::fromStdString(fallo.message());
            return false;
        }
        archive_entry_set_filetype(e.get(), AE_IFLNK);
        archive_entry_set_perm(e.get(), 0755);
        archive_entry_set_symlink_utf8(e.get(), destino.string().c_str());
    } else if (info.isDir()) {
        archive_entry_set_filetype(e.get(), AE_IFDIR);
        archive_entry_set_perm(e.get(), 0755);
    } else {
        archive_entry_set_filetype(e.get(), AE_IFREG);
        archive_entry_set_perm(e.get(), info.isExecutable() ? 0755 : 0644);
        archive_entry_set_size(e.get(), info.size());
    }
    if (archive_write_header(a, e.get()) != ARCHIVE_OK) {
        *error = textoDe(a);
        return false;
    }
    if (!info.isFile() || info.isSymLink()) return true;
    QFile f(ruta);
    if (!f.open(QIODevice::ReadOnly)) {
        *error = ruta + QStringLiteral(": ") + f.errorString();
        return false;
    }
    while (!f.atEnd()) {
        const QByteArray trozo = f.read(64 * 1024);
        if (trozo.isEmpty() && f.error() != QFileDevice::NoError) {
            *error = ruta + QStringLiteral(": ") + f.errorString();
            return false;
        }
        if (archive_write_data(a, trozo.constData(), size_t(trozo.size())) < 0) {
            *error = textoDe(a);
            return false;
        }
    }
    return true;
}

} // namespace

bool empaquetar(const QString& origen, const QString& destino, QString* error) {
    const QString carpeta = QFileInfo(origen).absoluteFilePath();
    // Links are stored, never followed, so nothing outside the folder gets into the package.
    QStringList relativas;
    const QDir raiz(carpeta);
    QDirIterator it(carpeta, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        relativas.append(raiz.relativeFilePath(it.next()));
    relativas.sort(); // a folder before what it holds

    Archivo a(archive_write_new(), &archive_write_free);
    if (archive_write_set_format_zip(a.get()) != ARCHIVE_OK ||
        archive_write_open_filename(a.get(), QFile::encodeName(destino).constData()) !=
            ARCHIVE_OK) {
        *error = textoDe(a.get());
        return false;
    }
    for (const QString& r : relativas)
        if (!escribirEntrada(a.get(), carpeta, r, error)) return false;
    if (archive_write_close(a.get()) != ARCHIVE_OK) {
        *error = textoDe(a.get());
        return false;
    }
    return true;
}
