// The window, driven as a user would, off screen: each file holds one group of cases.
#include "ui/tema.h"

#include <QApplication>

int probarBotones(int argc, char** argv);
int probarAcceso(int argc, char** argv);
int probarCatalogo(int argc, char** argv);
int probarDetalle(int argc, char** argv);
int probarTeclado(int argc, char** argv);
int probarAccesible(int argc, char** argv);
int probarIdioma(int argc, char** argv);

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    tema::instalarFuentes();
    int fallos = 0;
    for (auto grupo : {probarBotones, probarAcceso, probarCatalogo, probarDetalle, probarTeclado,
                       probarAccesible, probarIdioma})
        fallos += grupo(argc, argv);
    return fallos == 0 ? 0 : 1;
}
