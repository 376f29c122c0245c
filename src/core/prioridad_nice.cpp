// Where each thread has a nice value of its own (Linux): two steps above the one it had.
#include "core/prioridad.h"

#include <cerrno>
#include <sys/resource.h>
#include <unistd.h>

void cederPrioridad() {
    const auto hilo = static_cast<id_t>(::gettid());
    errno = 0;
    const int actual = ::getpriority(PRIO_PROCESS, hilo); // -1 is a value too: errno tells
    // A failure leaves the thread as it was, which only makes the window wait a little longer.
    if (errno == 0) (void)::setpriority(PRIO_PROCESS, hilo, actual + 2);
}
