// The replacement tests, built with the exchange a system without one has.
#include <QCoreApplication>

int pruebaReemplazo(int argc, char** argv);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    return pruebaReemplazo(argc, argv);
}
