#include "permanencia.h"

#include <QGuiApplication>
#include <QWidget>

void atarVentana(QGuiApplication& app, QWidget& ventana, bool sigue) {
    app.setQuitOnLastWindowClosed(!sigue);
    if (!sigue) return;
    // Qt reports a click on the dock icon as the application becoming active, even when it
    // already was.
    QObject::connect(&app, &QGuiApplication::applicationStateChanged, &ventana,
                     [&ventana](Qt::ApplicationState estado) {
                         if (estado != Qt::ApplicationActive || ventana.isVisible()) return;
                         ventana.show();
                         ventana.raise();
                         ventana.activateWindow();
                     });
}
