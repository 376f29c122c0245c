#pragma once

#include <QImage>

#include <functional>

class QLabel;
class QObject;
class QString;
class QWidget;
class Store;

// The maker's emblem from a resource folder, or a null image when the picture is missing or
// unreadable. Decoded once and kept while the file stays the same: the access form, the side
// bar and the window icon all show it. Callable from any thread.
QImage imagenLogo(const QString& recursos);

// Decodes the emblem beside the window's thread, then calls `usar` with it back on the window's
// thread, unless `destino` is gone by then: decoding the large picture took longer than
// building the rest of the window, and the first frame need not wait for it.
void conLogo(const QString& recursos, QObject* destino, std::function<void(const QImage&)> usar);

// The maker's emblem from the application's resources at 92 by 92, shown as soon as it is
// decoded, or none when the picture is missing (then no space is reserved for it; an unreadable
// one hides its place once that is known).
QLabel* crearLogo(const Store& store, QWidget* parent);
