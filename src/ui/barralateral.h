#pragma once

#include "ui/parte.h"

class BotonCategoria;
class BotonTexto;
class QLabel;
class QVBoxLayout;

// The side bar: the brand block, the signed-in account with "Cerrar sesión", then one entry for
// the whole suite and one per category with its count.
class BarraLateral : public Parte {
    Q_OBJECT
public:
    explicit BarraLateral(Store& store, QWidget* parent = nullptr);

private:
    void mostrarCatalogo();
    void mostrarCategoria();
    void mostrarCuenta();

    QLabel* tamano_;
    QWidget* cuenta_;
    QLabel* correo_;
    BotonTexto* salir_;
    QVBoxLayout* entradas_;
    QList<QPair<QString, BotonCategoria*>> botones_; // category name as the store knows it
};
