#pragma once

#include <QString>

class QLabel;
class QWidget;

// Shows a new text on a status line and tells screen readers, so that they read it out.
void anunciar(QLabel* estado, const QString& texto);

// Makes a widget that paints a picture itself known to screen readers as a picture named
// `nombre`.
void comoImagen(QWidget* imagen, const QString& nombre);
