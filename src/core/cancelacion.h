#pragma once

#include <QObject>

#include <exception>
#include <functional>
#include <memory>
#include <utility>

// Thrown at a safe point of an action that was asked to stop.
class Cancelado : public std::exception {
public:
    const char* what() const noexcept override { return "cancelled"; }
};

// How a running action is asked to stop. A cheap handle: copies share one request. The action
// looks at it only at its safe points (while it waits on a transfer or a child process, after a
// job beside the window's thread, between two packages), never between the steps that put a
// bundle in its place. A default-made one is a fresh request nobody has made yet.
class Cancelacion {
public:
    Cancelacion();

    // Asks once: a later call only makes it callada. Callada: whoever asks reports the
    // outcome itself, so the stopped action shows nothing.
    enum class Aviso { Mostrado, Callado };
    void pedir(Aviso aviso = Aviso::Mostrado) const;
    bool pedida() const;
    bool callada() const;
    // Throws Cancelado once asked.
    void comprobar() const;
    // The same request.
    bool operator==(const Cancelacion&) const = default;

    // While the returned value lives, `accion` runs when the request is made, inside pedir: it
    // must only start the stop (post an abort, signal a process), never resume the action.
    // Nothing runs for a request made before: look at pedida() first.
    class Escucha {
    public:
        Escucha() = default;
        explicit Escucha(QMetaObject::Connection c) : conexion_(std::move(c)) {}
        Escucha(Escucha&& otra) noexcept : conexion_(std::exchange(otra.conexion_, {})) {}
        Escucha& operator=(Escucha&&) = delete;
        ~Escucha() { QObject::disconnect(conexion_); }

    private:
        QMetaObject::Connection conexion_;
    };
    [[nodiscard]] Escucha alPedir(std::function<void()> accion) const;

private:
    class Estado;
    std::shared_ptr<Estado> estado_;
};
