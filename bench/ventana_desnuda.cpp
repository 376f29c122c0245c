// The floor for start-up: a bare Qt Widgets window of the application's size, nothing else.
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget ventana;
    ventana.resize(1180, 760);
    ventana.show();
    return app.exec();
}
