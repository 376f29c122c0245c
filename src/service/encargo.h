#pragma once

#include "core/cancelacion.h"
#include "service/integridad.h"

// One package of a store run, as bajar hands it to traer.
struct Encargo {
    Integridad esperado; // what the account's list says the package is
    int posicion = 1;    // its place in the run, from 1, for the progress line
    int total = 1;
    Cancelacion cancelacion;
};
