#pragma once

#include <QString>

class QLineEdit;
class QWidget;

// A plain input without platform decoration: dark ground, 1-point frame in the line colour.
void estiloCampo(QLineEdit* campo, int padding);

// One captioned field of the access form: the caption in gold capitals above a 360-wide input,
// masked when secreto. The input carries the given object name.
enum class Eco { Visible, Oculto };
QWidget* campo(const QString& caption, const QString& nombre, Eco eco, QWidget* parent);
