#pragma once

#include "core/cancelacion.h"
#include "core/entorno.h"

#include <QCoro/QCoroTask>
#include <QString>

class Turno;

// Putting a bundle in its place and taking it away so that a host never finds a destination
// empty or holding a part, whatever moment the application is stopped at, and so that two copies
// of the application never change one destination at once.

// Puts the entry at `nuevo` at `destino` (both in one folder). Where the system can exchange two
// entries in one step it does, so the destination always holds the earlier bundle or the new
// one. Elsewhere, or where the file system refuses the exchange, the earlier one is first moved
// to `anterior`, where resolverRestos puts it back should the process end before the second
// rename. Returns where the earlier entry now is (empty when there was none); if the new one
// cannot be put in place, the earlier one is back at `destino` (or at `anterior`) and it throws.
QString ponerEnSitio(const QString& nuevo, const QString& destino, const QString& anterior);

// Installs a copy of the bundle `origen` at `destino`, creating the parent folders: with the
// destination's lock taken (Failure when another copy is changing it) and what an interrupted
// install left resolved, the copy tool copies beside it under a hidden name, ponerEnSitio puts
// the copy in place, the quarantine mark is cleared, and the earlier bundle goes (a failure to
// delete it is left to the next sweep). False when the copy tool exited non-zero: whatever was at
// the destination is then as it was. Cancelled, it stops only while the tool copies (Cancelado,
// the half copy gone, the destination as it was); once the copy is put in place, the rest runs to
// its end.
// Taking the lock, the quarantine walk and the deletion of the earlier bundle run beside the
// window's thread.
// With `antes`, the copy is made at once but put in place only once `antes` says yes (and the
// action was not cancelled meanwhile); a no drops it (false, the destination as it was).
QCoro::Task<bool> instalarCopia(Entorno entorno, QString origen, QString destino,
                                Cancelacion cancelacion = {}, Turno* antes = nullptr);

// The same for a bundle that is not kept where it is (one just unpacked): it is moved to the
// hidden name in one step when both are on one file system, so nothing is copied and the bundle
// never exists twice; elsewhere the copy tool copies it there. What ends at the destination is
// the same either way.
QCoro::Task<bool> instalarMoviendo(Entorno entorno, QString origen, QString destino,
                                   Cancelacion cancelacion = {});

// Removes what is at `destino` with its lock taken (Failure when another copy is changing it):
// moved aside in one step, then deleted there, all beside the window's thread (a failure to delete
// is left to the next sweep). A removal that fails leaves the bundle whole. Nothing there, or no
// folder above it, is no error.
QCoro::Task<> quitarBundle(QString destino);
