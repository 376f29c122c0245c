#pragma once

#include <QString>

// A small file system of its own on a folder (a tmpfs), so a test can fill it and see what a
// full disk does to a write. Mounting needs root and a system that allows it; when either is
// missing, montado() is false and razon() says why, for QSKIP. Unmounted when it goes: declare
// it after the temporary folder that holds it.
class DiscoPequeno {
public:
    DiscoPequeno(const QString& carpeta, qint64 bytes);
    ~DiscoPequeno();
    DiscoPequeno(const DiscoPequeno&) = delete;
    DiscoPequeno& operator=(const DiscoPequeno&) = delete;

    bool montado() const { return montado_; }
    QString razon() const { return razon_; }

    // Fills it with one file, "relleno", until exactly `bloques` blocks stay free. False when
    // that could not be reached.
    bool llenar(int bloques);

private:
    QString carpeta_;
    bool montado_ = false;
    QString razon_;
};
