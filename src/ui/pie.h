#pragma once

#include <QWidget>

class QLabel;
class QProgressBar;
class Store;

// The status bar: the store's status line, always present, and while an action runs a slim
// gold bar, measured when the store knows how far a download has come.
class Pie : public QWidget {
    Q_OBJECT
public:
    Pie(Store& store, QWidget* parent = nullptr);

private:
    void mostrarProgreso();

    Store& store_;
    QLabel* estado_;
    QProgressBar* barra_;
};
