#pragma once

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

private:
    void mostrarTitulo();
    void mostrarBusqueda();
    void mostrarBotones();

    Store& store_;
    QLabel* titulo_;
    QLineEdit* buscar_;
    GoldButton* bajar_;
    GoldButton* instalarTodos_;
};
