// The application's shell: what closing its one window does, on Apple and elsewhere.
#include "ejecutable.h"
#include "permanencia.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <QtTest>

#include <functional>

class TstApp : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cerrar_la_ventana_data() {
        QTest::addColumn<bool>("sigue");
        QTest::newRow("fuera de Apple: sale") << false;
        QTest::newRow("Apple: sigue y el dock la reabre") << true;
    }

    void cerrar_la_ventana() {
        QFETCH(bool, sigue);
        QWidget ventana;
        atarVentana(*qApp, ventana, sigue);
        ventana.show();
        QVERIFY(QTest::qWaitForWindowExposed(&ventana));

        // A quit that closing causes ends the event loop once the events already queued have
        // run: a step two turns after the close runs only if the application kept going.
        QObject pasos; // pending steps die with it, whatever happened
        bool reabierta = false;
        const auto despues = [&pasos](std::function<void()> paso) {
            QTimer::singleShot(0, &pasos, [&pasos, paso] { QTimer::singleShot(0, &pasos, paso); });
        };
        QTimer::singleShot(0, &pasos, [&] {
            ventana.close();
            despues([&] {
                // What Qt reports when the dock icon is clicked.
                Q_EMIT qApp->applicationStateChanged(Qt::ApplicationActive);
                reabierta = ventana.isVisible();
                QCoreApplication::exit(7);
            });
        });
        QTimer::singleShot(30000, &pasos, [] { QCoreApplication::exit(99); });
        const int salida = QCoreApplication::exec();
        QCOMPARE(salida, sigue ? 7 : 0);
        QCOMPARE(reabierta, sigue);
    }
};

QUELO_PRUEBA(TstApp)
QUELO_MAIN(QApplication)
#include "tst_app.moc"
