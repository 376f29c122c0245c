#include "esperar.h"

#include "core/store.h"

#include <QEventLoop>
#include <QTimer>

bool esperarFin(const Store& store, std::chrono::milliseconds limite) {
    if (!store.busy()) return true;
    QEventLoop bucle;
    QObject::connect(&store, &Store::busyChanged, &bucle, [&] {
        if (!store.busy()) bucle.quit();
    });
    QTimer::singleShot(limite, &bucle, &QEventLoop::quit);
    bucle.exec();
    return !store.busy();
}
