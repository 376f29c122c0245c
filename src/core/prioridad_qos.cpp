// Where a thread has a quality-of-service class (Apple): the window's thread is interactive; a
// job the user asked for and waits on is user-initiated.
#include "core/prioridad.h"

#include <pthread/qos.h>

void cederPrioridad() {
    // A failure leaves the thread as it was, which only makes the window wait a little longer.
    (void)::pthread_set_qos_class_self_np(QOS_CLASS_USER_INITIATED, 0);
}
