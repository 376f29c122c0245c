#pragma once

// Removes the extended attribute `nombre` from the entry at `ruta` itself: a link loses its own
// attribute and what it names is never touched. False (errno set) when the system refused.
// Systems spell "do not follow" differently; the build picks the one file that fits.
bool quitarAtributoSinSeguir(const char* ruta, const char* nombre);
