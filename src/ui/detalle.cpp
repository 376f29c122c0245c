#include "ui/detalle.h"

#include "core/store.h"
#include "core/texto.h"
#include "ui/botones.h"
#include "ui/captura.h"
#include "ui/tema.h"

#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QScrollArea>
#include <QStackedLayout>
#include <QVBoxLayout>

namespace {
QLabel* texto(const QString& contenido, const QFont& fuente, const QColor& color, QWidget* padre) {
    auto* l = tema::etiqueta(contenido, fuente, color, padre);
    l->setWordWrap(true);
    return l;
}

// The screenshot from the project folder, read afresh; a null image when there is none.
QImage imagenDe(const Store& store, const Plugin& plugin) {
    if (plugin.screenshot.isEmpty()) return {};
    const auto carpeta = store.root();
    if (!carpeta) return {};
    return QImage(unir(*carpeta, plugin.screenshot));
}
} // namespace

Detalle::Detalle(Store& store, QWidget* parent) : Parte(store, parent) {
    setObjectName(QStringLiteral("detail"));
    paginas_ = new QStackedLayout(this);

    vacio_ = new QWidget(this);
    auto* centro = new QVBoxLayout(vacio_);
    auto* elige = new QLabel(QStringLiteral("Elige un plugin."), vacio_);
    elige->setFont(tema::sistema(13));
    centro->addWidget(elige, 0, Qt::AlignCenter);
    paginas_->addWidget(vacio_);

    desplazable_ = new QScrollArea(this);
    desplazable_->setFrameShape(QFrame::NoFrame);
    desplazable_->setFocusPolicy(Qt::NoFocus); // Tab goes to the buttons; they scroll into view
    desplazable_->setWidgetResizable(true);
    desplazable_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    desplazable_->viewport()->setAutoFillBackground(false);
    tema::barrasFinas(desplazable_);
    paginas_->addWidget(desplazable_);

    for (auto senal : {&Store::pluginsChanged, &Store::categoryChanged, &Store::queryChanged,
                       &Store::selectedIDChanged, &Store::installedChanged, &Store::busyChanged})
        connect(&store_, senal, this, &Detalle::mostrar);
    mostrar();
}

void Detalle::mostrar() {
    const auto plugin = store_.selected();
    const Dibujado ahora{plugin, plugin && store_.installed().contains(plugin->id), store_.busy()};
    if (dibujado_ == ahora) return;
    const bool soloOcupado =
        dibujado_ && dibujado_->plugin == ahora.plugin && dibujado_->instalado == ahora.instalado;
    dibujado_ = ahora;
    if (soloOcupado) {
        espera_.activar(botones_, QList<bool>(botones_.size(), !ahora.ocupado));
        return;
    }
    espera_.aparcar(botones_);
    // The old content may hold the button whose click brought us here: it goes once that
    // click is over.
    if (QWidget* viejo = desplazable_->takeWidget()) {
        viejo->hide();
        viejo->deleteLater();
    }
    botones_.clear();
    if (plugin) {
        desplazable_->setWidget(contenido(*plugin, ahora.instalado, ahora.ocupado));
        paginas_->setCurrentWidget(desplazable_);
    } else {
        paginas_->setCurrentWidget(vacio_);
    }
    // the buttons of the plug-in shown
    ponerControles({botones_.begin(), botones_.end()});
    espera_.devolver(botones_);
}

QWidget* Detalle::contenido(const Plugin& plugin, bool instalado, bool ocupado) {
    auto* caja = new QWidget;
    caja->setAutoFillBackground(false);
    auto* pila = new QVBoxLayout(caja);
    pila->setContentsMargins(28, 28, 28, 28);
    pila->setSpacing(16);

    pila->addWidget(new Captura(imagenDe(store_, plugin), plugin.name, caja));
    pila->addWidget(texto(plugin.name, tema::didot(40), tema::gold(), caja));
    pila->addWidget(texto(plugin.subtitle.toUpper(), tema::sistema(12, QFont::DemiBold, 1.4),
                          tema::con(tema::ink(), 0.7), caja));
    pila->addWidget(texto(plugin.purpose, tema::sistema(16), tema::ink(), caja));

    auto* requisitos = new QVBoxLayout;
    requisitos->setSpacing(6);
    requisitos->addWidget(
        texto(QStringLiteral("REQUISITOS"), tema::sistema(11, QFont::Bold), tema::gold(), caja));
    QStringList lineas;
    for (const QString& r : plugin.requirements)
        lineas.append(QStringLiteral("·  ") + r);
    lineas.append(QStringLiteral("·  Formatos: AU y VST3"));
    lineas.append(QStringLiteral("·  Carpeta de fabricante en Ableton: ") + plugin.manufacturer);
    for (const QString& l : lineas)
        requisitos->addWidget(texto(l, tema::sistema(13), tema::ink(), caja));
    pila->addLayout(requisitos);

    auto* acciones = new QHBoxLayout;
    acciones->setSpacing(10);
    auto* instalar =
        new GoldButton(instalado ? QStringLiteral("Reinstalar") : QStringLiteral("Instalar"),
                       GoldButton::Relleno::Lleno, caja);
    instalar->setEnabled(!ocupado);
    // each button acts on the record as it was drawn
    connect(instalar, &QAbstractButton::clicked, &store_,
            [this, plugin] { store_.install(plugin); });
    acciones->addWidget(instalar, 0, Qt::AlignVCenter);
    botones_.append(instalar);
    if (instalado) {
        auto* quitar =
            new GoldButton(QStringLiteral("Quitar del sistema"), GoldButton::Relleno::Vacio, caja);
        quitar->setEnabled(!ocupado);
        connect(quitar, &QAbstractButton::clicked, &store_,
                [this, plugin] { store_.remove(plugin); });
        acciones->addWidget(quitar, 0, Qt::AlignVCenter);
        botones_.append(quitar);
    }
    acciones->addStretch(1);
    pila->addLayout(acciones);
    pila->addStretch(1);
    return caja;
}
