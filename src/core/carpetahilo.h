#pragma once

#include <QString>

// The calling thread's working folder while this lives, where the system gives each thread one
// of its own: names relative to it then reach the folder without a walk through every folder
// above it. Other threads keep the process's folder, and this one is back in it at the end.
// Where threads share one folder, nothing changes and `propia()` says so.
class CarpetaDelHilo {
public:
    explicit CarpetaDelHilo(const QString& carpeta);
    ~CarpetaDelHilo();
    CarpetaDelHilo(const CarpetaDelHilo&) = delete;
    CarpetaDelHilo& operator=(const CarpetaDelHilo&) = delete;

    bool propia() const { return propia_; }

private:
    bool propia_ = false;
    int anterior_ = -1; // the folder to go back to, where going back needs one
};
