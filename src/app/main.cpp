#include "core/store.h"

#include <QApplication>
#include <QTextStream>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    Store store;
    store.load();
    QTextStream(stdout) << store.plugins().size() << " plugins: " << store.status() << '\n';
    return 0;
}
