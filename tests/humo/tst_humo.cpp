// Starts the real executable from a staged project folder on a virtual X display: the access
// screen must appear, and signing up must lead to a catalog window that shows a plug-in.
#include "pantalla.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// A staged maker's machine: project folder with built bundles, the application inside it, and
// a home of its own.
struct Demo {
    QTemporaryDir dir;
    QString proyecto = dir.filePath(QStringLiteral("Quelo DSP"));
    QString home = dir.filePath(QStringLiteral("home"));
    QString ejecutable = proyecto + QStringLiteral("/QueloInstalador/quelo-instalador");

    bool preparar() {
        QDir().mkpath(home);
        QProcess escenario;
        escenario.start(QStringLiteral(QUELO_ESCENARIO),
                        {QStringLiteral("proyecto"), QStringLiteral(QUELO_CATALOGO), proyecto});
        if (!escenario.waitForFinished(60000) || escenario.exitCode() != 0) return false;
        QProcess copia;
        copia.start(QStringLiteral("/bin/cp"),
                    {QStringLiteral("-a"), QStringLiteral(QUELO_CARPETA_APP),
                     proyecto + QStringLiteral("/QueloInstalador")});
        return copia.waitForFinished(60000) && copia.exitCode() == 0;
    }
};

} // namespace

class TstHumo : public QObject {
    Q_OBJECT

    std::unique_ptr<Pantalla> pantalla;

    // The whole check on one staged folder; false with the reason when any step fails.
    bool comprobar(const Demo& demo, QString* motivo, int esperaVentana = 30000) {
        QProcess app;
        QProcessEnvironment entorno = QProcessEnvironment::systemEnvironment();
        entorno.insert(QStringLiteral("DISPLAY"), pantalla->nombre());
        entorno.insert(QStringLiteral("HOME"), demo.home);
        entorno.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        app.setProcessEnvironment(entorno);
        app.setProcessChannelMode(QProcess::ForwardedChannels);
        app.start(demo.ejecutable, {});
        auto fallar = [&](const QString& texto) {
            *motivo = texto;
            app.kill();
            app.waitForFinished(5000);
            return false;
        };
        if (!app.waitForStarted(10000))
            return fallar(QStringLiteral("the application did not start"));

        const auto [ventana, g] =
            pantalla->esperarVentana(QStringLiteral("Quelo Instalador"), esperaVentana);
        if (ventana.isEmpty()) return fallar(QStringLiteral("no window appeared"));
        QTest::qWait(1500); // first frames
        if (g.width() < 1180 || g.height() < 760)
            return fallar(QStringLiteral("the window is smaller than 1180 x 760"));
        // The brand name in gold, in the upper middle of the access screen.
        const QRect marca(g.x() + g.width() / 4, g.y(), g.width() / 2, g.height() / 2);
        if (pixelesDorados(pantalla->captura(), marca) < 150)
            return fallar(QStringLiteral("no gold brand name on the access screen"));
        if (app.state() != QProcess::Running)
            return fallar(QStringLiteral("the application ended"));

        // Sign up with the keyboard: e-mail, password, repetition, then the main button.
        const auto xdotool = [&](const QStringList& args) {
            pantalla->herramienta(QStringLiteral("xdotool"), args);
        };
        xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), ventana});
        xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("20"),
                 QStringLiteral("humo@quelodsp.com")});
        for (int i = 0; i < 2; ++i) {
            xdotool({QStringLiteral("key"), QStringLiteral("Tab")});
            xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("20"),
                     QStringLiteral("contrasena-larga")});
        }
        xdotool({QStringLiteral("key"), QStringLiteral("Tab"), QStringLiteral("space")});

        // The main window: a plug-in's name and picture in gold in the detail pane.
        const QRect detalle(g.x() + 560, g.y() + 90, g.width() - 600, g.height() / 2);
        for (int intento = 0; intento < 30; ++intento) {
            QTest::qWait(300);
            if (pixelesDorados(pantalla->captura(), detalle) > 400) {
                app.terminate();
                app.waitForFinished(10000);
                return true;
            }
        }
        return fallar(QStringLiteral("the catalog window never showed a plug-in"));
    }

private Q_SLOTS:
    void initTestCase() {
        pantalla = std::make_unique<Pantalla>();
        QVERIFY2(pantalla->lista(), "Xvfb did not start");
    }

    void la_app_real_muestra_el_acceso_y_luego_el_catalogo() {
        Demo demo;
        QVERIFY(demo.preparar());
        QString motivo;
        QVERIFY2(comprobar(demo, &motivo), qPrintable(motivo));
        QVERIFY(QFile::exists(demo.proyecto + QStringLiteral("/datos/cuentas.json")));
    }

    // The check above must be able to fail: without the shipped catalog it does.
    void sin_catalogo_la_comprobacion_falla() {
        Demo demo;
        QVERIFY(demo.preparar());
        QVERIFY(QFile::remove(demo.proyecto +
                              QStringLiteral("/QueloInstalador/Resources/catalogo.json")));
        QString motivo;
        QVERIFY(!comprobar(demo, &motivo));
        QCOMPARE(motivo, QStringLiteral("the catalog window never showed a plug-in"));
    }

    void sin_ventana_la_comprobacion_falla() {
        Demo demo;
        QVERIFY(demo.preparar());
        // an executable that starts and shows nothing
        QFile::remove(demo.ejecutable);
        QFile guion(demo.ejecutable);
        QVERIFY(guion.open(QIODevice::WriteOnly));
        guion.write("#!/bin/sh\nsleep 60\n");
        guion.close();
        guion.setPermissions(guion.permissions() | QFileDevice::ExeOwner);
        QString motivo;
        QVERIFY(!comprobar(demo, &motivo, 5000));
        QCOMPARE(motivo, QStringLiteral("no window appeared"));
    }
};

QTEST_GUILESS_MAIN(TstHumo)
#include "tst_humo.moc"
