#pragma once

#include "ui/foco.h"

#include <QWidget>

class GoldButton;
class QLabel;
class QLineEdit;
class Store;

// The header of the catalog: the category's title, the search field, "Bajar comprados" and the
// button that installs every listed plug-in.
class Cabecera : public QWidget {
    Q_OBJECT
public:
    Cabecera(Store& store, QWidget* parent = nullptr);
    // What Tab visits here, left to right.
    QList<QWidget*> controles() const;

private:
    void mostrarTitulo();
    void mostrarBusqueda();
    void mostrarBotones();

    Store& store_;
    QLabel* titulo_;
    QLineEdit* buscar_;
    GoldButton* bajar_;
    GoldButton* instalarTodos_;
    EsperaDeFoco espera_{this};
};
