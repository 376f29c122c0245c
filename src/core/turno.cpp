#include "core/turno.h"

#include <QCoro/QCoroSignal>

void Turno::dar(bool si) {
    if (respuesta_) return;
    respuesta_ = si;
    Q_EMIT dado();
}

QCoro::Task<bool> Turno::esperar() {
    if (!respuesta_) co_await qCoro(this, &Turno::dado);
    co_return *respuesta_;
}
