#include "ui/recortado.h"

#include <QPainter>

TextoRecortado::TextoRecortado(Qt::TextElideMode modo, QWidget* parent)
    : QLabel(parent), modo_(modo) {
    setTextFormat(Qt::PlainText);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

QSize TextoRecortado::minimumSizeHint() const {
    return {fontMetrics().horizontalAdvance(QChar(0x2026)), QLabel::minimumSizeHint().height()};
}

void TextoRecortado::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setFont(font());
    p.setPen(palette().color(foregroundRole()));
    const QRect r = contentsRect();
    p.drawText(r, int(alignment()) | Qt::TextSingleLine,
               fontMetrics().elidedText(text(), modo_, r.width()));
}
