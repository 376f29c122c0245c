#pragma once

#include "core/cancelacion.h"
#include "core/entorno.h"

#include <QCoro/QCoroTask>
#include <QString>
#include <QStringList>

// Child processes and file-system steps shared by the project install and the store download.
// Platform errors are thrown as ErrorSistema with the system's own description.

// Runs a program by absolute path, without a shell, and awaits its end without blocking the
// event loop. Returns the exit status (a crash counts as non-zero); a program that cannot start
// throws with its own error description. Once `cancelacion` is asked, the program is told to
// end, killed if it has not a moment later, and Cancelado thrown when it is gone; asked before,
// nothing starts.
QCoro::Task<int> ejecutarProceso(QString programa, QStringList argumentos,
                                 Cancelacion cancelacion = {});

// Copies a whole bundle folder (contents, links, modes, times, extended attributes) with the
// environment's copy command, source and destination appended. True when it exited with 0.
QCoro::Task<bool> copiarCarpeta(Entorno entorno, QString origen, QString destino,
                                Cancelacion cancelacion = {});

// Puts a fresh copy of a bundle at a destination, creating its parent folders. The copy is made
// beside the destination first and only replaces what was there once the tool has succeeded, so
// a failed copy leaves the previous bundle as it was and no half-copied one behind. False when
// the tool exited non-zero. Cancelled, it stops only while the tool copies (the half copy goes,
// the previous bundle stays); once the copy is being put in place, that step runs to its end.
QCoro::Task<bool> reemplazarConCopia(Entorno entorno, QString origen, QString destino,
                                     Cancelacion cancelacion = {});

// Clears the "com.apple.quarantine" attribute from a path and everything inside it: with the
// environment's quarantine command, destination appended, or in-process when it has none. A
// command that cannot start or fails, like any other failure here, is ignored.
QCoro::Task<> quitarCuarentena(Entorno entorno, QString destino);

// Whether anything is at a path, a link (even a dangling one) included.
bool hayAlgo(const QString& ruta);

// Removes what is at a path: a link itself (never what it points to), a file, or a folder with
// everything inside. Nothing there is no error.
void borrarRuta(const QString& ruta);

// Creates a folder with every missing parent. An existing folder (or a link to one) is no error.
void crearCarpeta(const QString& ruta);

// Renames within one file system, in one step.
void moverRuta(const QString& origen, const QString& destino);
