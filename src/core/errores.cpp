#include "core/errores.h"

#include <QHash>

#include <cerrno>

namespace {

struct Causa {
    int error;
    const char* texto;
};

// The errno values a user meets, and what each means for them.
constexpr Causa causas[] = {
    {ENOSPC, "no queda espacio en el disco"},
#ifdef EDQUOT
    {EDQUOT, "se agotó el espacio que este usuario puede ocupar en el disco"},
#endif
    {EACCES, "no hay permiso"},
    {EPERM, "no hay permiso"},
    {EROFS, "el disco es de solo lectura"},
    {ENOENT, "no existe"},
    {ENAMETOOLONG, "el nombre es demasiado largo"},
    {EIO, "el disco no respondió bien (error de entrada y salida)"},
    {ENOTDIR, "una parte de la ruta no es una carpeta"},
    {EISDIR, "es una carpeta"},
    {EEXIST, "ya existe"},
    {ENOTEMPTY, "la carpeta no está vacía"},
    {EXDEV, "está en otro disco"},
    {EBUSY, "está en uso"},
    {ETXTBSY, "está en uso"},
    {EMFILE, "hay demasiados archivos abiertos"},
    {ENFILE, "hay demasiados archivos abiertos"},
    {ELOOP, "hay demasiados enlaces encadenados"},
    {EFBIG, "el archivo es demasiado grande"},
    {ENOMEM, "no queda memoria"},
    {EINVAL, "el sistema no acepta ese nombre o esa operación"},
};

// What the device says failed, for when the failing step left no errno.
QString textoDeCategoria(QFileDevice::FileError error) {
    static const QHash<QFileDevice::FileError, const char*> textos{
        {QFileDevice::ReadError, "no se pudo leer"},
        {QFileDevice::WriteError, "no se pudo escribir"},
        {QFileDevice::OpenError, "no se pudo abrir"},
        {QFileDevice::PermissionsError, "no hay permiso"},
        {QFileDevice::RemoveError, "no se pudo borrar"},
        {QFileDevice::RenameError, "no se pudo poner en su sitio"},
    };
    return QString::fromUtf8(textos.value(error, "el sistema no lo permitió"));
}

} // namespace

QString textoDeErrno(int error) {
    for (const Causa& causa : causas)
        if (causa.error == error) return QString::fromUtf8(causa.texto);
    return QStringLiteral("el sistema devolvió el error número ") + QString::number(error);
}

ErrorSistema errorDeArchivo(int error, const QString& que, const QString& ruta) {
    return ErrorSistema(que + QLatin1Char(' ') + ruta + QStringLiteral(": ") + textoDeErrno(error) +
                        QLatin1Char('.'));
}

ErrorSistema errorDeArchivo(const QFileDevice& archivo, const QString& que) {
    const int error = errno;
    const QString porque = error != 0 ? textoDeErrno(error) : textoDeCategoria(archivo.error());
    return ErrorSistema(que + QLatin1Char(' ') + archivo.fileName() + QStringLiteral(": ") +
                        porque + QLatin1Char('.'));
}
