#include "ui/contentview.h"

#include "core/store.h"
#include "ui/acceso.h"
#include "ui/barralateral.h"
#include "ui/cabecera.h"
#include "ui/detalle.h"
#include "ui/foco.h"
#include "ui/lista.h"
#include "ui/pie.h"
#include "ui/tema.h"

#include <QHBoxLayout>
#include <QShowEvent>
#include <QStackedLayout>
#include <QVBoxLayout>

namespace {
// Fixed colours whatever the system's appearance: ink on the window background.
QPalette paleta(QPalette p) {
    p.setColor(QPalette::Window, tema::fondo());
    p.setColor(QPalette::Base, tema::fondo());
    p.setColor(QPalette::AlternateBase, tema::panel());
    p.setColor(QPalette::Button, tema::panel());
    for (auto rol : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText,
                     QPalette::ToolTipText, QPalette::BrightText})
        p.setColor(rol, tema::ink());
    p.setColor(QPalette::ToolTipBase, tema::panel());
    p.setColor(QPalette::Highlight, tema::con(tema::gold(), 0.45));
    p.setColor(QPalette::HighlightedText, tema::ink());
    p.setColor(QPalette::Light, tema::line());
    p.setColor(QPalette::Midlight, tema::line());
    p.setColor(QPalette::Mid, tema::panel());
    p.setColor(QPalette::Dark, tema::fondo());
    p.setColor(QPalette::Shadow, Qt::black);
    p.setColor(QPalette::PlaceholderText, tema::con(tema::ink(), 0.4));
    return p;
}
} // namespace

ContentView::ContentView(QWidget* parent) : ContentView(Entorno::delSistema(), parent) {}

ContentView::ContentView(Entorno entorno, QWidget* parent)
    : QWidget(parent), store_(std::make_unique<Store>(std::move(entorno))) {
    setPalette(paleta(palette()));
    setAutoFillBackground(true);
    setFont(tema::sistema(13));
    setMinimumSize(1180, 760);

    pantallas_ = new QStackedLayout(this);
    acceso_ = new Acceso(*store_, this);
    principal_ = ventanaPrincipal();
    pantallas_->addWidget(acceso_);
    pantallas_->addWidget(principal_);

    new MarcoFoco(this);

    connect(store_.get(), &Store::cuentaEmailChanged, this, &ContentView::mostrarPantalla);
    connect(barra_, &BarraLateral::controlesCambiados, this, &ContentView::ordenarTab);
    connect(detalle_, &Detalle::controlesCambiados, this, &ContentView::ordenarTab);
    ordenarTab();
    mostrarPantalla();
}

ContentView::~ContentView() {
    // The views hold on to the Store: they go first.
    delete acceso_;
    delete principal_;
}

QWidget* ContentView::ventanaPrincipal() {
    auto* ventana = new QWidget(this);
    auto* fila = new QHBoxLayout(ventana);
    fila->setContentsMargins(0, 0, 0, 0);
    fila->setSpacing(0);
    barra_ = new BarraLateral(*store_, ventana);
    fila->addWidget(barra_);

    auto* derecha = new QVBoxLayout;
    derecha->setSpacing(0);
    cabecera_ = new Cabecera(*store_, ventana);
    derecha->addWidget(cabecera_);
    auto* centro = new QHBoxLayout;
    centro->setSpacing(0);
    lista_ = new ListaPlugins(*store_, ventana);
    centro->addWidget(lista_);
    detalle_ = new Detalle(*store_, ventana);
    centro->addWidget(detalle_, 1);
    derecha->addLayout(centro, 1);
    pie_ = new Pie(*store_, ventana);
    derecha->addWidget(pie_);
    fila->addLayout(derecha, 1);
    return ventana;
}

void ContentView::ordenarTab() {
    // The side bar, the header, the list and the detail pane, as they are laid out; the
    // entries and the pane's buttons are built anew as the store changes.
    QList<QWidget*> orden = barra_->controles() + cabecera_->controles();
    orden.append(lista_);
    orden.append(detalle_->controles());
    orden.append(pie_->controles());
    for (qsizetype i = 1; i < orden.size(); ++i)
        setTabOrder(orden[i - 1], orden[i]);
}

void ContentView::mostrarPantalla() {
    const bool dentro = store_->cuentaEmail().has_value();
    pantallas_->setCurrentWidget(dentro ? principal_ : static_cast<QWidget*>(acceso_));
    // The keyboard starts where the screen's work is: the e-mail field, or the plug-in list.
    // Left to Qt, it would land on whatever comes first, such as "Cerrar sesión".
    QWidget* primero = dentro ? static_cast<QWidget*>(lista_) : acceso_->primerControl();
    primero->setFocus(Qt::OtherFocusReason);
}

void ContentView::showEvent(QShowEvent* evento) {
    QWidget::showEvent(evento);
    // Loaded once, when the window first appears; showing it again after a minimise keeps the
    // state as it is. The catalog comes in after the first frame, however large it is.
    if (cargado_ || evento->spontaneous()) return;
    cargado_ = true;
    store_->cargar();
}
