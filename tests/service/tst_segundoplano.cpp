// Blocking jobs run beside the window's thread, which keeps serving its events meanwhile.
#include "core/failure.h"
#include "core/prioridad.h"
#include "core/segundoplano.h"
#include "ejecutable.h"

#include <QSemaphore>
#include <QThread>
#include <QTimer>
#include <QtTest>

#include <thread>

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
    void trabajo_aparte_cede_el_paso_a_la_ventana();
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

void TstSegundoPlano::trabajo_aparte_cede_el_paso_a_la_ventana() {
    // A job's thread, and a thread it starts (a transfer's own), run below the window's thread.
    const std::optional<int> ventana = prioridadDelHilo();
    if (!ventana) QSKIP("this system ranks the window's thread first without being asked");
    std::optional<int> trabajo, hijo, primera;
    for (int i = 0; i < 2;
         ++i) { // the second job may find the first one's thread: not lowered twice
        QCoro::waitFor(enSegundoPlano([&] {
            trabajo = prioridadDelHilo();
            std::thread([&] { hijo = prioridadDelHilo(); }).join();
        }));
        QVERIFY(trabajo && *trabajo > *ventana);
        QCOMPARE(hijo, trabajo);
        if (i == 0) primera = trabajo;
        QCOMPARE(trabajo, primera);
    }
    QCOMPARE(prioridadDelHilo(), ventana);
}

QUELO_PRUEBA(TstSegundoPlano)

#include "tst_segundoplano.moc"
