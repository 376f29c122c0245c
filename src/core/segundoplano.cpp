#include "core/segundoplano.h"

#include <QCoreApplication>
#include <QCoro/QCoroSignal>
#include <QThreadPool>

#include <exception>

namespace {

// Tells the waiting coroutine, on its own thread, that the job is done.
class FinDeTrabajo : public QObject {
    Q_OBJECT
Q_SIGNALS:
    void fin();
};

QThreadPool& hilos() {
    static QThreadPool* const lista = [] {
        // Owned by the application: its end waits for the jobs still running.
        auto* p = new QThreadPool(QCoreApplication::instance());
        // Jobs never wait for one another, and one that had to wait for a free thread would hold
        // its action for nothing: as many threads as jobs run at once.
        p->setMaxThreadCount(256);
        return p;
    }();
    return *lista;
}

} // namespace

QCoro::Task<> enSegundoPlano(std::function<void()> trabajo) {
    std::exception_ptr error;
    FinDeTrabajo aviso;
    hilos().start([&trabajo, &error, &aviso] {
        try {
            trabajo();
        } catch (...) {
            error = std::current_exception();
        }
        // The job's last touch of this frame: once this is posted, the coroutine may go on.
        QMetaObject::invokeMethod(
            &aviso, [&aviso] { Q_EMIT aviso.fin(); }, Qt::QueuedConnection);
    });
    co_await qCoro(&aviso, &FinDeTrabajo::fin);
    if (error) std::rethrow_exception(error);
}

#include "segundoplano.moc"
