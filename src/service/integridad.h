#pragma once

#include <QByteArray>
#include <QJsonObject>

#include <exception>
#include <memory>
#include <optional>

// What the account's list says a package is: its SHA-256 digest and its length in bytes, each
// only when the store gives it.
struct Integridad {
    // The digest's 32 bytes; empty when the member is a text but no digest, which no package
    // matches.
    std::optional<QByteArray> sha256;
    // -1 when the member is a number but no length (negative, fractional, too large), which no
    // package matches.
    std::optional<qint64> tamano;
};

// Read from one entry of the list: "sha256" (64 hexadecimal digits, either case) and "size" (a
// whole number of bytes). A member of another JSON type counts as absent.
Integridad integridadDe(const QJsonObject& entrada);

// A package that is not what the store said it is.
class PaqueteDanado : public std::exception {
public:
    const char* what() const noexcept override { return "damaged package"; }
};

// Checks a package as its bytes go by, so it is never read twice: throws PaqueteDanado as soon
// as it is longer than it should be, and at its end when it is shorter or its digest differs.
// The length is counted where the bytes arrive and the digest made where they are written: the
// two may run on two threads, terminar once both are done.
class Comprobante {
public:
    explicit Comprobante(Integridad esperado);
    ~Comprobante();
    Comprobante(const Comprobante&) = delete;
    Comprobante& operator=(const Comprobante&) = delete;
    void contar(qint64 bytes);
    void resumir(const QByteArray& trozo);
    void terminar();

private:
    class Resumen;
    Integridad esperado_;
    std::unique_ptr<Resumen> resumen_; // only when a digest was said
    qint64 recibidos_ = 0;
};
