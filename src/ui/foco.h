#pragma once

#include <QList>
#include <QPointer>
#include <QWidget>

class QAbstractButton;

// The keyboard focus of one window, drawn as a 2-pixel gold frame outside the focused control,
// so the control keeps its size and its own look; a small gap keeps the frame apart from a
// gold control. Every control the Tab key reaches
// gets it; a button only while the keyboard is in use (a click leaves no frame on it).
class MarcoFoco : public QWidget {
    Q_OBJECT
public:
    explicit MarcoFoco(QWidget* ventana);
    // The control the frame is shown around, or none.
    QWidget* rodeado() const { return isVisible() ? control_.data() : nullptr; }

    static constexpr int separacion = 2;
    static constexpr int grosor = 2;
    static constexpr int alcance = separacion + grosor; // how far it reaches past the control

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;
    void paintEvent(QPaintEvent*) override;

private:
    void seguir(QWidget* control);
    void colocar();
    bool vigilado(QObject* objeto) const;

    QPointer<QWidget> ventana_;
    QPointer<QWidget> control_;
    // the control and its ancestors up to the frame's parent: their moves move the frame
    QList<QPointer<QWidget>> cadena_;
    bool teclado_ = false; // the keyboard moved the focus last, not a click
};

// Keeps the keyboard focus in a view while the button that has it is disabled or rebuilt. Qt
// would pass the focus of a disabled button on to the next control, where a key meant for the
// button would act; instead the focus waits on the view itself (no frame shows there) and goes
// back to the button at the same place once it is enabled again, even a newly built one.
class EsperaDeFoco {
public:
    explicit EsperaDeFoco(QWidget* vista) : vista_(vista) {}
    // Enables each button as `activos` says.
    void activar(const QList<QAbstractButton*>& botones, const QList<bool>& activos);
    // Before the view replaces its buttons.
    void aparcar(const QList<QAbstractButton*>& botones);
    // After: to the button at the same place, or the first.
    void devolver(const QList<QAbstractButton*>& botones);

private:
    void aparcarEn(qsizetype lugar);

    QWidget* vista_;
    qsizetype lugar_ = 0;
};
