#pragma once

#include <QString>

#include <exception>
#include <stdexcept>

// What both error types share: a text, given to the standard library as UTF-8.
class ErrorConTexto : public std::exception {
public:
    const char* what() const noexcept override { return utf8.constData(); }

protected:
    explicit ErrorConTexto(const QString& texto) : utf8(texto.toUtf8()) {}

private:
    QByteArray utf8;
};

// The system's own failure: its message is a finished Spanish sentence, shown as it is.
class Failure : public ErrorConTexto {
public:
    explicit Failure(QString texto) : ErrorConTexto(texto), message(std::move(texto)) {}
    QString errorDescription() const { return message; }

    QString message;
};

// An error reported by the platform (file system, network, process start), carrying the
// system's own description of what went wrong.
class ErrorSistema : public ErrorConTexto {
public:
    explicit ErrorSistema(QString texto) : ErrorConTexto(texto), descripcion(std::move(texto)) {}

    QString descripcion;
};

// The text the status line shows for an error caught by an action.
QString descripcionDe(std::exception_ptr error);
