#pragma once

class QApplication;
struct Entorno;

// Puts the maker's emblem from the bundle's resources on the application (dock and window
// icon). A missing or unreadable picture leaves the default icon, silently.
void ponerIcono(QApplication& app, const Entorno& entorno);
