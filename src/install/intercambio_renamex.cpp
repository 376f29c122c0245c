// Where the exchange is a flag of renamex_np (Apple).
#include "install/intercambio.h"

#include <cstdio>

bool intercambiarEntradas(const char* una, const char* otra) {
    return ::renamex_np(una, otra, RENAME_SWAP) == 0;
}
