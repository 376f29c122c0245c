#pragma once

#include <QImage>
#include <QWidget>

// The picture box of the detail pane: the plug-in's screenshot across the pane's width at its
// own aspect ratio, or, without one, a dark 220-high box with the plug-in's name.
class Captura : public QWidget {
    Q_OBJECT
public:
    Captura(QImage imagen, const QString& nombre, QWidget* parent = nullptr);
    bool esMarcador() const { return imagen_.isNull(); }

    bool hasHeightForWidth() const override { return !esMarcador(); }
    int heightForWidth(int ancho) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return {0, esMarcador() ? alto : 0}; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    static constexpr int alto = 220;  // of the placeholder
    static constexpr int margen = 16; // around its name
    QImage imagen_;
    QString nombre_;
};
