#pragma once

#include "core/plugin.h"

#include <QString>

// A bundle-shaped folder, as a build would leave it: Contents/Info.plist, an executable in
// Contents/MacOS and a resource file in Contents/Resources.
bool crearBundleDemo(const QString& ruta, const Plugin& plugin);

// A screenshot-like picture of a plug-in's window.
bool crearCaptura(const QString& ruta, const Plugin& plugin);

// A project folder for the maker's machine: every bundle and screenshot the catalog names,
// relative to it.
bool prepararProyecto(const Catalog& catalogo, const QString& carpeta);

// One folder per plug-in id holding its bundles, as the local store service packages them.
bool prepararPaquetes(const Catalog& catalogo, const QString& carpeta);
