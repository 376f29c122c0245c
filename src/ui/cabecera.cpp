#include "ui/cabecera.h"

#include "core/store.h"
#include "ui/botones.h"
#include "ui/campos.h"
#include "ui/recortado.h"
#include "ui/tema.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

Cabecera::Cabecera(Store& store, QWidget* parent) : Parte(store, parent) {
    setObjectName(QStringLiteral("header"));
    auto* fila = new QHBoxLayout(this);
    fila->setContentsMargins(18, 18, 18, 18);
    fila->setSpacing(14);

    // a long category name gives way to the search field and the buttons
    titulo_ = new TextoRecortado(Qt::ElideRight, this);
    titulo_->setObjectName(QStringLiteral("titulo"));
    titulo_->setFont(tema::didot(26));
    tema::colorTexto(titulo_, tema::gold());
    fila->addWidget(titulo_, 0, Qt::AlignVCenter);
    fila->addStretch(1);

    buscar_ = new QLineEdit(this);
    buscar_->setObjectName(QStringLiteral("buscar"));
    buscar_->setPlaceholderText(QStringLiteral("Buscar plugin"));
    buscar_->setAccessibleName(QStringLiteral("Buscar plugin"));
    estiloCampo(buscar_, 8);
    QPalette paleta = buscar_->palette();
    paleta.setColor(QPalette::PlaceholderText, tema::con(tema::ink(), 0.4));
    buscar_->setPalette(paleta);
    buscar_->setFixedWidth(220);
    fila->addWidget(buscar_, 0, Qt::AlignVCenter);

    bajar_ = new GoldButton(QStringLiteral("Bajar comprados"), GoldButton::Relleno::Lleno, this);
    fila->addWidget(bajar_, 0, Qt::AlignVCenter);
    instalarTodos_ =
        new GoldButton(QStringLiteral("Instalar todos"), GoldButton::Relleno::Vacio, this);
    instalarTodos_->setToolTip(QStringLiteral("Instala todos los plugins de la lista"));
    fila->addWidget(instalarTodos_, 0, Qt::AlignVCenter);

    connect(buscar_, &QLineEdit::textEdited, &store_, &Store::setQuery);
    connect(bajar_, &QAbstractButton::clicked, &store_, &Store::bajarComprados);
    connect(instalarTodos_, &QAbstractButton::clicked, &store_, &Store::installVisible);

    connect(&store_, &Store::categoryChanged, this, &Cabecera::mostrarTitulo);
    connect(&store_, &Store::queryChanged, this, &Cabecera::mostrarBusqueda);
    for (auto senal : {&Store::busyChanged, &Store::pluginsChanged, &Store::categoryChanged,
                       &Store::queryChanged})
        connect(&store_, senal, this, &Cabecera::mostrarBotones);
    mostrarTitulo();
    mostrarBusqueda();
    mostrarBotones();
    // left to right
    ponerControles({buscar_, bajar_, instalarTodos_});
}

void Cabecera::mostrarTitulo() {
    const QString categoria = store_.category();
    titulo_->setText(categoria == kTodas ? QStringLiteral("Suite completa") : categoria);
}

void Cabecera::mostrarBusqueda() {
    // Only when the store's text differs, so typing keeps the cursor where it is.
    if (buscar_->text() != store_.query()) buscar_->setText(store_.query());
}

void Cabecera::mostrarBotones() {
    const bool libre = !store_.busy();
    espera_.activar({bajar_, instalarTodos_}, {libre, libre && !store_.visible().isEmpty()});
}
