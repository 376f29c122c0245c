#include "tst_tienda.h"

#include <QtTest>

QTEST_GUILESS_MAIN(TstTienda)
