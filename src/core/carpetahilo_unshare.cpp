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
    // From here on this thread's folder is its own; the thread keeps that after going back,
    // which no other thread notices (nothing here changes the process's folder).
    propia_ = ::unshare(CLONE_FS) == 0 && ::fchdir(destino) == 0;
    ::close(destino);
}

CarpetaDelHilo::~CarpetaDelHilo() {
    // The folder it came from cannot fail to take it back while held open; relative names are
    // used nowhere else, so even then nothing would be written astray.
    if (propia_) (void)::fchdir(anterior_);
    if (anterior_ >= 0) ::close(anterior_);
}
