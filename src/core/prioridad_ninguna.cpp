// Where the system offers no way to put a thread below another.
#include "core/prioridad.h"

void cederPrioridad() {}
