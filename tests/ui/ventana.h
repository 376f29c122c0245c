#pragma once

#include "archivos.h"
#include "core/store.h"
#include "ui/contentview.h"

#include <QAbstractButton>
#include <QLabel>
#include <QtTest>

#include <functional>
#include <memory>

// The private state that the account, install and download actions set, reached directly so
// that the window can be shown in every state.
struct PruebaStore {
    static void entrar(Store& s, const QString& e) { s.setCuentaEmail(e); }
    static void salir(Store& s) { s.setCuentaEmail(std::nullopt); }
    static void ocupado(Store& s, bool v) { s.setBusy(v); }
    static void instalados(Store& s, QSet<QString> v) { s.setInstalled(std::move(v)); }
    static void progreso(Store& s, std::optional<double> v) { s.setProgreso(v); }
    static void avance(Store& s, const QString& v) { s.setAvance(v); }
};

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
