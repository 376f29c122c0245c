#pragma once

#include "archivos.h"
#include "core/store.h"
#include "ejecutable.h"
#include "esperar.h"
#include "prueba_store.h"
#include "ui/contentview.h"

#include <QAbstractButton>
#include <QLabel>
#include <QtTest>

#include <functional>
#include <memory>

// A shown window on a temporary application folder with the given catalog, once it has loaded.
struct Ventana {
    Mundo mundo;
    std::unique_ptr<ContentView> vista;

    // preparar changes the world before the window and its store are made.
    explicit Ventana(const QList<Plugin>& plugins, bool conProyecto = true, bool conLogo = true,
                     const std::function<void(Mundo&)>& preparar = {});
    Store& store() const { return vista->store(); }
    // Makes the window the active one, so that it takes the keyboard focus.
    void activar() const;
    QWidget* parte(const QString& nombre) const { return vista->findChild<QWidget*>(nombre); }
    // Writes the picture a plug-in's screenshot path names, inside the project folder.
    void captura(const Plugin& plugin, QSize tamano = {300, 150}) const;
};

// Visible buttons below raiz with exactly this text.
QList<QAbstractButton*> botones(const QWidget* raiz, const QString& texto);
// The one visible button with this text, or null.
QAbstractButton* boton(const QWidget* raiz, const QString& texto);
// Texts of the visible labels below raiz, in the order they were made.
QStringList textos(const QWidget* raiz);
// Three plug-ins over two categories: brisa and catedral (Reverb, "reverb" in their subtitles),
// eco (Delay).
QList<Plugin> catalogoBase();
