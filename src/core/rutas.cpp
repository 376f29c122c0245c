#include "core/rutas.h"

#include "core/errores.h"

#include <QByteArrayList>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The first error of a removal that goes on after it.
struct Fallo {
    int error = 0;
    void anotar(int e) {
        if (error == 0 && e != ENOENT) error = e;
    }
};

// One folder on the way down: who it is (to check the way back up) and the folders in it still
// to be emptied.
struct Nivel {
    dev_t dispositivo;
    ino_t nodo;
    QByteArray nombre; // in the folder above
    QByteArrayList carpetas;
};

// Whether an entry of the open folder `fd` is a folder itself, links not followed; -1 (errno set)
// when it cannot be told.
int esCarpetaEn(int fd, const char* nombre) {
    struct stat info;
    if (::fstatat(fd, nombre, &info, AT_SYMLINK_NOFOLLOW) != 0) return -1;
    return S_ISDIR(info.st_mode) ? 1 : 0;
}

// Everything in an open folder that is not a folder goes at once; the folders are returned to be
// entered. Names stay bytes: they are never turned into text and back.
QByteArrayList vaciar(int fd, Fallo& fallo) {
    struct stat propia;
    // A folder of ours without write permission is given it, or nothing in it could go.
    if (::fstat(fd, &propia) == 0 && (propia.st_mode & S_IRWXU) != S_IRWXU)
        ::fchmod(fd, propia.st_mode | S_IRWXU);
    const int copia = ::dup(fd);
    DIR* carpeta = copia < 0 ? nullptr : ::fdopendir(copia);
    if (!carpeta) {
        fallo.anotar(errno);
        if (copia >= 0) ::close(copia);
        return {};
    }
    // The listing says what most entries are: a bundle of thousands of files is removed without
    // a stat for each.
    QByteArrayList nombres, carpetas;
    while (const dirent* entrada = ::readdir(carpeta)) {
        const char* n = entrada->d_name;
        if (std::strcmp(n, ".") == 0 || std::strcmp(n, "..") == 0) continue;
        const int tipo = esCarpetaListada(fd, *entrada);
        if (tipo < 0)
            fallo.anotar(errno);
        else
            (tipo ? carpetas : nombres).append(n);
    }
    ::closedir(carpeta);
    for (const QByteArray& n : std::as_const(nombres)) {
        if (::unlinkat(fd, n.constData(), 0) == 0) continue;
        const int error = errno;
        // Made a folder since it was listed (EPERM is what some systems say for a folder).
        if ((error == EISDIR || error == EPERM) && esCarpetaEn(fd, n.constData()) == 1)
            carpetas.append(n);
        else
            fallo.anotar(error);
    }
    return carpetas;
}

// Empties a folder at any depth holding one descriptor at a time: the way down is kept as
// names, and the way back up goes through ".." checked against the folder left on the way down.
void vaciarArbol(int fd, Fallo& fallo) {
    struct stat info;
    if (::fstat(fd, &info) != 0) {
        fallo.anotar(errno);
        ::close(fd);
        return;
    }
    QList<Nivel> pila{{info.st_dev, info.st_ino, {}, vaciar(fd, fallo)}};
    for (;;) {
        if (!pila.last().carpetas.isEmpty()) {
            const QByteArray nombre = pila.last().carpetas.takeLast();
            const int hijo =
                ::openat(fd, nombre.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (hijo < 0 || ::fstat(hijo, &info) != 0) {
                fallo.anotar(errno);
                if (hijo >= 0) ::close(hijo);
                continue;
            }
            ::close(fd);
            fd = hijo;
            pila.append({info.st_dev, info.st_ino, nombre, vaciar(fd, fallo)});
            continue;
        }
        if (pila.size() == 1) break;
        const QByteArray nombre = pila.takeLast().nombre;
        const int padre = ::openat(fd, "..", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ::close(fd);
        fd = padre;
        // A tree moved while it is being removed: stop rather than remove elsewhere.
        if (fd < 0 || ::fstat(fd, &info) != 0 || info.st_dev != pila.last().dispositivo ||
            info.st_ino != pila.last().nodo) {
            fallo.anotar(fd < 0 ? errno : EBUSY);
            if (fd >= 0) ::close(fd);
            return;
        }
        if (::unlinkat(fd, nombre.constData(), AT_REMOVEDIR) != 0) fallo.anotar(errno);
    }
    ::close(fd);
}

} // namespace

bool hayAlgo(const QString& ruta) {
    struct stat info;
    return ::lstat(QFile::encodeName(ruta).constData(), &info) == 0;
}

bool esCarpeta(const QString& ruta) {
    struct stat info;
    return ::lstat(QFile::encodeName(ruta).constData(), &info) == 0 && S_ISDIR(info.st_mode);
}

void borrarRuta(const QString& ruta) {
    const QByteArray local = QFile::encodeName(ruta);
    const QString que = QStringLiteral("No se pudo borrar");
    struct stat info;
    if (::lstat(local.constData(), &info) != 0) {
        if (errno == ENOENT) return;
        throw errorDeArchivo(errno, que, ruta);
    }
    // lstat: a link is never a folder here, so it is unlinked and what it names stays.
    if (!S_ISDIR(info.st_mode)) {
        if (::unlink(local.constData()) != 0 && errno != ENOENT)
            throw errorDeArchivo(errno, que, ruta);
        return;
    }
    Fallo fallo;
    const int fd = ::open(local.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        fallo.anotar(errno);
    else
        vaciarArbol(fd, fallo);
    if (::rmdir(local.constData()) != 0) fallo.anotar(errno);
    if (fallo.error != 0) throw errorDeArchivo(fallo.error, que, ruta);
}

void borrarSinError(const QString& ruta) {
    try {
        borrarRuta(ruta);
    } catch (...) {
    }
}

void crearCarpeta(const QString& ruta) {
    const QString limpia = QDir::cleanPath(QDir(ruta).absolutePath());
    if (QFileInfo(limpia).isDir()) return;
    const QString padre = QFileInfo(limpia).path();
    if (padre != limpia) crearCarpeta(padre);
    if (::mkdir(QFile::encodeName(limpia).constData(), 0777) != 0) {
        const int error = errno;
        if (error != EEXIST || !QFileInfo(limpia).isDir())
            throw errorDeArchivo(error, QStringLiteral("No se pudo crear la carpeta"), limpia);
    }
}

void moverRuta(const QString& origen, const QString& destino) {
    if (std::rename(QFile::encodeName(origen).constData(),
                    QFile::encodeName(destino).constData()) != 0)
        throw errorDeArchivo(errno, QStringLiteral("No se pudo mover"), origen);
}

int esCarpetaListada(int fd, const dirent& entrada) {
    if (entrada.d_type != DT_UNKNOWN) return entrada.d_type == DT_DIR ? 1 : 0;
    return esCarpetaEn(fd, entrada.d_name);
}
