#pragma once

#include <QLabel>

// A one-line label that shortens its text with "…" when it is wider than the space it gets,
// instead of pushing its neighbours or being cut. text() and screen readers keep the whole text.
class TextoRecortado : public QLabel {
    Q_OBJECT
public:
    explicit TextoRecortado(Qt::TextElideMode modo, QWidget* parent = nullptr);
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    Qt::TextElideMode modo_;
};
