#pragma once

#include "service/red.h"

#include <QString>

#include <optional>

// The progress line of a store run: its place in the list, then, while a package arrives, the
// bytes so far and, when known, its length: "2 de 5 · 120 MB de 200 MB".
QString textoDeAvance(int posicion, int total, const std::optional<Progreso>& progreso);

// Bytes in megabytes of a million, never rounded up: "3,5 MB" (one decimal, a decimal comma)
// below 10 MB, "120 MB" from there on.
QString megas(qint64 bytes);

// What megas() shows, as a number that changes exactly when its text does (tenths of a megabyte).
qint64 cifraDeMegas(qint64 bytes);
