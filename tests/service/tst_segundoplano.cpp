// Blocking jobs run beside the window's thread, which keeps serving its events meanwhile.
#include "core/failure.h"
#include "core/segundoplano.h"
#include "ejecutable.h"

#include <QSemaphore>
#include <QThread>
#include <QTimer>
#include <QtTest>

namespace {
// What the awaited job threw, caught inside a coroutine: QCoro::waitFor does not pass
// exceptions on.
QCoro::Task<> atrapar(std::function<void()> trabajo, QString* mensaje) {
    try {
        co_await enSegundoPlano(std::move(trabajo));
    } catch (const Failure& f) {
        *mensaje = f.message;
    }
}
} // namespace

class TstSegundoPlano : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void trabajo_aparte_deja_libre_el_hilo_y_devuelve_su_error();
};

void TstSegundoPlano::trabajo_aparte_deja_libre_el_hilo_y_devuelve_su_error() {
    // The job waits for a signal that only this thread's event loop can give: run here, it
    // would give up waiting.
    QSemaphore senal;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&senal] { senal.release(); });
    timer.start(1);
    QThread* hilo = nullptr;
    bool atendido = false;
    QCoro::waitFor(enSegundoPlano([&] {
        hilo = QThread::currentThread();
        atendido = senal.tryAcquire(1, 10000);
    }));
    timer.stop();
    QVERIFY(atendido);
    QVERIFY(hilo && hilo != QThread::currentThread());

    // what the job throws comes back to the one who awaits it
    QString mensaje;
    QCoro::waitFor(atrapar([] { throw Failure(QStringLiteral("Roto.")); }, &mensaje));
    QCOMPARE(mensaje, QStringLiteral("Roto."));
}

QUELO_PRUEBA(TstSegundoPlano)

#include "tst_segundoplano.moc"
