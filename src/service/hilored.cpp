#include "service/hilored.h"

#include "core/segundoplano.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <chrono>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>

namespace {

// Shared by the calling thread and the transfer's. While that thread runs: the transfer's own
// cancellation and an object of that thread to reach it through. Once it has ended: the outcome.
struct Compartido {
    std::mutex mutex;
    QObject* contexto = nullptr;
    std::optional<Cancelacion> propia;
    std::optional<Contestacion> contestacion;
    std::exception_ptr error;
    bool pedida = false; // asked before the transfer's thread could listen
    bool terminada = false;
    std::condition_variable fin;

    // From any thread: the transfer is asked to stop on its own thread, where it listens.
    void detener() {
        const std::lock_guard<std::mutex> cerrojo(mutex);
        pedida = true;
        if (!contexto) return;
        QMetaObject::invokeMethod(
            contexto, [c = *propia] { c.pedir(); }, Qt::QueuedConnection);
    }

    void terminar() {
        {
            const std::lock_guard<std::mutex> cerrojo(mutex);
            terminada = true;
        }
        fin.notify_all();
    }

    void esperarFin(std::chrono::milliseconds espera) {
        std::unique_lock<std::mutex> cerrojo(mutex);
        fin.wait_for(cerrojo, espera, [this] { return terminada; });
    }
};

// On the calling thread: the progress the transfer tells. While that thread is busy only the
// latest progress waits for it, not one call per piece.
class Puente : public QObject {
public:
    explicit Puente(AvisoProgreso aviso) : aviso_(std::move(aviso)) {}

    // From the transfer's thread.
    void avisar(std::optional<Progreso> progreso) {
        {
            const std::lock_guard<std::mutex> cerrojo(mutex_);
            ultimo_ = progreso;
            if (pendiente_) return;
            pendiente_ = true;
        }
        QMetaObject::invokeMethod(
            this, [this] { entregar(); }, Qt::QueuedConnection);
    }

private:
    void entregar() {
        std::optional<Progreso> progreso;
        {
            const std::lock_guard<std::mutex> cerrojo(mutex_);
            progreso = ultimo_;
            pendiente_ = false;
        }
        aviso_(progreso);
    }

    const AvisoProgreso aviso_;
    std::mutex mutex_;
    std::optional<Progreso> ultimo_;
    bool pendiente_ = false;
};

// The transfer, on its thread; the loop ends with it.
QCoro::Task<> correr(const Transferencia& transferencia, Cancelacion propia, AvisoProgreso aviso,
                     Compartido& compartido, QEventLoop& bucle, bool& acabada) {
    try {
        compartido.contestacion = co_await transferencia(std::move(propia), std::move(aviso));
    } catch (...) {
        compartido.error = std::current_exception();
    }
    acabada = true; // also when it ended before the loop began
    bucle.quit();
}

} // namespace

QCoro::Task<Contestacion> enHiloDeRed(Transferencia transferencia, Cancelacion cancelacion,
                                      AvisoProgreso aviso) {
    cancelacion.comprobar();
    const bool conAviso = bool(aviso);
    Puente puente(std::move(aviso));
    auto compartido = std::make_shared<Compartido>();
    const Cancelacion::Escucha escucha =
        cancelacion.alPedir([compartido] { compartido->detener(); });
    // Quitting while a package comes: the transfer is stopped, not cut off by the process's end.
    if (QCoreApplication* app = QCoreApplication::instance())
        QObject::connect(app, &QCoreApplication::aboutToQuit, &puente, [compartido] {
            compartido->detener();
            compartido->esperarFin(std::chrono::seconds(5));
        });
    // A blocking job for the runner beside the window: the transfer's own event loop.
    std::function<void()> trabajo = [&transferencia, &puente, conAviso, compartido] {
        {
            QEventLoop bucle;
            QObject contexto;
            const Cancelacion propia;
            {
                const std::lock_guard<std::mutex> cerrojo(compartido->mutex);
                compartido->contexto = &contexto;
                compartido->propia = propia;
                if (compartido->pedida) propia.pedir();
            }
            AvisoProgreso avisoHilo;
            if (conAviso)
                avisoHilo = [&puente](std::optional<Progreso> progreso) {
                    puente.avisar(progreso);
                };
            bool acabada = false;
            // Its frame goes with its end, on this thread.
            (void)correr(transferencia, propia, std::move(avisoHilo), *compartido, bucle, acabada);
            if (!acabada) bucle.exec();
            const std::lock_guard<std::mutex> cerrojo(compartido->mutex);
            compartido->contexto = nullptr;
            compartido->propia.reset();
        }
        // What the transfer left to delete later (its client, its replies) goes now, here.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        compartido->terminar();
        if (compartido->error) std::rethrow_exception(compartido->error);
    };
    // Its end is told after the progress told before: one queue of events per thread.
    co_await enSegundoPlano(std::move(trabajo));
    co_return std::move(*compartido->contestacion);
}
