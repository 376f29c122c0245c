#include "icono.h"
#include "permanencia.h"
#include "ui/contentview.h"
#include "ui/idioma.h"
#include "ui/tema.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quelo Instalador"));
    QApplication::setOrganizationName(QStringLiteral("Quelo DSP"));
    QApplication::setStyle(QStringLiteral("Fusion"));
    tema::instalarFuentes();

    const Entorno entorno = Entorno::delSistema();
    // Qt's own messages (network, TLS) in Spanish like the rest; without the file they stay
    // in English and everything else works.
    cargarIdioma(entorno.recursos);
    // Once the event loop runs, like the dock icon set when launching has finished.
    QTimer::singleShot(0, &app, [&app, &entorno] { ponerIcono(app, entorno); });

    ContentView ventana(entorno);
    atarVentana(app, ventana, sigueSinVentana());
    ventana.show();
    app.exec();
    return 0;
}
