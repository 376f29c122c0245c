#include "service/desempaquetar.h"

#include "core/carpetahilo.h"
#include "core/failure.h"
#include "core/localehilo.h"
#include "core/segundoplano.h"
#include "service/cabida.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <archive.h>
#include <archive_entry.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// What an entry takes besides its bytes (its node, its line in a folder): millions of empty
// entries fill a disk too.
constexpr qint64 porEntrada = 4096;

struct CerrarLectura {
    void operator()(archive* a) const { archive_read_free(a); }
};
struct CerrarEscritura {
    void operator()(archive* a) const { archive_write_free(a); }
};

QString leerEnlace(const QString& ruta) {
    QByteArray destino(4096, '\0');
    const ssize_t n =
        ::readlink(QFile::encodeName(ruta).constData(), destino.data(), destino.size());
    if (n < 0 || n >= destino.size()) return {};
    destino.truncate(n);
    return QFile::decodeName(destino);
}

bool esEnlace(const QString& ruta) {
    struct stat info;
    return ::lstat(QFile::encodeName(ruta).constData(), &info) == 0 && S_ISLNK(info.st_mode);
}

// Follows a link target the way the system would, from the folder `lugar` (components below
// `raiz`), through the links already on disk, and tells whether it stays inside `raiz`. Parts
// that do not exist yet are followed by name. Absolute targets and loops count as outside.
bool quedaDentro(const QString& raiz, QStringList& lugar, const QString& destino, int vueltas) {
    if (destino.startsWith(QLatin1Char('/')) || vueltas > 40) return false;
    for (const QString& parte : destino.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (parte == QLatin1String(".")) continue;
        if (parte == QLatin1String("..")) {
            if (lugar.isEmpty()) return false;
            lugar.removeLast();
            continue;
        }
        lugar.append(parte);
        const QString ruta = raiz + QLatin1Char('/') + lugar.join(QLatin1Char('/'));
        if (esEnlace(ruta)) {
            lugar.removeLast();
            if (!quedaDentro(raiz, lugar, leerEnlace(ruta), vueltas + 1)) return false;
        }
    }
    return true;
}

// Whether a link at `nombre` (relative to `raiz`) pointing at `destino` stays inside `raiz`.
bool enlaceDentro(const QString& raiz, const QString& nombre, const QString& destino) {
    QStringList lugar = nombre.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    if (lugar.isEmpty() || destino.isEmpty()) return false;
    lugar.removeLast();
    return quedaDentro(raiz, lugar, destino, 0);
}

bool nombreSeguro(const QString& nombre) {
    if (nombre.isEmpty() || nombre.startsWith(QLatin1Char('/'))) return false;
    const QStringList partes = nombre.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    return !partes.isEmpty() && !partes.contains(QLatin1String(".."));
}

// Resource forks and Finder data that Apple's archiver puts beside the real entries; they would
// look like extra bundles here.
bool esMetadatosApple(const QString& nombre) {
    return nombre.split(QLatin1Char('/'), Qt::SkipEmptyParts).value(0) == QLatin1String("__MACOSX");
}

// Copies an entry's bytes, counting them against what is left of the limit.
bool copiarDatos(archive* lectura, archive* escritura, qint64& queda) {
    const void* bloque = nullptr;
    size_t tamano = 0;
    la_int64_t posicion = 0;
    for (;;) {
        const int r = archive_read_data_block(lectura, &bloque, &tamano, &posicion);
        if (r == ARCHIVE_EOF) return true;
        // A bad checksum is only a warning to libarchive; here it is a broken package.
        if (r != ARCHIVE_OK) return false;
        // Sizes in the archive may lie: what is written is what counts.
        queda -= qint64(tamano);
        if (queda < 0) return false;
        // A failed write (a full disk, a quota) is only a warning to libarchive too.
        if (archive_write_data_block(escritura, bloque, tamano, posicion) != ARCHIVE_OK)
            return false;
    }
}

// Names are UTF-8 everywhere in this application; bytes that are not could not be named again.
bool esUtf8(const char* crudo) {
    const QByteArray bytes(crudo);
    return QString::fromUtf8(bytes).toUtf8() == bytes;
}

// A name the system can create below the folder as it is: no component longer than a name may
// be, and the whole path shorter than a path may be, so that every later step reaches it.
bool cabe(const QByteArray& prefijo, const char* crudo) {
    if (prefijo.size() + qsizetype(std::strlen(crudo)) >= PATH_MAX) return false;
    const QByteArrayList partes = QByteArray(crudo).split('/');
    return std::all_of(partes.begin(), partes.end(),
                       [](const QByteArray& p) { return p.size() <= NAME_MAX; });
}

} // namespace

bool enlacesDentro(const QString& raiz, const QStringList& enlaces) {
    for (const QString& nombre : enlaces) {
        const QString ruta = raiz + QLatin1Char('/') + nombre;
        if (esEnlace(ruta) && !enlaceDentro(raiz, nombre, leerEnlace(ruta))) return false;
    }
    return true;
}

bool extraerZip(const QString& paquete, const QString& carpeta, std::optional<qint64> limite,
                QStringList* enlaces) {
    // A destination reached through a link would make every entry look written through one.
    const QString raiz = QFileInfo(carpeta).canonicalFilePath();
    if (raiz.isEmpty()) return false;
    const QByteArray absoluto = QFile::encodeName(raiz) + '/';
    qint64 queda = limite ? *limite : cabidaEn(raiz).bytes;
    QStringList hechos; // the links made, by their names inside the folder
    // libarchive turns a package's UTF-8 names into the thread's character set, and fails on every
    // one outside ASCII under the C locale, which an application started without LANG (from the
    // Finder, say) has. Set before the archive objects: each takes its character set when made.
    const LocaleDelHilo enUtf8(localesUtf8);
    // Named before the thread moves: a relative name would be looked for in the destination.
    const QByteArray archivo = QFile::encodeName(QFileInfo(paquete).absoluteFilePath());
    // Entries named from the destination itself: libarchive's check for links then walks only
    // an entry's own folders, not every folder above the destination for each entry (tens of
    // milliseconds in a package of thousands of files). Held until the archives are freed, which
    // set the folders' times last. Where the thread cannot hold a folder of its own, the names
    // carry the canonical destination instead.
    const CarpetaDelHilo enRaiz(raiz);
    const QByteArray prefijo = enRaiz.propia() ? QByteArray() : absoluto;

    std::unique_ptr<archive, CerrarLectura> lectura(archive_read_new());
    std::unique_ptr<archive, CerrarEscritura> escritura(archive_write_disk_new());
    if (!lectura || !escritura) return false;
    archive_read_support_format_zip(lectura.get());
    // No owner, permission bits beyond the umask, ACLs or flags from the package: modes come
    // from the umask (executables stay executable, set-id bits do not survive).
    archive_write_disk_set_options(escritura.get(), ARCHIVE_EXTRACT_TIME |
                                                        ARCHIVE_EXTRACT_SECURE_NODOTDOT |
                                                        ARCHIVE_EXTRACT_SECURE_SYMLINKS);
    if (archive_read_open_filename(lectura.get(), archivo.constData(), 64 * 1024) != ARCHIVE_OK)
        return false;

    for (;;) {
        archive_entry* entrada = nullptr;
        const int r = archive_read_next_header(lectura.get(), &entrada);
        if (r == ARCHIVE_EOF) break;
        if (r < ARCHIVE_WARN) return false;
        // The name as the archive gives it: UTF-8 here (enUtf8).
        const char* crudo = archive_entry_pathname(entrada);
        if (!crudo || !esUtf8(crudo) || !cabe(absoluto, crudo)) return false;
        const QString nombre = QString::fromUtf8(crudo);
        if (!nombreSeguro(nombre) || archive_entry_hardlink(entrada)) return false;
        if (esMetadatosApple(nombre)) continue;
        const mode_t tipo = archive_entry_filetype(entrada);
        if (tipo == AE_IFLNK) {
            const char* destino = archive_entry_symlink(entrada);
            if (!destino || !esUtf8(destino) ||
                !enlaceDentro(raiz, nombre, QString::fromUtf8(destino)))
                return false;
            hechos.append(QDir::cleanPath(nombre));
        } else if (tipo != AE_IFREG && tipo != AE_IFDIR) {
            return false;
        }
        // An honest bomb says how large it is: refused before a byte of it is written.
        queda -= porEntrada;
        if (queda < 0 ||
            (archive_entry_size_is_set(entrada) && archive_entry_size(entrada) > queda))
            return false;
        const QByteArray ruta = prefijo + QByteArray(crudo);
        archive_entry_copy_pathname(entrada, ruta.constData());
        // Anything short of success is a failure: libarchive reports some failed writes, a
        // mode or a time it could not set, only as warnings.
        if (archive_write_header(escritura.get(), entrada) != ARCHIVE_OK) return false;
        // Sizes may be unknown until the data is read (streamed entries): always copy.
        if (tipo == AE_IFREG && !copiarDatos(lectura.get(), escritura.get(), queda)) return false;
        if (archive_write_finish_entry(escritura.get()) != ARCHIVE_OK) return false;
    }
    if (archive_write_close(escritura.get()) != ARCHIVE_OK) return false;
    // Checked again now that all of them exist.
    if (!enlacesDentro(raiz, hechos)) return false;
    if (enlaces) *enlaces = hechos;
    return true;
}

QCoro::Task<QStringList> desempaquetar(QString paquete, QString carpeta, QString nombre) {
    const Failure fallo(QStringLiteral("El paquete de ") + nombre +
                        QStringLiteral(" no se pudo abrir."));
    // Hundreds of megabytes take seconds to unpack: never on the window's thread.
    bool extraido = false;
    QStringList enlaces;
    co_await enSegundoPlano(
        [&] { extraido = extraerZip(paquete, carpeta, std::nullopt, &enlaces); });
    if (!extraido) throw fallo;
    co_return enlaces;
}
