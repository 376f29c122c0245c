// The install area's test classes, run one after another in one executable.
#include <QCoreApplication>

int pruebaDestinos(int argc, char** argv);
int pruebaHerramientas(int argc, char** argv);
int pruebaInstalar(int argc, char** argv);
int pruebaQuitar(int argc, char** argv);
int pruebaReemplazo(int argc, char** argv);
int pruebaCortes(int argc, char** argv);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    int fallos = 0;
    fallos += pruebaDestinos(argc, argv);
    fallos += pruebaInstalar(argc, argv);
    fallos += pruebaQuitar(argc, argv);
    fallos += pruebaHerramientas(argc, argv);
    fallos += pruebaReemplazo(argc, argv);
    fallos += pruebaCortes(argc, argv);
    return fallos;
}
