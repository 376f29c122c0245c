#pragma once

#include "core/entorno.h"
#include "core/plugin.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// The environment of a test world laid out in `raiz`: the application in "Quelo DSP", a home
// and a temporary folder, this system's copy tool. A child process rebuilds it from the path.
Entorno entornoDePrueba(const QString& raiz);

// A temporary world for one test: an application folder, a home and a temporary folder, all
// inside one QTemporaryDir that disappears with it.
struct Mundo {
    QTemporaryDir dir;
    QString proyecto; // the folder holding the application bundle
    Entorno entorno;

    // conProyecto: whether the folder holding the application also holds "Juce Pugins creacion"
    explicit Mundo(bool conProyecto = true);

    // Writes the catalog the application ships.
    void catalogo(const QList<Plugin>& plugins) const;
};

// Writes a file with every missing parent folder.
void escribir(const QString& ruta, const QByteArray& contenido);
QByteArray leer(const QString& ruta);

// An executable shell script; its path.
QString guion(const QString& ruta, const QByteArray& cuerpo);

// A bundle-shaped folder: Contents/Info.plist, an executable, and a link inside.
void crearBundle(const QString& ruta);

// A catalog entry with every field filled from its id.
Plugin pluginDePrueba(const QString& id, const QString& category = QStringLiteral("Reverb"));

QByteArray catalogoJson(const QList<Plugin>& plugins);
