#pragma once

#include <QColor>
#include <QFont>
#include <QString>

class QAbstractScrollArea;
class QLabel;
class QScrollBar;
class QWidget;

// The one dark, gold-on-black look. Sizes are in device-independent pixels, the unit the
// layout is drawn in, so a 13-point text is 13 pixels high on a standard display.
namespace tema {
QColor gold();
QColor ink();
QColor panel();
QColor line();
QColor fondo(); // the window background

// A colour at reduced strength.
QColor con(QColor color, qreal opacidad);
// "rgba(r, g, b, a)" for the few style sheets (input fields).
QString css(const QColor& color);

// Makes "Didot" resolve to "GFS Didot" where Didot itself is absent. Call once at start.
void instalarFuentes();

// The display face for brand names and large titles, regular weight.
QFont didot(int tamano);
// The system face at a fixed size; tracking is the extra space between letters.
QFont sistema(int tamano, QFont::Weight peso = QFont::Normal, qreal tracking = 0);

// A plain-text label (never read as markup) in a face and colour.
QLabel* etiqueta(const QString& contenido, const QFont& fuente, const QColor& color,
                 QWidget* padre);
// The same, centred.
QLabel* textoCentrado(const QString& contenido, const QFont& fuente, const QColor& color,
                      QWidget* padre);
// Text colour of a label-like widget.
void colorTexto(QWidget* widget, const QColor& color);
// A flat background filling the widget.
void fondoDe(QWidget* widget, const QColor& color);
// A slim scroll indicator in the line colour on a clear ground.
void barraFina(QScrollBar* barra);
// The same for a scrolling area's vertical bar.
void barrasFinas(QAbstractScrollArea* area);
} // namespace tema
