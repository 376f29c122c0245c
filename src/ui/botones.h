#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QPushButton>

// The framed action button: solid gold with black text when filled, a gold frame with gold text
// otherwise. Both have the same size for the same label. It keeps its colours when disabled.
class GoldButton : public QPushButton {
    Q_OBJECT
public:
    enum class Relleno { Lleno, Vacio };
    GoldButton(const QString& texto, Relleno relleno, QWidget* parent = nullptr);
    bool filled() const { return filled_; }
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    bool filled_;
};

// A frameless button that is only its text.
class BotonTexto : public QAbstractButton {
    Q_OBJECT
public:
    BotonTexto(const QString& texto, const QColor& color, const QFont& fuente,
               QWidget* parent = nullptr);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QColor color_;
};

// One entry of the side bar: the title (at most two lines) at the leading edge and the count
// at the trailing edge, tinted and framed when it is the chosen category.
class BotonCategoria : public QAbstractButton {
    Q_OBJECT
    Q_PROPERTY(int cuenta READ cuenta)
    Q_PROPERTY(bool elegida READ elegida)
public:
    BotonCategoria(const QString& titulo, int cuenta, QWidget* parent = nullptr);
    int cuenta() const { return cuenta_; }
    bool elegida() const { return elegida_; }
    void setElegida(bool);
    // Number of lines the title takes at the current width (1 or 2).
    int lineasTitulo() const;

    QSize sizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int ancho) const override;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    struct Linea {
        QString texto;
        qreal y;
    };
    QList<Linea> lineas(int ancho) const;
    int anchoTitulo(int ancho) const;

    int cuenta_;
    bool elegida_ = false;
};
