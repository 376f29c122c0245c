#pragma once

#include "ui/foco.h"

#include <QWidget>

class GoldButton;
class BotonTexto;
class QLabel;
class QLineEdit;
class Store;

// The access form shown while nobody is signed in: create an account or sign in. It does no
// account work itself; outcomes arrive through the store's status line.
class Acceso : public QWidget {
    Q_OBJECT
public:
    explicit Acceso(Store& store, QWidget* parent = nullptr);
    bool creando() const { return creando_; }
    // Where the keyboard starts on this screen: the e-mail field.
    QWidget* primerControl() const;

private:
    void mostrarModo();
    void alternar();
    void enviar();

    Store& store_;
    bool creando_ = true;
    QLabel* titulo_;
    QLineEdit* correo_;
    QLineEdit* contrasena_;
    QLineEdit* repeticion_;
    QWidget* campoRepeticion_;
    GoldButton* principal_;
    BotonTexto* alternar_;
    QLabel* estado_;
    EsperaDeFoco espera_{this};
};
