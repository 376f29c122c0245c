#pragma once

#include "accounts/cuentas.h"
#include "archivos.h"

#include <QString>

// The permission bits of a file (without following a final link).
int modo(const QString& ruta);

// A complete account record, as the application would have written it.
Cuenta cuentaDePrueba(const QString& email, const QString& password);
