#pragma once

#include <QString>

#include <exception>
#include <stdexcept>

// The system's own failure: its message is a finished Spanish sentence, shown as it is.
class Failure : public std::exception {
public:
    explicit Failure(QString texto) : message(std::move(texto)), utf8(message.toUtf8()) {}
    const char* what() const noexcept override { return utf8.constData(); }
    QString errorDescription() const { return message; }

    QString message;

private:
    QByteArray utf8;
};

// An error reported by the platform (file system, network, process start), carrying the
// system's own description of what went wrong.
class ErrorSistema : public std::exception {
public:
    explicit ErrorSistema(QString texto)
        : descripcion(std::move(texto)), utf8(descripcion.toUtf8()) {}
    const char* what() const noexcept override { return utf8.constData(); }

    QString descripcion;

private:
    QByteArray utf8;
};

// The text the status line shows for an error caught by an action.
QString descripcionDe(std::exception_ptr error);
