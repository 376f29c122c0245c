#include "core/archivo.h"

#include "core/errores.h"
#include "core/rutas.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

const QString kLeer = QStringLiteral("No se pudo leer");
const QString kGuardar = QStringLiteral("No se pudo guardar");

// Interrupted writes older than this are nobody's write in progress: a whole write takes
// milliseconds.
constexpr qint64 kEdadDeUnResto = 60;

ErrorSistema fallo(const QString& que, const QString& ruta, const QString& porque) {
    return ErrorSistema(que + QLatin1Char(' ') + ruta + QStringLiteral(": ") + porque +
                        QLatin1Char('.'));
}

// A folder, a FIFO, a device or a socket is no file of ours, whatever its name.
void exigirArchivoNormal(const struct stat& info, const QString& que, const QString& ruta) {
    if (S_ISDIR(info.st_mode)) throw errorDeArchivo(EISDIR, que, ruta);
    if (!S_ISREG(info.st_mode))
        throw fallo(que, ruta, QStringLiteral("no es un archivo normal, sino uno especial"));
}

// Closes on every path; the caller closes it itself where the result counts.
struct Descriptor {
    int fd;
    ~Descriptor() {
        if (fd >= 0) ::close(fd);
    }
};

// fsync failing for lack of support says nothing about the data.
bool sinSincronizacion(int error) {
    return error == EINVAL || error == ENOTSUP;
}

// The temporary is whole and on the disk before it takes the file's place.
void asegurarEnDisco(QSaveFile& archivo, qint64 tamano, const QString& ruta) {
    const int fd = archivo.handle();
    if (::fsync(fd) != 0 && !sinSincronizacion(errno)) throw errorDeArchivo(errno, kGuardar, ruta);
    struct stat info;
    if (::fstat(fd, &info) != 0) throw errorDeArchivo(errno, kGuardar, ruta);
    if (info.st_size != tamano)
        throw fallo(kGuardar, ruta, QStringLiteral("no se pudo escribir entero"));
}

} // namespace

std::optional<QByteArray> leerArchivoLimitado(const QString& ruta, qint64 limite) {
    const QByteArray nativa = QFile::encodeName(ruta);
    struct stat info;
    if (::stat(nativa.constData(), &info) != 0) {
        if (errno == ENOENT || errno == ENOTDIR) return std::nullopt;
        throw errorDeArchivo(errno, kLeer, ruta);
    }
    // Before opening: opening a FIFO or a device can block or act on the device.
    exigirArchivoNormal(info, kLeer, ruta);
    if (info.st_size > limite) throw errorDeArchivo(EFBIG, kLeer, ruta);

    // Non-blocking and checked again, should something else have taken the name meanwhile.
    Descriptor d{::open(nativa.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC)};
    if (d.fd < 0) throw errorDeArchivo(errno, kLeer, ruta);
    if (::fstat(d.fd, &info) != 0) throw errorDeArchivo(errno, kLeer, ruta);
    exigirArchivoNormal(info, kLeer, ruta);

    QByteArray datos;
    datos.reserve(qMin<qint64>(info.st_size, limite));
    char trozo[64 * 1024];
    for (;;) {
        const ssize_t leidos = ::read(d.fd, trozo, sizeof trozo);
        if (leidos == 0) break;
        if (leidos < 0) {
            if (errno == EINTR) continue;
            throw errorDeArchivo(errno, kLeer, ruta);
        }
        // The file may have grown since it was measured.
        if (datos.size() + leidos > limite) throw errorDeArchivo(EFBIG, kLeer, ruta);
        datos.append(trozo, leidos);
    }
    const int fd = std::exchange(d.fd, -1);
    if (::close(fd) != 0 && errno != EINTR) throw errorDeArchivo(errno, kLeer, ruta);
    return datos;
}

void guardarArchivo(const QString& ruta, const QByteArray& datos,
                    std::optional<QFileDevice::Permissions> permisos) {
    crearCarpeta(QFileInfo(ruta).absolutePath());
    barrerTemporales(ruta);
    // The atomic writer follows links: what it would replace is what the link names.
    struct stat info;
    if (::stat(QFile::encodeName(ruta).constData(), &info) == 0)
        exigirArchivoNormal(info, kGuardar, ruta);

    QSaveFile archivo(ruta);
    // Unbuffered, so a write that fails fails here, where it is seen. Buffered, the last bytes
    // would go out inside commit(), which ignores that failure and puts the short file in place.
    errno = 0;
    if (!archivo.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw errorDeArchivo(archivo, kGuardar);
    // Before the first byte is written, so the content is never readable by others, not even in
    // the temporary file; the mode goes with it when it replaces the target.
    errno = 0;
    if (permisos && !archivo.setPermissions(*permisos)) throw errorDeArchivo(archivo, kGuardar);
    errno = 0;
    if (archivo.write(datos) != datos.size()) throw errorDeArchivo(archivo, kGuardar);
    asegurarEnDisco(archivo, datos.size(), ruta);
    errno = 0;
    if (!archivo.commit()) throw errorDeArchivo(archivo, kGuardar);

    // What a reader finds from now on.
    if (leerArchivoLimitado(ruta, datos.size() + 1) != datos)
        throw fallo(kGuardar, ruta, QStringLiteral("lo que quedó en el disco no es lo escrito"));
}

void barrerTemporales(const QString& ruta) {
    const QFileInfo destino(ruta);
    // The atomic writer names its temporary after the file, with "." and six random letters.
    const QRegularExpression suyo(QStringLiteral("^") +
                                  QRegularExpression::escape(destino.fileName()) +
                                  QStringLiteral("\\.[A-Za-z]{6}$"));
    const QDateTime antes = QDateTime::currentDateTimeUtc().addSecs(-kEdadDeUnResto);
    // Regular files only: no links, nothing special.
    const QFileInfoList entradas =
        destino.absoluteDir().entryInfoList(QDir::Files | QDir::Hidden | QDir::NoSymLinks);
    for (const QFileInfo& entrada : entradas) {
        if (!suyo.match(entrada.fileName()).hasMatch()) continue;
        // The letters are random in both cases: a word in one case ("cuentas.json.backup") is
        // the user's own file. A leftover that happens to be all one case just stays.
        const QString letras = entrada.fileName().right(6);
        if (letras == letras.toLower() || letras == letras.toUpper()) continue;
        if (entrada.ownerId() != ::geteuid() || entrada.lastModified() > antes) continue;
        // Best effort: a leftover that stays is no reason to fail the write that follows.
        QFile::remove(entrada.absoluteFilePath());
    }
}
