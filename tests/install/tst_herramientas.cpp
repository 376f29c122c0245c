// Installing and removing with Apple's tools: stand-ins that behave like them and record how
// they are called.
#include "banco.h"
#include "herramientas.h"
#include "install/procesos.h"

#include <QCoro/QCoroTask>
#include <QFileInfo>
#include <QtTest>

class TstHerramientas : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void instala_reinstala_y_quita_con_los_argumentos_exactos() {
        const Plugin p = pluginDePrueba("brisa");
        Banco b({p});
        herramientasDeApple(b.mundo);
        b.nuevoStore();
        // Copy: source, destination (beside its place until the copy is whole); quarantine:
        // the fixed arguments, then the bundle in its place.
        const QList<QStringList> unaVez{
            {"ditto", b.fuente(p.vst3), copiaOculta(b.vst3(p))},
            {"xattr", "-dr", "com.apple.quarantine", b.vst3(p)},
            {"ditto", b.fuente(p.au), copiaOculta(b.au(p))},
            {"xattr", "-dr", "com.apple.quarantine", b.au(p)},
        };

        b.store->install(p);
        QVERIFY(b.esperar());
        QCOMPARE(b.store->status(), exito(p));
        QCOMPARE(llamadas(b.mundo), unaVez);
        QCOMPARE(arbol(b.vst3(p)), arbol(b.fuente(p.vst3)));
        QCOMPARE(arbol(b.au(p)), arbol(b.fuente(p.au)));

        escribir(b.vst3(p) + "/Contents/sobra.txt", "viejo");
        b.store->install(p);
        QVERIFY(b.esperar());
        QCOMPARE(b.store->status(), exito(p));
        QCOMPARE(llamadas(b.mundo), unaVez + unaVez);
        QCOMPARE(arbol(b.vst3(p)), arbol(b.fuente(p.vst3)));
        QCOMPARE(entradas(QFileInfo(b.vst3(p)).path()), QStringList{"brisa.vst3"});

        b.store->remove(p);
        QVERIFY(b.esperar());
        QCOMPARE(b.store->status(), quitado(p));
        QCOMPARE(llamadas(b.mundo).size(), 8); // removal runs no tool
        QVERIFY(!QFileInfo::exists(b.vst3(p)));
        QVERIFY(!QFileInfo::exists(b.au(p)));
        QVERIFY(b.store->installed().isEmpty());
    }

    void herramienta_que_falla_data() {
        QTest::addColumn<int>("salidaCopia");
        QTest::addColumn<int>("salidaCuarentena");
        QTest::addColumn<bool>("sinCuarentena"); // the quarantine tool is not there to start
        QTest::addColumn<QString>("estado");     // empty: the install succeeds
        QTest::newRow("cuarentena que sale con 1") << 0 << 1 << false << QString();
        QTest::newRow("cuarentena que no arranca") << 0 << 0 << true << QString();
        QTest::newRow("copia que sale con 1") << 1 << 0 << false << "No se pudo copiar brisa.vst3.";
    }

    void herramienta_que_falla() {
        QFETCH(int, salidaCopia);
        QFETCH(int, salidaCuarentena);
        QFETCH(bool, sinCuarentena);
        QFETCH(QString, estado);
        const Plugin p = pluginDePrueba("brisa");
        Banco b({p});
        herramientasDeApple(b.mundo, salidaCopia, salidaCuarentena);
        if (sinCuarentena) b.mundo.entorno.cuarentena[0] = b.mundo.dir.filePath("no-existe/xattr");
        b.nuevoStore();

        b.store->install(p);
        QVERIFY(b.esperar());
        if (estado.isEmpty()) {
            QCOMPARE(b.store->status(), exito(p));
            QCOMPARE(arbol(b.vst3(p)), arbol(b.fuente(p.vst3)));
            QCOMPARE(arbol(b.au(p)), arbol(b.fuente(p.au)));
            QCOMPARE(b.store->installed(), QSet<QString>{"brisa"});
        } else {
            QCOMPARE(b.store->status(), estado);
            // what the tool copied before failing is gone too
            QVERIFY(entradas(QFileInfo(b.vst3(p)).path()).isEmpty());
            QVERIFY(b.store->installed().isEmpty());
        }
    }

    void la_cuarentena_no_sigue_un_enlace_data() {
        QTest::addColumn<bool>("conOrden"); // Apple's command, else in-process
        QTest::newRow("en el proceso") << false;
        QTest::newRow("con la orden") << true;
    }

    void la_cuarentena_no_sigue_un_enlace() {
        QFETCH(bool, conOrden);
        Mundo m;
        const QString fuera = m.dir.filePath("fuera");
        crearBundle(fuera);
        if (!ponerMarca(fuera) || !ponerMarca(fuera + "/Contents/Info.plist"))
            QSKIP("this file system keeps no user attributes");
        const QString destino = m.entorno.home + "/brisa.vst3";
        QVERIFY(QFile::link(fuera, destino));
        if (conOrden) herramientasDeApple(m);

        QCoro::waitFor(quitarCuarentena(m.entorno, destino));
        QVERIFY(tieneMarca(fuera));
        QVERIFY(tieneMarca(fuera + "/Contents/Info.plist"));
        if (conOrden) QVERIFY(llamadas(m).isEmpty());
    }
};

int pruebaHerramientas(int argc, char** argv) {
    TstHerramientas t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_herramientas.moc"
