#include "core/memoria.h"

#include <malloc.h>

void soltarMemoria() {
    malloc_trim(0);
}
