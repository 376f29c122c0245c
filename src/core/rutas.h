#pragma once

#include <QString>

struct dirent;

// File-system steps on paths, shared by the install, the removal, the download and the accounts
// files. Platform errors are thrown as ErrorSistema with a Spanish description (core/errores.h).

// Whether anything is at a path, a link (even a dangling one) included.
bool hayAlgo(const QString& ruta);

// Whether a path is a folder itself, not a link to one nor anything else.
bool esCarpeta(const QString& ruta);

// Removes what is at a path: a link itself (never what it points to), a file, or a folder with
// everything inside, at any depth and whatever the names inside are. Nothing there is no error.
// Everything that can go goes; the first error is thrown once the rest is done.
void borrarRuta(const QString& ruta);

// The same where a failure only leaves something for the next sweep: errors are dropped.
void borrarSinError(const QString& ruta);

// Creates a folder with every missing parent. An existing folder (or a link to one) is no error.
void crearCarpeta(const QString& ruta);

// Renames within one file system, in one step.
void moverRuta(const QString& origen, const QString& destino);

// Whether an entry just read from the listing of the open folder `fd` is a folder itself, links not
// followed: told by the listing where it can (no stat), by a stat otherwise. -1 (errno set) when it
// cannot be told.
int esCarpetaListada(int fd, const dirent& entrada);
