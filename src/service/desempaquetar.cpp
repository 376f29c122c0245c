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
#include <atomic>
#include <climits>
#include <cstring>
#include <latch>
#include <memory>
#include <sys/stat.h>
#include <system_error>
#include <thread>
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
using Lectura = std::unique_ptr<archive, CerrarLectura>;
using Escritura = std::unique_ptr<archive, CerrarEscritura>;

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
bool copiarDatos(archive* lectura, archive* escritura, std::atomic<qint64>& queda) {
    const void* bloque = nullptr;
    size_t tamano = 0;
    la_int64_t posicion = 0;
    for (;;) {
        const int r = archive_read_data_block(lectura, &bloque, &tamano, &posicion);
        if (r == ARCHIVE_EOF) return true;
        // A bad checksum is only a warning to libarchive; here it is a broken package.
        if (r != ARCHIVE_OK) return false;
        // Sizes in the archive may lie: what is written is what counts.
        if (queda.fetch_sub(qint64(tamano)) < qint64(tamano)) return false;
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

Lectura abrir(const QByteArray& archivo) {
    Lectura lectura(archive_read_new());
    if (!lectura) return {};
    archive_read_support_format_zip(lectura.get());
    if (archive_read_open_filename(lectura.get(), archivo.constData(), 64 * 1024) != ARCHIVE_OK)
        return {};
    return lectura;
}

Escritura nuevaEscritura() {
    Escritura escritura(archive_write_disk_new());
    // No owner, permission bits beyond the umask, ACLs or flags from the package: modes come
    // from the umask (executables stay executable, set-id bits do not survive).
    if (escritura)
        archive_write_disk_set_options(escritura.get(), ARCHIVE_EXTRACT_TIME |
                                                            ARCHIVE_EXTRACT_SECURE_NODOTDOT |
                                                            ARCHIVE_EXTRACT_SECURE_SYMLINKS);
    return escritura;
}

enum class Clase { Mala, Omitida, Archivo, Carpeta, Enlace };

// One entry looked at before anything of it is written: its name (`absoluto` is the folder's
// path, ending in "/"), its kind, and its size as said, against what is left of the limit,
// which it charges. A link's target is looked at where it is written (extraerEnOrden).
Clase clasificar(archive_entry* entrada, const QByteArray& absoluto, std::atomic<qint64>& queda) {
    // The name as the archive gives it: UTF-8 here (see extraerZip).
    const char* crudo = archive_entry_pathname(entrada);
    if (!crudo || !esUtf8(crudo) || !cabe(absoluto, crudo)) return Clase::Mala;
    const QString nombre = QString::fromUtf8(crudo);
    if (!nombreSeguro(nombre) || archive_entry_hardlink(entrada)) return Clase::Mala;
    if (esMetadatosApple(nombre)) return Clase::Omitida;
    Clase clase = Clase::Mala;
    switch (archive_entry_filetype(entrada)) {
    case AE_IFREG:
        clase = Clase::Archivo;
        break;
    case AE_IFDIR:
        clase = Clase::Carpeta;
        break;
    case AE_IFLNK:
        clase = Clase::Enlace;
        break;
    default:
        return Clase::Mala;
    }
    // An honest bomb says how large it is: refused before a byte of it is written.
    const qint64 resto = queda.fetch_sub(porEntrada) - porEntrada;
    if (resto < 0 || (archive_entry_size_is_set(entrada) && archive_entry_size(entrada) > resto))
        return Clase::Mala;
    return clase;
}

// Writes one entry that clasificar accepted, named from `prefijo` (empty where the thread holds
// the folder as its own).
bool escribir(archive* lectura, archive* escritura, archive_entry* entrada, Clase clase,
              const QByteArray& prefijo, std::atomic<qint64>& queda) {
    const QByteArray ruta = prefijo + QByteArray(archive_entry_pathname(entrada));
    archive_entry_copy_pathname(entrada, ruta.constData());
    // Anything short of success is a failure: libarchive reports some failed writes, a mode or
    // a time it could not set, only as warnings.
    if (archive_write_header(escritura, entrada) != ARCHIVE_OK) return false;
    // Sizes may be unknown until the data is read (streamed entries): always copy.
    if (clase == Clase::Archivo && !copiarDatos(lectura, escritura, queda)) return false;
    return archive_write_finish_entry(escritura) == ARCHIVE_OK;
}

// Every entry looked at once, before any is written: whether all are acceptable, how many there
// are, and whether there are links among them.
struct Censo {
    bool vale = false;
    bool enlaces = false;
    qint64 entradas = 0;
};

Censo censar(const QByteArray& archivo, const QByteArray& absoluto, qint64 limite) {
    const Lectura lectura = abrir(archivo);
    if (!lectura) return {};
    std::atomic<qint64> queda(limite);
    Censo censo;
    for (;;) {
        archive_entry* entrada = nullptr;
        const int r = archive_read_next_header(lectura.get(), &entrada);
        if (r == ARCHIVE_EOF) break;
        if (r < ARCHIVE_WARN) return {};
        const Clase clase = clasificar(entrada, absoluto, queda);
        if (clase == Clase::Mala) return {};
        censo.enlaces = censo.enlaces || clase == Clase::Enlace;
        ++censo.entradas;
    }
    censo.vale = true;
    return censo;
}

// One entry after another, in the package's order: a link is checked against the links already
// written, and the path of every later entry through it. `hechos` gets the links made.
bool extraerEnOrden(const QByteArray& archivo, const QString& raiz, const QByteArray& absoluto,
                    const QByteArray& prefijo, std::atomic<qint64>& queda, QStringList& hechos) {
    const Lectura lectura = abrir(archivo);
    const Escritura escritura = nuevaEscritura();
    if (!lectura || !escritura) return false;
    for (;;) {
        archive_entry* entrada = nullptr;
        const int r = archive_read_next_header(lectura.get(), &entrada);
        if (r == ARCHIVE_EOF) break;
        if (r < ARCHIVE_WARN) return false;
        const Clase clase = clasificar(entrada, absoluto, queda);
        if (clase == Clase::Mala) return false;
        if (clase == Clase::Omitida) continue;
        if (clase == Clase::Enlace) {
            const QString nombre = QString::fromUtf8(archive_entry_pathname(entrada));
            const char* destino = archive_entry_symlink(entrada);
            if (!destino || !esUtf8(destino) ||
                !enlaceDentro(raiz, nombre, QString::fromUtf8(destino)))
                return false;
            hechos.append(QDir::cleanPath(nombre));
        }
        if (!escribir(lectura.get(), escritura.get(), entrada, clase, prefijo, queda)) return false;
    }
    if (archive_write_close(escritura.get()) != ARCHIVE_OK) return false;
    // Checked again now that all of them exist.
    return enlacesDentro(raiz, hechos);
}

// The entries from place `desde` of the package up to `hasta` (counted from 0), with a reader of
// their own; the ones before are passed over. Stops once `fallo` is set by the other part.
bool extraerParte(const QByteArray& archivo, archive* escritura, qint64 desde, qint64 hasta,
                  const QByteArray& absoluto, const QByteArray& prefijo, std::atomic<qint64>& queda,
                  const std::atomic<bool>& fallo) {
    const Lectura lectura = abrir(archivo);
    if (!lectura) return false;
    for (qint64 lugar = 0; lugar < hasta; ++lugar) {
        if (fallo) return false;
        archive_entry* entrada = nullptr;
        const int r = archive_read_next_header(lectura.get(), &entrada);
        if (r == ARCHIVE_EOF) return true;
        if (r < ARCHIVE_WARN) return false;
        if (lugar < desde) continue;
        const Clase clase = clasificar(entrada, absoluto, queda);
        // A link here means the package is not the one counted: never written out of order.
        if (clase == Clase::Mala || clase == Clase::Enlace) return false;
        if (clase == Clase::Omitida) continue;
        if (!escribir(lectura.get(), escritura, entrada, clase, prefijo, queda)) return false;
    }
    return true;
}

// A package without links, in two halves by two threads at once: with no link among the entries,
// no entry's path depends on another's, and the order they land in does not matter. Halves, not
// every other entry: each thread then mostly fills folders of its own, where files made in one
// folder by both at once would wait for each other. The calling thread holds the folder as
// extraerZip set it; the other thread does the same. None when no second thread could start.
std::optional<bool> extraerALaVez(const QByteArray& archivo, qint64 entradas, const QString& raiz,
                                  const QByteArray& absoluto, const QByteArray& prefijo,
                                  std::atomic<qint64>& queda) {
    // Both made here before the other thread starts: libarchive reads the umask by setting it.
    Escritura propia = nuevaEscritura();
    Escritura ajena = nuevaEscritura();
    if (!propia || !ajena) return false;
    std::atomic<bool> fallo(false);
    // A writer sets its folders' times and modes when it closes: neither closes before both have
    // written every entry, or a folder made read-only would refuse the other's files.
    std::latch escritas(2);
    // Whatever happens in it, a half always reaches the latch: the other is never left waiting.
    const auto mitad = [&](archive* escritura, qint64 desde, qint64 hasta,
                           const QByteArray& nombres) noexcept {
        bool bien = false;
        try {
            bien = extraerParte(archivo, escritura, desde, hasta, absoluto, nombres, queda, fallo);
        } catch (...) {
        }
        if (!bien) fallo = true;
        escritas.arrive_and_wait();
        // Closed on the thread that wrote it, where its names lead.
        return archive_write_close(escritura) == ARCHIVE_OK && bien;
    };
    const qint64 corte = entradas / 2;
    bool bienAjena = false;
    std::thread otro;
    try {
        otro = std::thread([&, escritura = std::move(ajena)]() mutable {
            const LocaleDelHilo enUtf8(localesUtf8);
            const CarpetaDelHilo enRaiz(raiz);
            bienAjena =
                mitad(escritura.get(), corte, entradas, enRaiz.propia() ? QByteArray() : absoluto);
            escritura.reset(); // before the thread leaves the folder
        });
    } catch (const std::system_error&) {
        return std::nullopt;
    }
    const bool bien = mitad(propia.get(), 0, corte, prefijo);
    otro.join();
    return bien && bienAjena;
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
    const qint64 tope = limite ? *limite : cabidaEn(raiz).bytes;
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

    const Censo censo = censar(archivo, absoluto, tope);
    if (!censo.vale) return false;
    std::atomic<qint64> queda(tope);
    QStringList hechos; // the links made, by their names inside the folder
    std::optional<bool> bien;
    if (!censo.enlaces && std::thread::hardware_concurrency() >= 2)
        bien = extraerALaVez(archivo, censo.entradas, raiz, absoluto, prefijo, queda);
    if (!bien) bien = extraerEnOrden(archivo, raiz, absoluto, prefijo, queda, hechos);
    if (!*bien) return false;
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
