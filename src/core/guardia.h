#pragma once

#include "core/failure.h"
#include "core/store.h"

#include <QPointer>

// After a suspension the Store may be gone (its window closed): the action stops there. The
// run wrapper, which holds its own guard, shows nothing for a Store that no longer exists.
inline void sigueVivo(const QPointer<Store>& store) {
    if (!store) throw Failure(QString());
}

// The same, at a safe point of an action that may have been asked to stop: it stops there.
inline void sigueVivo(const QPointer<Store>& store, const Cancelacion& cancelacion) {
    sigueVivo(store);
    cancelacion.comprobar();
}
