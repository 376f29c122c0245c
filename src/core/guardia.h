#pragma once

#include "core/cancelacion.h"
#include "core/store.h"

#include <QPointer>

#include <exception>

// After a suspension the Store may be gone (its window closed): the action stops there. The
// runner ends it without a word, as there is no status line left to show one.
class StoreCerrado : public std::exception {
public:
    const char* what() const noexcept override { return "the Store is gone"; }
};

// Every action holds a `vivo` guard on its Store and asks it after each co_await.
inline void sigueVivo(const QPointer<Store>& vivo) {
    if (!vivo) throw StoreCerrado();
}

// The same, at a safe point of an action that may have been asked to stop: it stops there.
inline void sigueVivo(const QPointer<Store>& vivo, const Cancelacion& cancelacion) {
    sigueVivo(vivo);
    cancelacion.comprobar();
}
