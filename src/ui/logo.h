#pragma once

class QLabel;
class QWidget;
class Store;

// The maker's emblem from the application's resources at 92 by 92, or none when the picture is
// missing or unreadable (then no space is reserved for it).
QLabel* crearLogo(const Store& store, QWidget* parent);
