#include "pruebas.h"

#include <QtTest>

QTEST_GUILESS_MAIN(TstService)
