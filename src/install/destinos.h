#pragma once

#include "core/plugin.h"

#include <QSet>
#include <QString>
#include <QStringList>

#include <optional>

// Where plug-in bundles go, below the user's home: one maker folder per format, then one folder
// per category, then the bundle's own file name.
QString carpetaVst3(const QString& home);
QString carpetaAu(const QString& home);

// None when the plug-in has no build of that format, or when the category or the bundle name
// would not stay one folder below the maker folder ("..", ".", a "/" inside).
std::optional<QString> destinoVst3(const QString& home, const Plugin& plugin);
std::optional<QString> destinoAu(const QString& home, const Plugin& plugin);

// The ids of the plug-ins whose VST3 bundle is at its destination below `home`: what the
// installed state counts. Touches only the file system, so it may run on any thread.
QSet<QString> instaladosEn(const QString& home, const QList<Plugin>& plugins);

// A bundle found in a downloaded package: the AU maker folder for a ".component" (any case),
// the VST3 maker folder otherwise.
std::optional<QString> destinoDescarga(const QString& home, const QString& category,
                                       const QString& bundle);

// Every ".vst3" and ".component" bundle below a folder (extension compared lower-cased), at any
// depth, in enumeration order, without looking inside a bundle once found. A missing folder
// gives an empty list.
QStringList bundlesEn(const QString& carpeta);
