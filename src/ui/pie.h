#pragma once

#include "ui/foco.h"
#include "ui/parte.h"

class GoldButton;
class QLabel;
class QProgressBar;

// The status bar: the store's status line, always present; while an action runs, "Cancelar"
// right of it, and below it a slim gold bar, measured when the store knows how far a download
// has come, with the store run's progress line beside it. Shown or not, the button, the bar and
// the line keep their room, so nothing moves when an action starts or ends.
class Pie : public Parte {
    Q_OBJECT
public:
    explicit Pie(Store& store, QWidget* parent = nullptr);

private:
    void mostrarProgreso();

    QLabel* estado_;
    GoldButton* cancelar_;
    QProgressBar* barra_;
    QLabel* avance_;
    // Keeps the keyboard on the bar while "Cancelar" is hidden, so no key reaches another control.
    EsperaDeFoco espera_{this};
};
