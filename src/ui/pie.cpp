#include "ui/pie.h"

#include "core/store.h"
#include "ui/accesible.h"
#include "ui/botones.h"
#include "ui/tema.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

namespace {
constexpr int pasos = 1000;

void guardarSitio(QWidget* w) {
    QSizePolicy politica = w->sizePolicy();
    politica.setRetainSizeWhenHidden(true);
    w->setSizePolicy(politica);
}
} // namespace

Pie::Pie(Store& store, QWidget* parent) : Parte(store, parent) {
    setObjectName(QStringLiteral("footer"));
    tema::fondoDe(this, tema::panel());
    auto* pila = new QVBoxLayout(this);
    pila->setContentsMargins(12, 12, 12, 12);
    pila->setSpacing(8);

    estado_ = tema::etiqueta(QString(), tema::sistema(12), tema::con(tema::ink(), 0.75), this);
    estado_->setObjectName(QStringLiteral("estado"));
    estado_->setWordWrap(true);
    estado_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    estado_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    estado_->setAccessibleDescription(QStringLiteral("Estado"));
    auto* arriba = new QHBoxLayout;
    arriba->setSpacing(12);
    arriba->addWidget(estado_, 1);
    cancelar_ = new GoldButton(QStringLiteral("Cancelar"), GoldButton::Relleno::Vacio, this);
    guardarSitio(cancelar_);
    arriba->addWidget(cancelar_, 0, Qt::AlignVCenter);
    pila->addLayout(arriba);

    barra_ = new QProgressBar(this);
    barra_->setObjectName(QStringLiteral("progreso"));
    barra_->setTextVisible(false);
    barra_->setFixedHeight(3);
    barra_->setAccessibleName(QStringLiteral("Progreso"));
    barra_->setStyleSheet(
        QStringLiteral("QProgressBar { background: %1; border: none; }"
                       " QProgressBar::chunk { background: %2; }")
            .arg(tema::css(tema::con(tema::line(), 0.45)), tema::css(tema::gold())));
    guardarSitio(barra_);

    avance_ = tema::etiqueta(QString(), tema::sistema(11), tema::con(tema::ink(), 0.6), this);
    avance_->setObjectName(QStringLiteral("avance"));
    avance_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    avance_->setAccessibleName(QStringLiteral("Avance"));
    // One fixed size, wide enough for a long line: the figures change many times a second, and
    // a label whose size cannot change leaves the footer's layout alone (laying it out again,
    // with its wrapped status text, took milliseconds each time). The bar keeps its length too.
    const QFontMetrics medidas = avance_->fontMetrics();
    avance_->setFixedSize(
        medidas.horizontalAdvance(QStringLiteral("888 de 888 · 8888 MB de 8888 MB")),
        medidas.height());
    guardarSitio(avance_);
    auto* abajo = new QHBoxLayout;
    abajo->setSpacing(12);
    abajo->addWidget(barra_, 1, Qt::AlignVCenter);
    abajo->addWidget(avance_, 0, Qt::AlignVCenter);
    pila->addLayout(abajo);

    connect(cancelar_, &QAbstractButton::clicked, &store_, &Store::cancelar);
    connect(&store_, &Store::statusChanged, this, [this] { anunciar(estado_, store_.status()); });
    connect(&store_, &Store::busyChanged, this, &Pie::mostrarProgreso);
    connect(&store_, &Store::progresoChanged, this, &Pie::mostrarProgreso);
    connect(&store_, &Store::avanceChanged, this, &Pie::mostrarProgreso);
    estado_->setText(store_.status());
    mostrarProgreso();
    ponerControles({cancelar_});
}

void Pie::mostrarProgreso() {
    const bool ocupado = store_.busy();
    if (!ocupado) espera_.aparcar({cancelar_});
    cancelar_->setVisible(ocupado);
    if (ocupado) espera_.devolver({cancelar_});
    barra_->setVisible(ocupado);
    if (avance_->text() != store_.avance()) avance_->setText(store_.avance());
    avance_->setVisible(ocupado);
    if (const auto progreso = store_.progreso()) {
        barra_->setRange(0, pasos);
        barra_->setValue(qRound(qBound(0.0, *progreso, 1.0) * pasos));
    } else {
        barra_->setRange(0, 0); // no known size: a running bar
    }
}
