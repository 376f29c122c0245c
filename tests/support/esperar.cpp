#include "esperar.h"

#include "core/store.h"

#include <QEventLoop>
#include <QTest>
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

void dejarCorrer(std::chrono::milliseconds rato) {
    QTest::qWait(static_cast<int>(rato.count()));
}
