#include "core/segundoplano.h"

#include <QCoro/QCoroSignal>
#include <QThread>

#include <exception>
#include <memory>

namespace {
// Tells the waiting coroutine, on its own thread, that the job's thread has ended.
class FinDeHilo : public QObject {
    Q_OBJECT
Q_SIGNALS:
    void fin();
};
} // namespace

QCoro::Task<> enSegundoPlano(std::function<void()> trabajo) {
    std::exception_ptr error;
    std::unique_ptr<QThread> hilo(QThread::create([&trabajo, &error] {
        try {
            trabajo();
        } catch (...) {
            error = std::current_exception();
        }
    }));
    FinDeHilo aviso;
    // Queued: the coroutine resumes from its own event loop, after the thread is done with
    // the job.
    QObject::connect(hilo.get(), &QThread::finished, &aviso, &FinDeHilo::fin, Qt::QueuedConnection);
    hilo->start();
    co_await qCoro(&aviso, &FinDeHilo::fin);
    hilo->wait();
    if (error) std::rethrow_exception(error);
}

#include "segundoplano.moc"
