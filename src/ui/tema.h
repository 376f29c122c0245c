#pragma once

#include <QColor>

// The one dark, gold-on-black look.
namespace tema {
QColor gold();
QColor ink();
QColor panel();
QColor line();
QColor fondo(); // the window background
} // namespace tema
