#include "ejecutable.h"

#include <QCoreApplication>

QUELO_MAIN(QCoreApplication)
