#pragma once

class QGuiApplication;
class QWidget;

// How the application lives with its one window. Without `sigue`, closing the window quits.
// With it (Apple's way) the application keeps running without a window, and reopening it (a
// click on its dock icon) brings the same window back, its Store as it was.
void atarVentana(QGuiApplication& app, QWidget& ventana, bool sigue);
