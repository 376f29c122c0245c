// Linked into the start-up children beside their own main(): once the application object
// exists, watches for the first paint of a window, and when that frame has been painted and
// handed to the display prints when it happened and how much memory the process holds, then
// ends the process without tearing anything down. With QUELO_HASTA_LISTA set it goes on until
// the plug-in list (the view named "list") holds rows and prints the same of that moment.
#include "proceso.h"

#include <QAbstractItemModel>
#include <QAbstractItemView>
#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <unistd.h>

namespace {

class Vigia : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override {
        if (!visto_ && evento->type() == QEvent::Paint && objeto->isWidgetType() &&
            static_cast<QWidget*>(objeto)->isWindow()) {
            visto_ = true;
            // The window gets the paint before its children; the frame is complete (children
            // painted, backing store flushed) once control is back in the event loop.
            QTimer::singleShot(0, this, [] { informar(); });
        }
        return false;
    }

private:
    static void informar() {
        std::printf("cuadro_ns %lld arranque_ms %.3f rss_kb %ld hwm_kb %ld\n", ahoraNs(),
                    msDesdeArranque(), memoriaKb("VmRSS"), memoriaKb("VmHWM"));
        std::fflush(stdout);
        if (qEnvironmentVariableIsEmpty("QUELO_HASTA_LISTA")) _exit(0);
        // Looked at every millisecond: between two looks the list may have been painted.
        auto* mirar = new QTimer(QCoreApplication::instance());
        QObject::connect(mirar, &QTimer::timeout, [] {
            for (QWidget* w : QApplication::allWidgets()) {
                auto* lista = qobject_cast<QAbstractItemView*>(w);
                if (!lista || lista->objectName() != QLatin1String("list") || !lista->model() ||
                    lista->model()->rowCount() == 0 || !lista->isVisible())
                    continue;
                std::printf("lista_ns %lld rss_kb %ld hwm_kb %ld\n", ahoraNs(), memoriaKb("VmRSS"),
                            memoriaKb("VmHWM"));
                std::fflush(stdout);
                _exit(0);
            }
        });
        mirar->start(1);
    }
    bool visto_ = false;
};

void vigilar() {
    QCoreApplication::instance()->installEventFilter(new Vigia(QCoreApplication::instance()));
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(vigilar)
