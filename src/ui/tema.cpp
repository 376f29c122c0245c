#include "ui/tema.h"

namespace tema {
QColor gold() { return QColor::fromRgbF(0.831f, 0.706f, 0.514f); }
QColor ink() { return QColor::fromRgbF(0.93f, 0.9f, 0.84f); }
QColor panel() { return QColor::fromRgbF(0.09f, 0.086f, 0.078f); }
QColor line() { return QColor::fromRgbF(0.45f, 0.36f, 0.22f); }
QColor fondo() { return QColor::fromRgbF(0.045f, 0.043f, 0.038f); }
} // namespace tema
