#include "ui/captura.h"

#include "ui/accesible.h"
#include "ui/tema.h"

#include <QPainter>

Captura::Captura(QImage imagen, const QString& nombre, QWidget* parent)
    : QWidget(parent), imagen_(std::move(imagen)), nombre_(nombre) {
    setObjectName(QStringLiteral("screenshot"));
    QSizePolicy politica(QSizePolicy::Expanding, QSizePolicy::Preferred);
    politica.setHeightForWidth(!esMarcador());
    setSizePolicy(politica);
    if (esMarcador()) setFixedHeight(alto);
    comoImagen(this, nombre);
}

int Captura::heightForWidth(int ancho) const {
    if (esMarcador()) return alto;
    return qRound(qreal(ancho) * imagen_.height() / qMax(1, imagen_.width()));
}

QSize Captura::sizeHint() const {
    if (esMarcador()) return {400, alto};
    return {400, heightForWidth(400)};
}

void Captura::paintEvent(QPaintEvent*) {
    QPainter p(this);
    QRect r = rect();
    if (esMarcador()) {
        p.fillRect(r, tema::con(Qt::black, 0.45));
        p.setFont(tema::didot(32));
        p.setPen(tema::gold());
        // a name wider than the box is shortened, clear of the frame
        const QRect texto = r.adjusted(margen, 0, -margen, 0);
        p.drawText(texto, Qt::AlignCenter,
                   p.fontMetrics().elidedText(nombre_, Qt::ElideRight, texto.width()));
    } else {
        // fitted with its aspect ratio kept, should the layout give a slightly other height
        const QSize encajada = imagen_.size().scaled(r.size(), Qt::KeepAspectRatio);
        r = QRect(r.left() + (r.width() - encajada.width()) / 2, r.top(), encajada.width(),
                  encajada.height());
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(r, imagen_);
    }
    p.setPen(QPen(tema::line(), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(r.adjusted(0, 0, -1, -1));
}
