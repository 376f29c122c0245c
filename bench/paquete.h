#pragma once

#include <QString>

// A download package as a house would serve it: a ZIP archive of two bundles, "Grande.vst3"
// and "Grande.component", holding `archivos` incompressible files of `bytes` in all (half in
// each, a hundred to a sub-folder), stored without compression as audio samples would be. With
// `llenos` set, only that many files carry the bytes and the rest are empty (see crearBundle).
void escribirPaquete(const QString& ruta, qint64 bytes, int archivos, int llenos = 0);
