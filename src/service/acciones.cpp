// Placeholder until the store service client is built: the hand-overs from sign-in and install
// land here.
#include "core/failure.h"
#include "core/store.h"

#include <QTimer>

void Store::entrarCasa(const QString&, const QString&, bool) {
    setBusy(true);
    QTimer::singleShot(0, this, [this] {
        setStatus(QStringLiteral("No se pudo entrar a la tienda."));
        setBusy(false);
    });
}

void Store::bajarComprados() {}

QCoro::Task<> Store::bajar(QString, std::optional<QString>) {
    throw Failure(QStringLiteral("No se pudo entrar a la tienda."));
    co_return;
}
