#include "ui/tema.h"

#include <QLabel>

#include <QAbstractScrollArea>
#include <QFontDatabase>
#include <QPalette>
#include <QScrollBar>
#include <QWidget>

namespace tema {
QColor gold() {
    return QColor::fromRgbF(0.831f, 0.706f, 0.514f);
}
QColor ink() {
    return QColor::fromRgbF(0.93f, 0.9f, 0.84f);
}
QColor panel() {
    return QColor::fromRgbF(0.09f, 0.086f, 0.078f);
}
QColor line() {
    return QColor::fromRgbF(0.45f, 0.36f, 0.22f);
}
QColor fondo() {
    return QColor::fromRgbF(0.045f, 0.043f, 0.038f);
}

QColor con(QColor color, qreal opacidad) {
    color.setAlphaF(static_cast<float>(opacidad));
    return color;
}

QString css(const QColor& color) {
    return QStringLiteral("rgba(%1, %2, %3, %4)")
        .arg(color.red())
        .arg(color.green())
        .arg(color.blue())
        .arg(color.alpha());
}

void instalarFuentes() {
    QFont::insertSubstitution(QStringLiteral("Didot"), QStringLiteral("GFS Didot"));
}

QFont didot(int tamano) {
    QFont f(QStringLiteral("Didot"));
    f.setPixelSize(tamano);
    f.setWeight(QFont::Normal);
    f.setStyleHint(QFont::Serif);
    return f;
}

QFont sistema(int tamano, QFont::Weight peso, qreal tracking) {
    QFont f = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    f.setPixelSize(tamano);
    f.setWeight(peso);
    if (tracking != 0) f.setLetterSpacing(QFont::AbsoluteSpacing, tracking);
    return f;
}

void colorTexto(QWidget* widget, const QColor& color) {
    QPalette p = widget->palette();
    p.setColor(QPalette::WindowText, color);
    p.setColor(QPalette::Text, color);
    p.setColor(QPalette::ButtonText, color);
    widget->setPalette(p);
}

void fondoDe(QWidget* widget, const QColor& color) {
    QPalette p = widget->palette();
    p.setColor(QPalette::Window, color);
    widget->setPalette(p);
    widget->setAutoFillBackground(true);
}

void barraFina(QScrollBar* barra) {
    barra->setStyleSheet(
        QStringLiteral("QScrollBar:vertical { background: transparent; width: 8px; margin: 0; }"
                       " QScrollBar::handle:vertical { background: %1; min-height: 24px;"
                       " border-radius: 3px; margin: 1px; }"
                       " QScrollBar::add-line, QScrollBar::sub-line { height: 0; }"
                       " QScrollBar::add-page, QScrollBar::sub-page { background: none; }")
            .arg(css(con(line(), 0.8))));
}

void barrasFinas(QAbstractScrollArea* area) {
    barraFina(area->verticalScrollBar());
}
QLabel* etiqueta(const QString& contenido, const QFont& fuente, const QColor& color,
                 QWidget* padre) {
    auto* l = new QLabel(contenido, padre);
    l->setTextFormat(Qt::PlainText);
    l->setFont(fuente);
    colorTexto(l, color);
    return l;
}

QLabel* textoCentrado(const QString& contenido, const QFont& fuente, const QColor& color,
                      QWidget* padre) {
    auto* l = etiqueta(contenido, fuente, color, padre);
    l->setAlignment(Qt::AlignHCenter);
    return l;
}

} // namespace tema
