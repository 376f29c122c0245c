// Installing and removing with Apple's tools: stand-ins that behave like them and record how
// they are called.
#include "banco.h"
#include "herramientas.h"
#include "install/procesos.h"

#include <QCoro/QCoroTask>
#include <QFileInfo>
#include <QtTest>

#include <algorithm>

namespace {

// The two bundles' copies run at once, and either may be recorded first, even after the other
// bundle's quarantine call: the copy calls are compared as a set, put first; the quarantine
// calls keep their order.
QList<QStringList> copiasAparte(QList<QStringList> lista) {
    const auto copias = std::stable_partition(lista.begin(), lista.end(), [](const QStringList& l) {
        return l.value(0) == QLatin1String("ditto");
    });
    std::sort(lista.begin(), copias);
    return lista;
}

} // namespace

class TstHerramientas : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void instala_reinstala_y_quita_con_los_argumentos_exactos() {
        const Plugin p = pluginDePrueba(QStringLiteral("brisa"));
        Banco b({p});
        herramientasDeApple(b.mundo);
        b.nuevoStore();
        // Copy: source, destination (beside its place until the copy is whole), both bundles
        // at once; quarantine: the fixed arguments, then each bundle in its place, in turn.
        const QList<QStringList> unaVez{
            {QStringLiteral("ditto"), b.fuente(p.vst3), copiaOculta(b.mundo.vst3(p))},
            {QStringLiteral("ditto"), b.fuente(p.au), copiaOculta(b.mundo.au(p))},
            {QStringLiteral("xattr"), QStringLiteral("-dr"), QStringLiteral("com.apple.quarantine"),
             b.mundo.vst3(p)},
            {QStringLiteral("xattr"), QStringLiteral("-dr"), QStringLiteral("com.apple.quarantine"),
             b.mundo.au(p)},
        };

        QVERIFY(b.instalar(p));
        QCOMPARE(b.store->status(), exito(p));
        QCOMPARE(copiasAparte(llamadas(b.mundo)), copiasAparte(unaVez));
        QCOMPARE(arbol(b.mundo.vst3(p)), arbol(b.fuente(p.vst3)));
        QCOMPARE(arbol(b.mundo.au(p)), arbol(b.fuente(p.au)));

        escribir(b.mundo.vst3(p) + QStringLiteral("/Contents/sobra.txt"), "viejo");
        QVERIFY(b.instalar(p));
        QCOMPARE(b.store->status(), exito(p));
        QCOMPARE(copiasAparte(llamadas(b.mundo)), copiasAparte(unaVez + unaVez));
        QCOMPARE(arbol(b.mundo.vst3(p)), arbol(b.fuente(p.vst3)));
        QCOMPARE(b.vecinos(p), QStringList{QStringLiteral("brisa.vst3")});

        QVERIFY(b.quitar(p));
        QCOMPARE(b.store->status(), quitado(p));
        QCOMPARE(llamadas(b.mundo).size(), 8); // removal runs no tool
        QVERIFY(!QFileInfo::exists(b.mundo.vst3(p)));
        QVERIFY(!QFileInfo::exists(b.mundo.au(p)));
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
        const Plugin p = pluginDePrueba(QStringLiteral("brisa"));
        Banco b({p});
        herramientasDeApple(b.mundo, salidaCopia, salidaCuarentena);
        if (sinCuarentena)
            b.mundo.entorno.cuarentena[0] = b.mundo.dir.filePath(QStringLiteral("no-existe/xattr"));
        b.nuevoStore();

        QVERIFY(b.instalar(p));
        if (estado.isEmpty()) {
            QCOMPARE(b.store->status(), exito(p));
            QCOMPARE(arbol(b.mundo.vst3(p)), arbol(b.fuente(p.vst3)));
            QCOMPARE(arbol(b.mundo.au(p)), arbol(b.fuente(p.au)));
            QCOMPARE(b.store->installed(), QSet<QString>{QStringLiteral("brisa")});
        } else {
            QCOMPARE(b.store->status(), estado);
            // what the tool copied before failing is gone too
            QVERIFY(b.vecinos(p).isEmpty());
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
        const QString fuera = m.dir.filePath(QStringLiteral("fuera"));
        crearBundle(fuera);
        if (!ponerMarca(fuera) || !ponerMarca(fuera + QStringLiteral("/Contents/Info.plist")))
            QSKIP("this file system keeps no user attributes");
        const QString destino = m.entorno.home + QStringLiteral("/brisa.vst3");
        QVERIFY(QFile::link(fuera, destino));
        if (conOrden) herramientasDeApple(m);

        QCoro::waitFor(quitarCuarentena(m.entorno, destino));
        QVERIFY(tieneMarca(fuera));
        QVERIFY(tieneMarca(fuera + QStringLiteral("/Contents/Info.plist")));
        if (conOrden) QVERIFY(llamadas(m).isEmpty());
    }
};

QUELO_PRUEBA(TstHerramientas)

#include "tst_herramientas.moc"
