#pragma once

#include "core/entorno.h"

#include <QWidget>

#include <memory>

class Acceso;
class BarraLateral;
class Cabecera;
class Detalle;
class ListaPlugins;
class Pie;
class QStackedLayout;
class Store;

// The window's one view. It owns the Store for its whole life, and shows the access form while
// nobody is signed in and the catalog window otherwise.
class ContentView : public QWidget {
    Q_OBJECT
public:
    explicit ContentView(QWidget* parent = nullptr);
    explicit ContentView(Entorno entorno, QWidget* parent = nullptr);
    ~ContentView() override;

    Store& store() const { return *store_; }

protected:
    void showEvent(QShowEvent*) override;

private:
    void mostrarPantalla();
    QWidget* ventanaPrincipal();
    void ordenarTab();

    std::unique_ptr<Store> store_;
    QStackedLayout* pantallas_;
    Acceso* acceso_;
    QWidget* principal_;
    BarraLateral* barra_;
    Cabecera* cabecera_;
    ListaPlugins* lista_;
    Detalle* detalle_;
    Pie* pie_;
    bool cargado_ = false;
};
