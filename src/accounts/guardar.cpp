#include "accounts/guardar.h"

#include "core/failure.h"

#include <QSaveFile>

void guardarArchivo(const QString& ruta, const QByteArray& datos,
                    std::optional<QFileDevice::Permissions> permisos) {
    QSaveFile archivo(ruta);
    if (!archivo.open(QIODevice::WriteOnly)) throw ErrorSistema(archivo.errorString());
    // Before the first byte is written, so the content is never readable by others, not even in
    // the temporary file; the mode goes with it when it replaces the target.
    if (permisos && !archivo.setPermissions(*permisos)) throw ErrorSistema(archivo.errorString());
    if (archivo.write(datos) != datos.size()) throw ErrorSistema(archivo.errorString());
    if (!archivo.commit()) throw ErrorSistema(archivo.errorString());
}
