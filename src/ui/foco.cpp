#include "ui/foco.h"

#include "ui/tema.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPainter>

namespace {
// Where the frame lives: the window, or the viewport of the scrolling area the control sits in,
// so that it scrolls with the control and is cut where the control is.
QWidget* contenedorDe(QWidget* control) {
    QWidget* anterior = control;
    for (QWidget* p = control->parentWidget(); p; anterior = p, p = p->parentWidget()) {
        if (p->isWindow()) return p;
        const auto* area = qobject_cast<QAbstractScrollArea*>(p);
        if (area && anterior != control && area->viewport() == anterior) return anterior;
    }
    return control->window();
}

bool porTeclado(Qt::FocusReason razon) {
    return razon == Qt::TabFocusReason || razon == Qt::BacktabFocusReason ||
           razon == Qt::ShortcutFocusReason;
}
} // namespace

MarcoFoco::MarcoFoco(QWidget* ventana) : QWidget(ventana), ventana_(ventana) {
    setObjectName(QStringLiteral("marcoFoco"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoChildEventsForParent);
    setFocusPolicy(Qt::NoFocus);
    hide();
    // Focus, clicks and the moves of the control reach the frame from anywhere in the window.
    qApp->installEventFilter(this);
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget*, QWidget* ahora) { seguir(ahora); });
    seguir(QApplication::focusWidget());
}

void MarcoFoco::seguir(QWidget* control) {
    const bool nuestro = control && ventana_ && control != this && control != ventana_ &&
                         ventana_->isAncestorOf(control) && (control->focusPolicy() & Qt::TabFocus);
    control_ = nuestro ? control : nullptr;
    cadena_.clear();
    if (control_) {
        QWidget* contenedor = contenedorDe(control_);
        for (QWidget* w = control_; w && w != contenedor; w = w->parentWidget())
            cadena_.append(w);
        if (parentWidget() != contenedor) setParent(contenedor);
    }
    colocar();
}

void MarcoFoco::colocar() {
    const bool campo = qobject_cast<QLineEdit*>(control_.data()) != nullptr;
    if (!control_ || !control_->isVisible() || !(teclado_ || campo)) {
        hide();
        return;
    }
    const QRect r(control_->mapTo(parentWidget(), QPoint(0, 0)), control_->size());
    setGeometry(r.adjusted(-alcance, -alcance, alcance, alcance));
    setMask(QRegion(rect()) - QRegion(rect().adjusted(grosor, grosor, -grosor, -grosor)));
    raise();
    show();
}

bool MarcoFoco::vigilado(QObject* objeto) const {
    for (const QPointer<QWidget>& w : cadena_)
        if (w == objeto) return true;
    return false;
}

bool MarcoFoco::eventFilter(QObject* objeto, QEvent* evento) {
    switch (evento->type()) {
    case QEvent::FocusIn:
        if (porTeclado(static_cast<QFocusEvent*>(evento)->reason())) teclado_ = true;
        if (objeto == control_) colocar();
        break;
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        if (auto* w = qobject_cast<QWidget*>(objeto);
            w && ventana_ && (w == ventana_ || ventana_->isAncestorOf(w))) {
            teclado_ = evento->type() == QEvent::KeyPress;
            colocar();
        }
        break;
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Show:
    case QEvent::Hide:
        if (vigilado(objeto)) colocar();
        break;
    case QEvent::ParentChange:
        if (vigilado(objeto)) seguir(control_);
        break;
    default:
        break;
    }
    return false;
}

void MarcoFoco::paintEvent(QPaintEvent*) {
    // the mask leaves only the ring outside the control
    QPainter(this).fillRect(rect(), tema::gold());
}

void EsperaDeFoco::aparcarEn(qsizetype lugar) {
    lugar_ = lugar;
    vista_->setFocus(Qt::OtherFocusReason);
}

void EsperaDeFoco::activar(const QList<QAbstractButton*>& botones, const QList<bool>& activos) {
    for (qsizetype i = 0; i < botones.size(); ++i)
        if (!activos.value(i) && botones[i]->hasFocus()) aparcarEn(i);
    for (qsizetype i = 0; i < botones.size(); ++i)
        botones[i]->setEnabled(activos.value(i));
    if (vista_->hasFocus() && lugar_ < botones.size() && activos.value(lugar_))
        botones[lugar_]->setFocus(Qt::OtherFocusReason);
}

void EsperaDeFoco::aparcar(const QList<QAbstractButton*>& botones) {
    for (qsizetype i = 0; i < botones.size(); ++i)
        if (botones[i]->hasFocus()) aparcarEn(i);
}

void EsperaDeFoco::devolver(const QList<QAbstractButton*>& botones) {
    if (!vista_->hasFocus() || botones.isEmpty()) return;
    QAbstractButton* boton = botones.value(lugar_, botones.first());
    if (boton->isEnabled()) boton->setFocus(Qt::OtherFocusReason);
}
