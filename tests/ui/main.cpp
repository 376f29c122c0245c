#include "ejecutable.h"
#include "ui/tema.h"

#include <QApplication>

// The window tests, off screen, in the style and with the faces the application uses.
int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    tema::instalarFuentes();
    return ejecutarPruebas(argc, argv);
}
