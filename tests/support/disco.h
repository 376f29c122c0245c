#pragma once

#include <QString>

// A small file system of its own on a folder (a tmpfs), so a test can fill it and see what a
// full disk does, and folders marked immutable (chattr). Both need root and a system that allows
// them; where either is missing, `razon()` says why, for QSKIP. Undone when the value goes:
// declare it after the temporary folder that holds it.
class DiscoPequeno {
public:
    DiscoPequeno(const QString& carpeta, qint64 bytes);
    ~DiscoPequeno();
    DiscoPequeno(const DiscoPequeno&) = delete;
    DiscoPequeno& operator=(const DiscoPequeno&) = delete;

    bool montado() const { return razon_.isEmpty(); }
    QString razon() const { return razon_; }
    QString carpeta() const { return carpeta_; }
    qint64 libre() const;

    // Fills it with one file, "relleno", until exactly `bloques` blocks stay free. False when
    // that could not be reached.
    bool llenar(int bloques);

private:
    QString carpeta_;
    QString razon_;
};

// Marks a path immutable: not even root can rename, delete or add entries in it.
class Inmutable {
public:
    explicit Inmutable(const QString& ruta);
    ~Inmutable();
    Inmutable(const Inmutable&) = delete;
    Inmutable& operator=(const Inmutable&) = delete;

    bool marcado() const { return razon_.isEmpty(); }
    QString razon() const { return razon_; }
    // The marked entry was renamed: the mark went with it, and is taken off there.
    void seMovioA(const QString& ruta) { ruta_ = ruta; }

private:
    QString ruta_;
    QString razon_;
};
