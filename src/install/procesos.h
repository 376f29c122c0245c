#pragma once

#include "core/cancelacion.h"
#include "core/entorno.h"
#include "core/rutas.h"

#include <QCoro/QCoroTask>
#include <QString>
#include <QStringList>

// Child processes shared by the project install and the store download. Platform errors are
// thrown as ErrorSistema with the system's own description.

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

// Clears the "com.apple.quarantine" attribute from a path and everything inside it: with the
// environment's quarantine command, destination appended, or in-process when it has none. A
// command that cannot start or fails, like any other failure here, is ignored. A path that is a
// link is left alone: neither way follows a link to clear what it names.
QCoro::Task<> quitarCuarentena(Entorno entorno, QString destino);
