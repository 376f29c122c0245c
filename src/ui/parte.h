#pragma once

#include <QList>
#include <QWidget>

class Store;

// A part of the main window: it shows the Store's state, and names in order the controls the Tab
// key visits in it, saying so when they change.
class Parte : public QWidget {
    Q_OBJECT
public:
    QList<QWidget*> controles() const { return controles_; }

Q_SIGNALS:
    void controlesCambiados();

protected:
    Parte(Store& store, QWidget* parent) : QWidget(parent), store_(store) {}
    void ponerControles(QList<QWidget*> controles) {
        controles_ = std::move(controles);
        Q_EMIT controlesCambiados();
    }

    Store& store_;

private:
    QList<QWidget*> controles_;
};
