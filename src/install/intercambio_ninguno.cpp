// Where the system has no exchange: the caller falls back on two renames.
#include "install/intercambio.h"

#include <cerrno>

bool intercambiarEntradas(const char*, const char*) {
    errno = ENOSYS;
    return false;
}
