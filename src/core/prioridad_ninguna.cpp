// Where threads have no priority of their own to lower, or need none: on Apple the window's thread
// runs in the user-interactive class and the threads started beside it in the default one, below.
#include "core/prioridad.h"

void cederPrioridad() {}

std::optional<int> prioridadDelHilo() {
    return std::nullopt;
}
