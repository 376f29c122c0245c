#include "ui/pie.h"

#include "core/store.h"
#include "ui/accesible.h"
#include "ui/tema.h"

#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

namespace {
constexpr int pasos = 1000;
}

Pie::Pie(Store& store, QWidget* parent) : QWidget(parent), store_(store) {
    setObjectName(QStringLiteral("footer"));
    tema::fondoDe(this, tema::panel());
    auto* pila = new QVBoxLayout(this);
    pila->setContentsMargins(12, 12, 12, 12);
    pila->setSpacing(8);

    estado_ = new QLabel(this);
    estado_->setObjectName(QStringLiteral("estado"));
    estado_->setTextFormat(Qt::PlainText);
    estado_->setFont(tema::sistema(12));
    tema::colorTexto(estado_, tema::con(tema::ink(), 0.75));
    estado_->setWordWrap(true);
    estado_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    estado_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    estado_->setAccessibleDescription(QStringLiteral("Estado"));
    pila->addWidget(estado_);

    barra_ = new QProgressBar(this);
    barra_->setObjectName(QStringLiteral("progreso"));
    barra_->setTextVisible(false);
    barra_->setFixedHeight(3);
    barra_->setAccessibleName(QStringLiteral("Progreso"));
    barra_->setStyleSheet(
        QStringLiteral("QProgressBar { background: %1; border: none; }"
                       " QProgressBar::chunk { background: %2; }")
            .arg(tema::css(tema::con(tema::line(), 0.45)), tema::css(tema::gold())));
    pila->addWidget(barra_);

    connect(&store_, &Store::statusChanged, this, [this] { anunciar(estado_, store_.status()); });
    connect(&store_, &Store::busyChanged, this, &Pie::mostrarProgreso);
    connect(&store_, &Store::progresoChanged, this, &Pie::mostrarProgreso);
    estado_->setText(store_.status());
    mostrarProgreso();
}

void Pie::mostrarProgreso() {
    barra_->setVisible(store_.busy());
    if (const auto progreso = store_.progreso()) {
        barra_->setRange(0, pasos);
        barra_->setValue(qRound(qBound(0.0, *progreso, 1.0) * pasos));
    } else {
        barra_->setRange(0, 0); // no known size: a running bar
    }
}
