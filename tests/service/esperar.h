#pragma once

#include <QCoro/QCoroTask>
#include <QTest>

#include <exception>
#include <optional>
#include <stdexcept>

// Runs a task to its end on the event loop and gives back its result or rethrows its error.
// (QCoro::waitFor never returns when the task throws.)
namespace espera {

template <typename T>
QCoro::Task<> envolver(QCoro::Task<T> tarea, std::optional<T>* resultado, std::exception_ptr* error,
                       bool* listo) {
    try {
        resultado->emplace(co_await std::move(tarea));
    } catch (...) {
        *error = std::current_exception();
    }
    *listo = true;
}

inline QCoro::Task<> envolver(QCoro::Task<> tarea, std::exception_ptr* error, bool* listo) {
    try {
        co_await std::move(tarea);
    } catch (...) {
        *error = std::current_exception();
    }
    *listo = true;
}

inline void aguardar(const bool& listo) {
    if (!QTest::qWaitFor([&listo] { return listo; }, 60000))
        throw std::runtime_error("la tarea no terminó");
}

} // namespace espera

template <typename T> T esperar(QCoro::Task<T> tarea) {
    std::optional<T> resultado;
    std::exception_ptr error;
    bool listo = false;
    espera::envolver(std::move(tarea), &resultado, &error, &listo);
    espera::aguardar(listo);
    if (error) std::rethrow_exception(error);
    return std::move(*resultado);
}

inline void esperar(QCoro::Task<> tarea) {
    std::exception_ptr error;
    bool listo = false;
    espera::envolver(std::move(tarea), &error, &listo);
    espera::aguardar(listo);
    if (error) std::rethrow_exception(error);
}
