#pragma once

#include "ui/foco.h"
#include "ui/parte.h"

class GoldButton;
class QLabel;
class QLineEdit;

// The header of the catalog: the category's title, the search field, "Bajar comprados" and the
// button that installs every listed plug-in.
class Cabecera : public Parte {
    Q_OBJECT
public:
    explicit Cabecera(Store& store, QWidget* parent = nullptr);

private:
    void mostrarTitulo();
    void mostrarBusqueda();
    void mostrarBotones();

    QLabel* titulo_;
    QLineEdit* buscar_;
    GoldButton* bajar_;
    GoldButton* instalarTodos_;
    EsperaDeFoco espera_{this};
};
