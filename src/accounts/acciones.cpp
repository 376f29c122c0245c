// Placeholder until sign-up, sign-in and the saved session are built.
#include "core/store.h"

void Store::crearCuenta(const QString&, const QString&, const QString&) {}
void Store::entrar(const QString&, const QString&) {}
void Store::salir() {}
void Store::cargarSesion() {}
