#pragma once

#include "archivos.h"
#include "core/store.h"

#include <QStringList>

#include <memory>

struct PruebaStore {
    static void token(Store& s, const std::optional<QString>& t) { s.setTokenCasa(t); }
};

// A project folder holding real built bundles for a catalog, a temporary home, and a loaded
// Store on them.
struct Banco {
    Mundo mundo;
    QList<Plugin> plugins;
    std::unique_ptr<Store> store;

    explicit Banco(const QList<Plugin>& plugins, bool conProyecto = true);

    // A new Store on the current entorno (after changing the copy tool, say).
    void nuevoStore();

    // Where a plug-in's bundles are built and where they are installed.
    QString fuente(const QString& relativa) const { return mundo.proyecto + "/" + relativa; }
    QString vst3(const Plugin& p) const;
    QString au(const Plugin& p) const;

    // Waits until the running action has ended.
    bool esperar() const;
};

// The status texts of a finished install and a finished removal.
QString exito(const Plugin& p);
QString quitado(const Plugin& p);

// A folder described entry by entry: relative path, kind, permissions, and content or link
// target. Two equal descriptions mean a whole copy.
QStringList arbol(const QString& carpeta);

// Every entry of a folder, hidden ones included.
QStringList entradas(const QString& carpeta);
