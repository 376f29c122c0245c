// Where the exchange is a flag of renameat2 (Linux).
#include "install/intercambio.h"

#include <cstdio>
#include <fcntl.h>

bool intercambiarEntradas(const char* una, const char* otra) {
    return ::renameat2(AT_FDCWD, una, AT_FDCWD, otra, RENAME_EXCHANGE) == 0;
}
