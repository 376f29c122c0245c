// Where the allocator hands freed memory back by itself: nothing to ask for.
#include "core/memoria.h"

void soltarMemoria() {}
