// Where "do not follow" is an option of the one call (Apple).
#include "install/atributo.h"

#include <sys/xattr.h>

bool quitarAtributoSinSeguir(const char* ruta, const char* nombre) {
    return ::removexattr(ruta, nombre, XATTR_NOFOLLOW) == 0;
}
