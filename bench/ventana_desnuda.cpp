// The floor for start-up: a bare Qt Widgets window of the application's size, nothing else.
// With --texto it shows one line of text, so the fonts are loaded as in any window that
// draws text.
#include <QApplication>
#include <QLabel>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget ventana;
    ventana.resize(1180, 760);
    if (QApplication::arguments().contains(QStringLiteral("--texto")))
        (new QLabel(QStringLiteral("Quelo Instalador"), &ventana))->move(20, 20);
    ventana.show();
    return app.exec();
}
