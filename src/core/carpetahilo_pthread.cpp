// Where each thread may hold a working folder of its own (Apple's pthread_fchdir_np).
#include "core/carpetahilo.h"

#include <QFile>

#include <fcntl.h>
#include <pthread.h>
#include <unistd.h>

CarpetaDelHilo::CarpetaDelHilo(const QString& carpeta) {
    const int destino =
        ::open(QFile::encodeName(carpeta).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (destino < 0) return;
    propia_ = ::pthread_fchdir_np(destino) == 0;
    ::close(destino);
}

CarpetaDelHilo::~CarpetaDelHilo() {
    // anterior_ stays -1, which has the thread follow the process's folder again.
    if (propia_) (void)::pthread_fchdir_np(anterior_);
}
