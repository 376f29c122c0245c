#include "core/errores.h"

#include <cerrno>

namespace {

// The device's own category, for when errno was not left by the failing step.
QString textoDeCategoria(QFileDevice::FileError error) {
    switch (error) {
    case QFileDevice::ReadError:
        return QStringLiteral("no se pudo leer");
    case QFileDevice::WriteError:
        return QStringLiteral("no se pudo escribir");
    case QFileDevice::OpenError:
        return QStringLiteral("no se pudo abrir");
    case QFileDevice::PermissionsError:
        return QStringLiteral("no hay permiso");
    case QFileDevice::RenameError:
        return QStringLiteral("no se pudo poner en su sitio");
    case QFileDevice::RemoveError:
        return QStringLiteral("no se pudo borrar");
    case QFileDevice::ResizeError:
        return QStringLiteral("no se pudo cambiar su tamaño");
    case QFileDevice::CopyError:
        return QStringLiteral("no se pudo copiar");
    default:
        return QStringLiteral("el sistema no lo permitió");
    }
}

} // namespace

QString textoDeErrno(int error) {
    switch (error) {
    case ENOSPC:
        return QStringLiteral("no queda espacio en el disco");
#ifdef EDQUOT
    case EDQUOT:
        return QStringLiteral("se agotó el espacio que este usuario puede ocupar en el disco");
#endif
    case EACCES:
    case EPERM:
        return QStringLiteral("no hay permiso");
    case EROFS:
        return QStringLiteral("el disco es de solo lectura");
    case ENOENT:
        return QStringLiteral("no existe");
    case ENAMETOOLONG:
        return QStringLiteral("el nombre es demasiado largo");
    case EIO:
        return QStringLiteral("el disco no respondió bien (error de entrada y salida)");
    case ENOTDIR:
        return QStringLiteral("una parte de la ruta no es una carpeta");
    case EISDIR:
        return QStringLiteral("es una carpeta");
    case EEXIST:
        return QStringLiteral("ya existe");
    case ENOTEMPTY:
        return QStringLiteral("la carpeta no está vacía");
    case EXDEV:
        return QStringLiteral("está en otro disco");
    case EBUSY:
    case ETXTBSY:
        return QStringLiteral("está en uso");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("hay demasiados archivos abiertos");
    case ELOOP:
        return QStringLiteral("hay demasiados enlaces encadenados");
    case EFBIG:
        return QStringLiteral("el archivo es demasiado grande");
    case ENOMEM:
        return QStringLiteral("no queda memoria");
    case EINVAL:
        return QStringLiteral("el sistema no acepta ese nombre o esa operación");
    default:
        return QStringLiteral("el sistema devolvió el error número ") + QString::number(error);
    }
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
