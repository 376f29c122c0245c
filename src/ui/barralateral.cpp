#include "ui/barralateral.h"

#include "core/store.h"
#include "core/texto.h"
#include "ui/botones.h"
#include "ui/foco.h"
#include "ui/logo.h"
#include "ui/recortado.h"
#include "ui/tema.h"

#include <QHash>
#include <QLabel>
#include <QScrollArea>
#include <QVBoxLayout>

BarraLateral::BarraLateral(Store& store, QWidget* parent) : Parte(store, parent) {
    setObjectName(QStringLiteral("sidebar"));
    setFixedWidth(250);
    tema::fondoDe(this, tema::panel());

    // The entries' focus frame is drawn inside the scrolling area, outside each entry: the
    // area reaches that far into the side bar's padding and into the space above it, and
    // gives the same room back inside, so everything stays where it was.
    constexpr int holgura = MarcoFoco::alcance;
    auto* columna = new QVBoxLayout(this);
    columna->setContentsMargins(16 - holgura, 0, 16 - holgura, 0);
    columna->setSpacing(8 - holgura);

    auto* marca = new QWidget(this);
    auto* bloque = new QVBoxLayout(marca);
    bloque->setContentsMargins(holgura, 0, holgura, 12);
    bloque->setSpacing(8);
    if (QLabel* logo = crearLogo(store_, marca)) {
        bloque->addSpacing(22);
        bloque->addWidget(logo, 0, Qt::AlignHCenter);
    }
    bloque->addWidget(
        tema::textoCentrado(QStringLiteral("Quelo DSP"), tema::didot(28), tema::gold(), marca));
    bloque->addWidget(tema::textoCentrado(QStringLiteral("INSTALADOR"),
                                          tema::sistema(11, QFont::DemiBold, 3),
                                          tema::con(tema::gold(), 0.8), marca));
    tamano_ =
        tema::textoCentrado(QString(), tema::sistema(12), tema::con(tema::ink(), 0.55), marca);
    tamano_->setObjectName(QStringLiteral("tamano"));
    bloque->addWidget(tamano_);

    cuenta_ = new QWidget(marca);
    auto* pila = new QVBoxLayout(cuenta_);
    pila->setContentsMargins(0, 0, 0, 0);
    pila->setSpacing(4);
    // a long address keeps its start and its domain
    correo_ = new TextoRecortado(Qt::ElideMiddle, cuenta_);
    correo_->setFont(tema::sistema(11));
    tema::colorTexto(correo_, tema::con(tema::ink(), 0.7));
    correo_->setAlignment(Qt::AlignHCenter);
    correo_->setObjectName(QStringLiteral("cuenta"));
    pila->addWidget(correo_);
    salir_ = new BotonTexto(QStringLiteral("Cerrar sesión"), tema::gold(),
                            tema::sistema(12, QFont::DemiBold), cuenta_);
    pila->addWidget(salir_, 0, Qt::AlignHCenter);
    bloque->addWidget(cuenta_);
    columna->addWidget(marca);

    // Entries scroll when a long catalog has more categories than the window is high.
    auto* desplazable = new QScrollArea(this);
    desplazable->setFrameShape(QFrame::NoFrame);
    desplazable->setFocusPolicy(Qt::NoFocus); // Tab goes to the entries, not to the area
    desplazable->setWidgetResizable(true);
    desplazable->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    desplazable->viewport()->setAutoFillBackground(false);
    tema::barrasFinas(desplazable);
    auto* lista = new QWidget(desplazable);
    lista->setAutoFillBackground(false);
    entradas_ = new QVBoxLayout(lista);
    entradas_->setContentsMargins(holgura, holgura, holgura, holgura);
    entradas_->setSpacing(8);
    entradas_->addStretch(1);
    desplazable->setWidget(lista);
    columna->addWidget(desplazable, 1);

    connect(salir_, &QAbstractButton::clicked, &store_, &Store::salir);
    connect(&store_, &Store::pluginsChanged, this, &BarraLateral::mostrarCatalogo);
    connect(&store_, &Store::categoryChanged, this, &BarraLateral::mostrarCategoria);
    connect(&store_, &Store::cuentaEmailChanged, this, &BarraLateral::mostrarCuenta);
    mostrarCatalogo();
    mostrarCuenta();
}

void BarraLateral::mostrarCatalogo() {
    const QList<Plugin> plugins = store_.plugins();
    tamano_->setText(QString::number(plugins.size()) + QStringLiteral(" plugins"));

    for (const auto& [nombre, boton] : botones_)
        delete boton;
    botones_.clear();
    // Counted as the store compares categories: exactly, case and accents included, with
    // composed and decomposed forms of the same text equal.
    QHash<QString, int> cuentas;
    for (const Plugin& p : plugins)
        ++cuentas[nfc(p.category)];
    QList<QPair<QString, int>> filas{{kTodas, int(plugins.size())}};
    for (const QString& categoria : store_.categories())
        filas.append({categoria, cuentas.value(nfc(categoria))});
    QWidget* lista = entradas_->parentWidget();
    for (const auto& [nombre, n] : filas) {
        auto* boton = new BotonCategoria(
            nombre == kTodas ? QStringLiteral("Toda la suite") : nombre, n, lista);
        connect(boton, &QAbstractButton::clicked, &store_,
                [this, nombre = nombre] { store_.setCategory(nombre); });
        entradas_->insertWidget(entradas_->count() - 1, boton);
        botones_.append({nombre, boton});
    }
    mostrarCategoria();
    // top to bottom: "Cerrar sesión", then the entries
    QList<QWidget*> orden{salir_};
    for (const auto& [nombre, boton] : botones_)
        orden.append(boton);
    ponerControles(orden);
}

void BarraLateral::mostrarCategoria() {
    for (const auto& [nombre, boton] : botones_)
        boton->setElegida(mismoTexto(store_.category(), nombre));
}

void BarraLateral::mostrarCuenta() {
    const auto email = store_.cuentaEmail();
    correo_->setText(email.value_or(QString()));
    cuenta_->setVisible(email.has_value());
}
