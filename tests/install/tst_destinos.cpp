// The project folder, the destination rules, the installed scan and bundle discovery.
#include "archivos.h"
#include "core/store.h"
#include "ejecutable.h"
#include "install/destinos.h"

#include <QDir>
#include <QFile>
#include <QtTest>

class TstDestinos : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void root_es_la_carpeta_de_la_app_si_tiene_la_entrada() {
        Mundo con(true);
        QCOMPARE(Store(con.entorno).root(), std::optional<QString>(con.proyecto));

        Mundo sin(false);
        QVERIFY(!Store(sin.entorno).root());
    }

    void root_acepta_un_archivo_y_no_busca_mas_arriba() {
        Mundo archivo(false);
        escribir(archivo.proyecto + QStringLiteral("/Juce Pugins creacion"), "no es carpeta");
        QCOMPARE(Store(archivo.entorno).root(), std::optional<QString>(archivo.proyecto));

        Mundo arriba(false);
        QDir().mkpath(
            arriba.dir.filePath(QStringLiteral("Juce Pugins creacion"))); // one level higher
        QVERIFY(!Store(arriba.entorno).root());
    }

    void destinos_por_formato_y_categoria() {
        const QString home = QStringLiteral("/h");
        Plugin p = pluginDePrueba(QStringLiteral("a"), QStringLiteral("Reverb"));
        p.vst3 = QStringLiteral("x/y/Brisa.vst3/");
        p.au = QStringLiteral("Brisa.component");
        QCOMPARE(
            destinoVst3(home, p),
            std::optional<QString>(fabricanteVst3(home) + QStringLiteral("/Reverb/Brisa.vst3")));
        QCOMPARE(
            destinoAu(home, p),
            std::optional<QString>(fabricanteAu(home) + QStringLiteral("/Reverb/Brisa.component")));
        p.vst3.clear();
        QVERIFY(!destinoVst3(home, p));
        QCOMPARE(
            destinoDescarga(home, QStringLiteral("Mezcla"), QStringLiteral("/tmp/q/B.Component")),
            std::optional<QString>(fabricanteAu(home) + QStringLiteral("/Mezcla/B.Component")));
        QCOMPARE(destinoDescarga(home, QStringLiteral("Mezcla"), QStringLiteral("/tmp/q/B.vst3")),
                 std::optional<QString>(fabricanteVst3(home) + QStringLiteral("/Mezcla/B.vst3")));
    }

    void destinos_que_saldrian_de_la_carpeta_del_fabricante_no_existen() {
        Plugin p = pluginDePrueba(QStringLiteral("a"), QStringLiteral(".."));
        QVERIFY(!destinoVst3(QStringLiteral("/h"), p));
        p.category = QStringLiteral("a/../..");
        QVERIFY(!destinoAu(QStringLiteral("/h"), p));
        p.category = QStringLiteral("Reverb");
        p.vst3 = QStringLiteral("Builds/..");
        QVERIFY(!destinoVst3(QStringLiteral("/h"), p));
        p.au = QStringLiteral("/");
        QVERIFY(!destinoAu(QStringLiteral("/h"), p));
    }

    void instalado_es_el_vst3_en_su_destino() {
        Mundo mundo;
        Plugin soloAu = pluginDePrueba(QStringLiteral("soloau"));
        soloAu.vst3.clear();
        Plugin sinAu = pluginDePrueba(QStringLiteral("sinau"));
        Plugin gemelo = pluginDePrueba(QStringLiteral("gemelo"));
        gemelo.vst3 =
            QStringLiteral("otra/ruta/sinau.vst3"); // same category and bundle name as sinau
        Plugin ausente = pluginDePrueba(QStringLiteral("ausente"));
        mundo.catalogo({soloAu, sinAu, gemelo, ausente});
        const QString h = mundo.entorno.home;
        crearBundle(fabricanteAu(h) + QStringLiteral("/Reverb/soloau.component"));
        crearBundle(fabricanteVst3(h) +
                    QStringLiteral("/Reverb/sinau.vst3")); // its AU was deleted by hand
        crearBundle(fabricanteAu(h) + QStringLiteral("/Reverb/ausente.component"));

        Store store(mundo.entorno);
        store.load();
        QCOMPARE(store.installed(),
                 (QSet<QString>{QStringLiteral("sinau"), QStringLiteral("gemelo")}));
        QVERIFY(!store.isInstalled(soloAu));

        QDir(fabricanteVst3(h) + QStringLiteral("/Reverb/sinau.vst3")).removeRecursively();
        store.refreshInstalled();
        QVERIFY(store.installed().isEmpty());
    }

    void instalados_con_catalogo_vacio() {
        Mundo mundo;
        mundo.catalogo({});
        Store store(mundo.entorno);
        store.load();
        QVERIFY(store.installed().isEmpty());
    }

    void bundles_a_cualquier_profundidad_sin_entrar_en_ellos() {
        QTemporaryDir dir;
        const QString d = dir.path();
        crearBundle(d + QStringLiteral("/A.vst3"));
        crearBundle(d + QStringLiteral("/A.vst3/Contents/Resources/Nested.component"));
        crearBundle(d + QStringLiteral("/sub/B.component"));
        crearBundle(d + QStringLiteral("/sub/otra/C.VST3"));
        crearBundle(d + QStringLiteral("/sub/D.Component"));
        escribir(d + QStringLiteral("/sub/leeme.txt"), "x");
        escribir(d + QStringLiteral("/.oculta/E.vst3/Contents/x"), "x");
        QStringList hallados = bundlesEn(d);
        for (QString& h : hallados)
            h = h.mid(d.size() + 1);
        hallados.sort();
        QCOMPARE(hallados,
                 (QStringList{QStringLiteral(".oculta/E.vst3"), QStringLiteral("A.vst3"),
                              QStringLiteral("sub/B.component"), QStringLiteral("sub/D.Component"),
                              QStringLiteral("sub/otra/C.VST3")}));
    }

    void bundles_en_carpeta_vacia_o_ausente() {
        QTemporaryDir dir;
        QVERIFY(bundlesEn(dir.path()).isEmpty());
        QVERIFY(bundlesEn(dir.path() + QStringLiteral("/no-existe")).isEmpty());
    }
};

QUELO_PRUEBA(TstDestinos)

#include "tst_destinos.moc"
