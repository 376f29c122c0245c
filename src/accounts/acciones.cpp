// Placeholder until sign-up and sign-in are built.
#include "core/store.h"

void Store::crearCuenta(const QString&, const QString&, const QString&) {}
void Store::entrar(const QString&, const QString&) {}
