// Where a thread can stop sharing its working folder with the process (Linux's unshare).
#include "core/carpetahilo.h"

#include <QFile>

#include <fcntl.h>
#include <sched.h>
#include <unistd.h>

CarpetaDelHilo::CarpetaDelHilo(const QString& carpeta) {
    anterior_ = ::open(".", O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (anterior_ < 0) return;
    const int destino =
        ::open(QFile::encodeName(carpeta).constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (destino < 0) return;
    // From here on the thread's folder is its own, even after it goes back: were the process to
    // change folders later this thread would stay behind, and the application never does.
    propia_ = ::unshare(CLONE_FS) == 0 && ::fchdir(destino) == 0;
    ::close(destino);
}

CarpetaDelHilo::~CarpetaDelHilo() {
    // Going back fails only if that folder lost its search permission meanwhile; relative names
    // are used nowhere else, so even then nothing is written astray.
    if (propia_) (void)::fchdir(anterior_);
    if (anterior_ >= 0) ::close(anterior_);
}
