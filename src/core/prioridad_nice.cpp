// Where each thread has a nice value of its own (Linux): two steps above the one it had.
#include "core/prioridad.h"

#include <cerrno>
#include <sys/resource.h>
#include <unistd.h>

std::optional<int> prioridadDelHilo() {
    errno = 0;
    const int valor = ::getpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()));
    if (errno != 0) return std::nullopt; // -1 is a value too: errno tells
    return valor;
}

void cederPrioridad() {
    // A failure leaves the thread as it was, which only makes the window wait a little longer.
    if (const std::optional<int> actual = prioridadDelHilo())
        (void)::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), *actual + 2);
}
