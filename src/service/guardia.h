#pragma once

#include "core/failure.h"
#include "core/store.h"

#include <QPointer>

// After a suspension the Store may be gone (its window closed): the action stops there. The
// run wrapper, which holds its own guard, shows nothing for a Store that no longer exists.
inline void sigueVivo(const QPointer<Store>& store) {
    if (!store) throw Failure(QString());
}
