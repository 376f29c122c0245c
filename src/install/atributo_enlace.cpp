// Where the link variant is its own call (Linux).
#include "install/atributo.h"

#include <sys/xattr.h>

bool quitarAtributoSinSeguir(const char* ruta, const char* nombre) {
    return ::lremovexattr(ruta, nombre) == 0;
}
