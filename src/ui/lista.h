#pragma once

#include "core/plugin.h"

#include <QAbstractListModel>
#include <QListView>
#include <QPointer>
#include <QSet>
#include <QStyledItemDelegate>

#include <optional>

class Store;

// The rows of the list: the store's visible plug-ins, with their installed state and which one
// is selected. Rebuilt whole when the visible list changes; only the marks are refreshed when
// the installed set or the selection change.
class ModeloPlugins : public QAbstractListModel {
    Q_OBJECT
public:
    enum Rol { RolSubtitulo = Qt::UserRole + 1, RolInstalado, RolElegido, RolId };

    explicit ModeloPlugins(Store& store, QObject* parent = nullptr);
    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    void recargar();
    void marcar();
    // The row of the selected plug-in, or an invalid index when it is not listed.
    QModelIndex elegido() const;

private:
    Store& store_;
    QList<Plugin> filas_;
    QSet<QString> instalados_;
    std::optional<QString> elegido_;
};

// Paints one row: name over subtitle, the "INSTALADO" badge, the selected tint and the divider.
class DelegadoPlugin : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter*, const QStyleOptionViewItem&, const QModelIndex&) const override;
    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override;
};

class QScrollBar;

// The plug-in list, 280 wide. Choosing a row, by click or by the arrow, Home, End and page keys,
// selects its plug-in in the store; the selected row is kept in view. The scroll indicator lies
// over the rows, so the list's ground and its rows reach its right edge.
class ListaPlugins : public QListView {
    Q_OBJECT
public:
    explicit ListaPlugins(Store& store, QWidget* parent = nullptr);
    ModeloPlugins* modelo() const { return modelo_; }
    QScrollBar* indicador() const { return indicador_; }

protected:
    void keyPressEvent(QKeyEvent*) override;
    void focusInEvent(QFocusEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void updateGeometries() override;

private:
    void seguirEleccion();
    void colocarIndicador();

    Store& store_;
    ModeloPlugins* modelo_;
    QScrollBar* indicador_;
};
