#pragma once

#include <QString>

// Writes a ZIP archive of everything inside carpeta (its entries relative to it: folders, files
// with their executable bit, links kept as links) to the file destino. False with a description
// in error when it cannot.
bool empaquetar(const QString& carpeta, const QString& destino, QString* error);
