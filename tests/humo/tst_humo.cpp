// Starts the real executable from a staged project folder on a virtual X display: the access
// screen must appear, and signing up must lead to a catalog window that shows a plug-in.
#include "ejecutable.h"
#include "pantalla.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <unistd.h>

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

// Whether a process still runs: a zombie waiting to be reaped has stopped.
bool enMarcha(qint64 pid) {
    QFile estado(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!estado.open(QIODevice::ReadOnly)) return false;
    const QByteArray linea = estado.read(4096);
    const qsizetype fin = linea.lastIndexOf(')'); // the name may hold spaces and brackets
    return fin > 0 && linea.mid(fin + 2, 1) != "Z";
}

// The application and whatever it started run in a process group of their own, so that ending
// the check ends all of them: a child left behind would hold CTest's output open.
void terminarGrupo(QProcess& app) {
    const pid_t grupo = pid_t(app.processId());
    if (grupo <= 0) return;
    ::kill(-grupo, SIGTERM);
    if (!app.waitForFinished(10000)) app.kill();
    app.waitForFinished(5000);
    ::kill(-grupo, SIGKILL); // anything in it that outlived the leader
}

} // namespace

class TstHumo : public QObject {
    Q_OBJECT

    std::unique_ptr<Pantalla> pantalla;

    // The whole check on one staged folder; false with the reason when any step fails. Each wait
    // ends as soon as what it waits for is on the screen.
    bool comprobar(const Demo& demo, QString* motivo, int esperaVentana = 30000,
                   int esperaCatalogo = 20000) {
        QProcess app;
        QProcessEnvironment entorno = QProcessEnvironment::systemEnvironment();
        entorno.insert(QStringLiteral("DISPLAY"), pantalla->nombre());
        entorno.insert(QStringLiteral("HOME"), demo.home);
        entorno.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        app.setProcessEnvironment(entorno);
        app.setProcessChannelMode(QProcess::ForwardedChannels);
        app.setChildProcessModifier([] { ::setpgid(0, 0); });
        app.start(demo.ejecutable, {});
        auto fallar = [&](const QString& texto) {
            *motivo = texto;
            terminarGrupo(app);
            return false;
        };
        if (!app.waitForStarted(10000))
            return fallar(QStringLiteral("the application did not start"));

        const auto [ventana, g] =
            pantalla->esperarVentana(QStringLiteral("Quelo Instalador"), esperaVentana);
        if (ventana.isEmpty()) return fallar(QStringLiteral("no window appeared"));
        if (g.width() < 1180 || g.height() < 760)
            return fallar(QStringLiteral("the window is smaller than 1180 x 760"));
        // The brand name in gold, in the upper middle of the access screen.
        const QRect marca(g.x() + g.width() / 4, g.y(), g.width() / 2, g.height() / 2);
        if (!pantalla->esperarCaptura(
                [&](const QImage& c) { return pixelesDorados(c, marca) >= 150; }, 15000))
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

        // The main window, known by the gold of its side bar (the access screen has none there),
        // with a plug-in's name and picture in gold in the detail pane.
        const QRect lateral(g.x(), g.y(), 240, g.height());
        const QRect detalle(g.x() + 560, g.y() + 90, g.width() - 600, g.height() / 2);
        const auto catalogo = [&](const QImage& c) {
            return pixelesDorados(c, lateral) >= 300 && pixelesDorados(c, detalle) >= 400;
        };
        if (!pantalla->esperarCaptura(catalogo, esperaCatalogo))
            return fallar(QStringLiteral("the catalog window never showed a plug-in"));
        terminarGrupo(app);
        return true;
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
        QVERIFY(!comprobar(demo, &motivo, 30000, 5000));
        QCOMPARE(motivo, QStringLiteral("the catalog window never showed a plug-in"));
    }

    // A program that shows nothing and leaves a child of its own running: the check fails, and
    // ends the child with it.
    void sin_ventana_la_comprobacion_falla_y_no_deja_procesos() {
        Demo demo;
        QVERIFY(QDir().mkpath(QFileInfo(demo.ejecutable).path()));
        QVERIFY(QDir().mkpath(demo.home));
        QSaveFile guion(demo.ejecutable);
        QVERIFY(guion.open(QIODevice::WriteOnly));
        QVERIFY(guion.write("#!/bin/sh\nsleep 60 &\necho $! > \"$HOME/hijo\"\nwait\n") > 0);
        QVERIFY(guion.commit());
        QVERIFY(QFile::setPermissions(demo.ejecutable, QFileDevice::ReadOwner |
                                                           QFileDevice::WriteOwner |
                                                           QFileDevice::ExeOwner));
        QString motivo;
        QVERIFY(!comprobar(demo, &motivo, 5000));
        QCOMPARE(motivo, QStringLiteral("no window appeared"));

        QFile pid(demo.home + QStringLiteral("/hijo"));
        QVERIFY(pid.open(QIODevice::ReadOnly));
        bool numero = false;
        const qint64 hijo = pid.read(32).trimmed().toLongLong(&numero);
        QVERIFY(numero && hijo > 0);
        QTRY_VERIFY_WITH_TIMEOUT(!enMarcha(hijo), 10000);
    }
};

QUELO_PRUEBA(TstHumo)
QUELO_MAIN(QCoreApplication)
#include "tst_humo.moc"
