#pragma once

#include <QString>

// A file system of a given size mounted for one test (a tmpfs, with the system's mount tool),
// and folders marked immutable (chattr): both need root. Where they cannot be had, `motivo`
// says why and the test skips.

struct DiscoPequeno {
    QString carpeta;
    QString motivo; // empty when mounted
    DiscoPequeno(const QString& carpeta, qint64 bytes);
    ~DiscoPequeno();
    DiscoPequeno(const DiscoPequeno&) = delete;
    DiscoPequeno& operator=(const DiscoPequeno&) = delete;
    qint64 libre() const;
};

// Marks a path immutable: not even root can rename, delete or add entries in it. The mark goes
// with the value.
struct Inmutable {
    QString ruta;
    QString motivo; // empty when marked
    explicit Inmutable(const QString& ruta);
    ~Inmutable();
    Inmutable(const Inmutable&) = delete;
    Inmutable& operator=(const Inmutable&) = delete;
};
