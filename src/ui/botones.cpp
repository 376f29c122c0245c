#include "ui/botones.h"

#include "ui/tema.h"

#include <QPainter>
#include <QPixmap>
#include <QTextLayout>

namespace {
constexpr int padH = 14, padV = 8;                    // GoldButton
constexpr int catPadH = 8, catPadV = 7, catHueco = 8; // category entry
constexpr qreal pulsado = 0.7;
} // namespace

GoldButton::GoldButton(const QString& texto, Relleno relleno, QWidget* parent)
    : QPushButton(texto, parent), filled_(relleno == Relleno::Lleno) {
    setFont(tema::sistema(13, QFont::DemiBold));
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus); // a click leaves the focus where it was
}

QSize GoldButton::sizeHint() const {
    const QFontMetrics fm(font());
    return {fm.horizontalAdvance(text()) + 2 * padH, fm.height() + 2 * padV};
}

void GoldButton::paintEvent(QPaintEvent*) {
    // Drawn whole into a layer first, so that the pressed opacity applies to the finished
    // button and not to each stroke over the other.
    const qreal escala = devicePixelRatioF();
    QPixmap capa(size() * escala);
    capa.setDevicePixelRatio(escala);
    capa.fill(Qt::transparent);
    {
        QPainter p(&capa);
        const QRect r(QPoint(0, 0), size());
        if (filled_) p.fillRect(r, tema::gold());
        p.setPen(filled_ ? QColor(Qt::black) : tema::gold());
        p.setFont(font());
        p.drawText(r, Qt::AlignCenter, text());
        // the frame lies over the padded label, inside its bounds
        p.setPen(QPen(tema::gold(), 1, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
        p.setBrush(Qt::NoBrush);
        p.drawRect(r.adjusted(0, 0, -1, -1));
    }
    QPainter p(this);
    p.setOpacity(isDown() ? pulsado : 1.0);
    p.drawPixmap(0, 0, capa);
}

BotonTexto::BotonTexto(const QString& texto, const QColor& color, const QFont& fuente,
                       QWidget* parent)
    : QAbstractButton(parent), color_(color) {
    setText(texto);
    setFont(fuente);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
}

QSize BotonTexto::sizeHint() const {
    const QFontMetrics fm(font());
    return {fm.horizontalAdvance(text()) + 2, fm.height()};
}

void BotonTexto::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setOpacity(isDown() ? pulsado : 1.0);
    p.setPen(color_);
    p.setFont(font());
    p.drawText(rect(), Qt::AlignCenter, text());
}

BotonCategoria::BotonCategoria(const QString& titulo, int cuenta, QWidget* parent)
    : QAbstractButton(parent), cuenta_(cuenta) {
    setText(titulo);
    setFont(tema::sistema(13));
    QSizePolicy politica(QSizePolicy::Preferred, QSizePolicy::Preferred);
    politica.setHeightForWidth(true); // one or two lines, as the width allows
    setSizePolicy(politica);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    setAccessibleName(titulo + QStringLiteral(", ") + QString::number(cuenta) +
                      (cuenta == 1 ? QStringLiteral(" plugin") : QStringLiteral(" plugins")));
}

void BotonCategoria::setElegida(bool v) {
    if (elegida_ == v) return;
    elegida_ = v;
    setAccessibleDescription(v ? QStringLiteral("Elegida") : QString());
    setFont(tema::sistema(13, v ? QFont::DemiBold : QFont::Normal));
    updateGeometry();
    update();
}

int BotonCategoria::anchoTitulo(int ancho) const {
    const QFontMetrics fm(font());
    return qMax(1, ancho - 2 * catPadH - catHueco - fm.horizontalAdvance(QString::number(cuenta_)));
}

QList<BotonCategoria::Linea> BotonCategoria::lineas(int ancho) const {
    const int disponible = anchoTitulo(ancho);
    const QFontMetrics fm(font());
    QTextLayout layout(text(), font());
    QTextOption opcion;
    opcion.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(opcion);
    QList<Linea> resultado;
    layout.beginLayout();
    qreal y = 0;
    for (QTextLine l = layout.createLine(); l.isValid(); l = layout.createLine()) {
        l.setLineWidth(disponible);
        if (resultado.size() == 1) {
            // the second line takes whatever is left, shortened with an ellipsis
            const QString resto = text().mid(l.textStart());
            resultado.append({fm.elidedText(resto, Qt::ElideRight, disponible), y});
            break;
        }
        resultado.append({text().mid(l.textStart(), l.textLength()).trimmed(), y});
        y += fm.lineSpacing();
    }
    layout.endLayout();
    if (resultado.isEmpty()) resultado.append({QString(), 0});
    return resultado;
}

int BotonCategoria::lineasTitulo() const {
    return int(lineas(width()).size());
}

int BotonCategoria::heightForWidth(int ancho) const {
    const QFontMetrics fm(font());
    const auto n = lineas(ancho).size();
    return int(n) * fm.height() + int(n - 1) * (fm.lineSpacing() - fm.height()) + 2 * catPadV;
}

QSize BotonCategoria::sizeHint() const {
    const QFontMetrics fm(font());
    const int ancho = fm.horizontalAdvance(text()) +
                      fm.horizontalAdvance(QString::number(cuenta_)) + 2 * catPadH + catHueco;
    return {ancho, fm.height() + 2 * catPadV};
}

void BotonCategoria::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setOpacity(isDown() ? pulsado : 1.0);
    const QRect r = rect();
    if (elegida_) {
        p.fillRect(r, tema::con(tema::gold(), 0.16));
        p.setPen(QPen(tema::line(), 1));
        p.drawRect(r.adjusted(0, 0, -1, -1));
    }
    p.setFont(font());
    const QFontMetrics fm(font());
    const auto partes = lineas(r.width());
    const int alto = int(partes.size()) * fm.height() +
                     int(partes.size() - 1) * (fm.lineSpacing() - fm.height());
    const int arriba = (r.height() - alto) / 2;
    p.setPen(tema::ink());
    for (const Linea& l : partes)
        p.drawText(QPointF(catPadH, arriba + l.y + fm.ascent()), l.texto);
    p.setPen(tema::con(tema::gold(), 0.8));
    p.drawText(r.adjusted(catPadH, 0, -catPadH, 0), Qt::AlignRight | Qt::AlignVCenter,
               QString::number(cuenta_));
}
