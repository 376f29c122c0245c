#pragma once

#include "core/entorno.h"

#include <QCoro/QCoroTask>
#include <QString>

// What an install, a removal or a download keeps beside its work while it runs, and what a
// copy of the application that ended half-way left of it. Beside a bundle every name is hidden
// and ends in no bundle extension, so no host loads it; each is tied to the destination's lock,
// so a live copy's work is never touched.

// Beside `destino`, hidden, with this process's id: the copy being made, the earlier bundle
// moved aside while two renames put the new one in place, and a bundle being removed.
QString copiaNueva(const QString& destino);
QString copiaAnterior(const QString& destino);
QString copiaQuitada(const QString& destino);

// The lock file of a destination, hidden beside it.
QString cerrojoDe(const QString& destino);

// The lock file of an unpack folder in the temporary folder (its package lies beside it too).
QString cerrojoDeDescarga(const QString& carpeta);

// With the destination's lock held: when nothing is at `destino` and an earlier bundle was moved
// aside, it is put back (an error doing so is thrown); everything else left beside it goes,
// errors dropped.
void resolverRestos(const QString& destino);

// Everything crashed copies left behind: unpack folders and packages in the temporary folder,
// hidden copies beside bundles in the maker folders. Only what no live copy holds the lock of
// is touched. Errors are dropped. Blocking: run it beside the window's thread.
void barrerRestos(const Entorno& entorno);

// barrerRestos on a thread of its own, awaited: every action that changes bundles starts with it,
// so what crashed copies left goes before anything else is changed.
QCoro::Task<> barrerAntesDeCambiar(const Entorno& entorno);
