#include "ui/lista.h"

#include "core/store.h"
#include "ui/tema.h"

#include <QPainter>

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
        Q_EMIT dataChanged(index(0), index(int(filas_.size()) - 1), {RolInstalado, RolElegido});
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
    : QListView(parent), modelo_(new ModeloPlugins(store, this)) {
    setObjectName(QStringLiteral("list"));
    setFixedWidth(280);
    setFrameShape(QFrame::NoFrame);
    setUniformItemSizes(true); // one height for every row keeps a long catalog fast
    setSelectionMode(QAbstractItemView::NoSelection);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setFocusPolicy(Qt::NoFocus);
    setItemDelegate(new DelegadoPlugin(this));
    setModel(modelo_);
    QPalette paleta = palette();
    paleta.setColor(QPalette::Base, tema::con(Qt::black, 0.18));
    setPalette(paleta);
    viewport()->setCursor(Qt::PointingHandCursor);
    tema::barrasFinas(this);

    connect(this, &QAbstractItemView::clicked, &store, [&store](const QModelIndex& index) {
        store.setSelectedID(index.data(ModeloPlugins::RolId).toString());
    });
    for (auto senal : {&Store::pluginsChanged, &Store::categoryChanged, &Store::queryChanged})
        connect(&store, senal, modelo_, &ModeloPlugins::recargar);
    for (auto senal : {&Store::installedChanged, &Store::selectedIDChanged})
        connect(&store, senal, modelo_, &ModeloPlugins::marcar);
}
