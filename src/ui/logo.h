#pragma once

#include <QImage>

class QLabel;
class QString;
class QWidget;
class Store;

// The maker's emblem from a resource folder, or a null image when the picture is missing or
// unreadable. Decoded once and kept while the file stays the same: the access form, the side
// bar and the window icon all show it, and decoding the large picture took longer than building
// the rest of the window.
QImage imagenLogo(const QString& recursos);

// The maker's emblem from the application's resources at 92 by 92, or none when the picture is
// missing or unreadable (then no space is reserved for it).
QLabel* crearLogo(const Store& store, QWidget* parent);
