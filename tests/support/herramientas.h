#pragma once

#include "archivos.h"

#include <QList>
#include <QStringList>

// Stand-ins for Apple's copy and quarantine tools, real programs written into the world's
// folder: the copy one copies SRC to DST whole as ditto does, the quarantine one changes
// nothing; both record each call, then exit with the status given. The world's environment
// names them as the application names /usr/bin/ditto and /usr/bin/xattr -dr com.apple.quarantine.
void herramientasDeApple(Mundo& mundo, int salidaCopia = 0, int salidaCuarentena = 0);

// Every call recorded so far, in order: the tool ("ditto", "xattr"), then its arguments.
QList<QStringList> llamadas(const Mundo& mundo);

// Where a bundle is copied before it takes the place of `destino`: beside it, hidden, named
// for this process.
QString copiaOculta(const QString& destino);

// The quarantine mark as a user attribute of this system, set and read on the entry itself,
// never through a link. ponerMarca is false where the file system keeps no such attributes.
bool ponerMarca(const QString& ruta);
bool tieneMarca(const QString& ruta);

// A copy tool that starts and never ends by itself: it copies a part of the bundle into the
// destination, then waits. `sorda`: it ignores being told to end, so only a kill stops it.
void copiaQueNoTermina(Mundo& mundo, bool sorda = false);
// The process id of that copy once it is waiting (and, when sorda, deaf); 0 before.
qint64 procesoDeCopia(const Mundo& mundo);
// Whether a process exists (a zombie counts).
bool procesoVivo(qint64 pid);
