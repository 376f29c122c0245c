#include "ui/lista.h"

#include "core/store.h"
#include "ui/tema.h"

#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>

namespace {
constexpr int padH = 14, padV = 10, entreLineas = 2, hueco = 8;
const QString insignia = QStringLiteral("INSTALADO");

QFont fuenteNombre() {
    return tema::sistema(14, QFont::DemiBold);
}
QFont fuenteSubtitulo() {
    return tema::sistema(11);
}
QFont fuenteInsignia() {
    return tema::sistema(9, QFont::Bold);
}
} // namespace

ModeloPlugins::ModeloPlugins(Store& store, QObject* parent)
    : QAbstractListModel(parent), store_(store) {
    recargar();
}

int ModeloPlugins::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(filas_.size());
}

QVariant ModeloPlugins::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= filas_.size()) return {};
    const Plugin& p = filas_[index.row()];
    switch (role) {
    case Qt::DisplayRole:
        return p.name;
    case RolSubtitulo:
        return p.subtitle;
    case RolInstalado:
        return instalados_.contains(p.id);
    case RolElegido:
        return elegido_ && *elegido_ == p.id;
    case RolId:
        return p.id;
    case Qt::AccessibleTextRole: {
        QStringList partes{p.name};
        if (!p.subtitle.isEmpty()) partes.append(p.subtitle);
        if (instalados_.contains(p.id)) partes.append(QStringLiteral("instalado"));
        return partes.join(QStringLiteral(", "));
    }
    default:
        return {};
    }
}

void ModeloPlugins::recargar() {
    beginResetModel();
    filas_ = store_.visible();
    instalados_ = store_.installed();
    const auto elegido = store_.selected();
    elegido_ = elegido ? std::optional<QString>(elegido->id) : std::nullopt;
    endResetModel();
}

void ModeloPlugins::marcar() {
    instalados_ = store_.installed();
    const auto elegido = store_.selected();
    elegido_ = elegido ? std::optional<QString>(elegido->id) : std::nullopt;
    if (!filas_.isEmpty())
        Q_EMIT dataChanged(index(0), index(int(filas_.size()) - 1),
                           {RolInstalado, RolElegido, Qt::AccessibleTextRole});
}

QModelIndex ModeloPlugins::elegido() const {
    if (!elegido_) return {};
    for (qsizetype i = 0; i < filas_.size(); ++i)
        if (filas_[i].id == *elegido_) return index(int(i));
    return {};
}

QSize DelegadoPlugin::sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const {
    const int alto = QFontMetrics(fuenteNombre()).height() + entreLineas +
                     QFontMetrics(fuenteSubtitulo()).height() + 2 * padV;
    return {280, alto + 1}; // and the divider under the row
}

void DelegadoPlugin::paint(QPainter* p, const QStyleOptionViewItem& opcion,
                           const QModelIndex& index) const {
    p->save();
    const QRect fila = opcion.rect.adjusted(0, 0, 0, -1);
    if (index.data(ModeloPlugins::RolElegido).toBool())
        p->fillRect(fila, tema::con(tema::gold(), 0.12));

    int derecha = fila.right() - padH;
    if (index.data(ModeloPlugins::RolInstalado).toBool()) {
        p->setFont(fuenteInsignia());
        p->setPen(tema::con(tema::ink(), 0.45));
        const int ancho = QFontMetrics(fuenteInsignia()).horizontalAdvance(insignia);
        p->drawText(QRect(derecha - ancho, fila.top(), ancho + 1, fila.height()),
                    Qt::AlignRight | Qt::AlignVCenter, insignia);
        derecha -= ancho + hueco;
    }

    const QFontMetrics mNombre(fuenteNombre()), mSub(fuenteSubtitulo());
    const int izquierda = fila.left() + padH;
    const int ancho = qMax(0, derecha - izquierda);
    const int alto = mNombre.height() + entreLineas + mSub.height();
    const int arriba = fila.top() + (fila.height() - alto) / 2;
    p->setFont(fuenteNombre());
    p->setPen(tema::ink());
    p->drawText(QPoint(izquierda, arriba + mNombre.ascent()),
                mNombre.elidedText(index.data(Qt::DisplayRole).toString(), Qt::ElideRight, ancho));
    p->setFont(fuenteSubtitulo());
    p->setPen(tema::con(tema::ink(), 0.55));
    p->drawText(
        QPoint(izquierda, arriba + mNombre.height() + entreLineas + mSub.ascent()),
        mSub.elidedText(index.data(ModeloPlugins::RolSubtitulo).toString(), Qt::ElideRight, ancho));

    p->fillRect(QRect(opcion.rect.left(), opcion.rect.bottom(), opcion.rect.width(), 1),
                tema::con(tema::line(), 0.35));
    p->restore();
}

ListaPlugins::ListaPlugins(Store& store, QWidget* parent)
    : QListView(parent), store_(store), modelo_(new ModeloPlugins(store, this)),
      indicador_(new QScrollBar(Qt::Vertical, this)) {
    setObjectName(QStringLiteral("list"));
    setAccessibleName(QStringLiteral("Plugins"));
    setFixedWidth(280);
    setFrameShape(QFrame::NoFrame);
    setUniformItemSizes(true); // one height for every row keeps a long catalog fast
    // The view's selection follows the store's, so screen readers hear which row is chosen;
    // the rows paint the store's choice themselves.
    setSelectionMode(QAbstractItemView::SingleSelection);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff); // the indicator stands in for it
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setItemDelegate(new DelegadoPlugin(this));
    setModel(modelo_);
    QPalette paleta = palette();
    paleta.setColor(QPalette::Base, tema::con(Qt::black, 0.18));
    setPalette(paleta);
    viewport()->setCursor(Qt::PointingHandCursor);

    tema::barraFina(indicador_);
    indicador_->setFocusPolicy(Qt::NoFocus);
    indicador_->hide();
    QScrollBar* propia = verticalScrollBar();
    connect(propia, &QScrollBar::valueChanged, indicador_, &QScrollBar::setValue);
    connect(indicador_, &QScrollBar::valueChanged, propia, &QScrollBar::setValue);
    connect(propia, &QScrollBar::rangeChanged, this, &ListaPlugins::colocarIndicador);

    connect(this, &QAbstractItemView::clicked, this, [this](const QModelIndex& index) {
        store_.setSelectedID(index.data(ModeloPlugins::RolId).toString());
        seguirEleccion(); // a click on the chosen row changes nothing in the store
    });
    for (auto senal : {&Store::pluginsChanged, &Store::categoryChanged, &Store::queryChanged})
        connect(&store, senal, modelo_, &ModeloPlugins::recargar);
    for (auto senal : {&Store::installedChanged, &Store::selectedIDChanged})
        connect(&store, senal, modelo_, &ModeloPlugins::marcar);
    connect(&store, &Store::selectedIDChanged, this, &ListaPlugins::seguirEleccion);
    connect(modelo_, &QAbstractItemModel::modelReset, this, &ListaPlugins::seguirEleccion);
    seguirEleccion();
}

void ListaPlugins::seguirEleccion() {
    const QModelIndex fila = modelo_->elegido();
    if (!fila.isValid()) {
        selectionModel()->clear();
        return;
    }
    selectionModel()->setCurrentIndex(fila, QItemSelectionModel::ClearAndSelect);
    scrollTo(fila);
}

void ListaPlugins::keyPressEvent(QKeyEvent* evento) {
    QListView::keyPressEvent(evento);
    const QModelIndex actual = currentIndex();
    if (actual.isValid()) {
        const QString id = actual.data(ModeloPlugins::RolId).toString();
        if (store_.selectedID() != id) store_.setSelectedID(id);
    }
    seguirEleccion();
}

void ListaPlugins::focusInEvent(QFocusEvent* evento) {
    QListView::focusInEvent(evento);
    // Qt makes the first row current on entry; here it stays the chosen one, or none, until a
    // key moves it.
    seguirEleccion();
}

void ListaPlugins::resizeEvent(QResizeEvent* evento) {
    QListView::resizeEvent(evento);
    colocarIndicador();
}

void ListaPlugins::updateGeometries() {
    QListView::updateGeometries();
    colocarIndicador();
}

void ListaPlugins::colocarIndicador() {
    const QScrollBar* propia = verticalScrollBar();
    indicador_->setRange(propia->minimum(), propia->maximum());
    indicador_->setPageStep(propia->pageStep());
    indicador_->setSingleStep(propia->singleStep());
    indicador_->setValue(propia->value());
    const QRect area = viewport()->geometry();
    const int ancho = indicador_->sizeHint().width();
    indicador_->setGeometry(area.right() - ancho + 1, area.top(), ancho, area.height());
    indicador_->setVisible(propia->maximum() > propia->minimum());
    indicador_->raise();
}
