#pragma once

#include "archivos.h"
#include "core/store.h"
#include "ejecutable.h"
#include "esperar.h"
#include "prueba_store.h"

#include <QStringList>

#include <memory>

// A project folder holding real built bundles for a catalog, a temporary home, and a loaded
// Store on them.
struct Banco {
    Mundo mundo;
    QList<Plugin> plugins;
    std::unique_ptr<Store> store;

    explicit Banco(const QList<Plugin>& plugins, bool conProyecto = true);

    // A new Store on the current entorno (after changing the copy tool, say).
    void nuevoStore();

    // Installs or removes one plug-in and waits for the action's end; whether it ended.
    [[nodiscard]] bool instalar(const Plugin& p);
    [[nodiscard]] bool quitar(const Plugin& p);

    // What sits in the category folder of a plug-in's installed VST3 bundle.
    QStringList vecinos(const Plugin& p) const;

    // Where a plug-in's bundles are built (the installed ones: mundo.vst3, mundo.au).
    QString fuente(const QString& relativa) const {
        return mundo.proyecto + QStringLiteral("/") + relativa;
    }
};

// The status texts of a finished install and a finished removal.
QString exito(const Plugin& p);
QString quitado(const Plugin& p);

// A folder described entry by entry: relative path, kind, permissions, and content or link
// target. Two equal descriptions mean a whole copy.
QStringList arbol(const QString& carpeta);
