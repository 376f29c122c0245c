#pragma once

#include <QList>
#include <QWidget>

class Store;

// A part of the main window: it shows the Store's state, and names in order the controls the Tab
// key visits in it, saying so when they change.
class Parte : public QWidget {
    Q_OBJECT
public:
    virtual QList<QWidget*> controles() const = 0;

Q_SIGNALS:
    void controlesCambiados();

protected:
    Parte(Store& store, QWidget* parent) : QWidget(parent), store_(store) {}

    Store& store_;
};
