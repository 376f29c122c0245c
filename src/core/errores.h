#pragma once

#include "core/failure.h"

#include <QFileDevice>
#include <QString>

// File-system errors in the user's language: the application's own table of the errno values a
// user meets (disk full, no permission, read-only, …), never the C library's English text.

// Why a file-system step failed, as the end of a Spanish sentence ("no queda espacio en el
// disco"). A value outside the table still gives a Spanish text, never an empty one.
QString textoDeErrno(int error);

// "<que> <ruta>: <why>." — for example "No se pudo borrar /a/b: no hay permiso.".
ErrorSistema errorDeArchivo(int error, const QString& que, const QString& ruta);

// The same for a QFile or QSaveFile step that just failed. Clear errno before the step and call
// this right after it: errno names the cause; without one, what the device says failed does.
ErrorSistema errorDeArchivo(const QFileDevice& archivo, const QString& que);
