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
        escribir(archivo.proyecto + "/Juce Pugins creacion", "no es carpeta");
        QCOMPARE(Store(archivo.entorno).root(), std::optional<QString>(archivo.proyecto));

        Mundo arriba(false);
        QDir().mkpath(arriba.dir.filePath("Juce Pugins creacion")); // one level higher
        QVERIFY(!Store(arriba.entorno).root());
    }

    void destinos_por_formato_y_categoria() {
        const QString home = QStringLiteral("/h");
        Plugin p = pluginDePrueba("a", "Reverb");
        p.vst3 = QStringLiteral("x/y/Brisa.vst3/");
        p.au = QStringLiteral("Brisa.component");
        QCOMPARE(destinoVst3(home, p),
                 std::optional<QString>(fabricanteVst3(home) + "/Reverb/Brisa.vst3"));
        QCOMPARE(destinoAu(home, p),
                 std::optional<QString>(fabricanteAu(home) + "/Reverb/Brisa.component"));
        p.vst3.clear();
        QVERIFY(!destinoVst3(home, p));
        QCOMPARE(destinoDescarga(home, "Mezcla", "/tmp/q/B.Component"),
                 std::optional<QString>(fabricanteAu(home) + "/Mezcla/B.Component"));
        QCOMPARE(destinoDescarga(home, "Mezcla", "/tmp/q/B.vst3"),
                 std::optional<QString>(fabricanteVst3(home) + "/Mezcla/B.vst3"));
    }

    void destinos_que_saldrian_de_la_carpeta_del_fabricante_no_existen() {
        Plugin p = pluginDePrueba("a", "..");
        QVERIFY(!destinoVst3("/h", p));
        p.category = "a/../..";
        QVERIFY(!destinoAu("/h", p));
        p.category = "Reverb";
        p.vst3 = "Builds/..";
        QVERIFY(!destinoVst3("/h", p));
        p.au = "/";
        QVERIFY(!destinoAu("/h", p));
    }

    void instalado_es_el_vst3_en_su_destino() {
        Mundo mundo;
        Plugin soloAu = pluginDePrueba("soloau");
        soloAu.vst3.clear();
        Plugin sinAu = pluginDePrueba("sinau");
        Plugin gemelo = pluginDePrueba("gemelo");
        gemelo.vst3 = "otra/ruta/sinau.vst3"; // same category and bundle name as sinau
        Plugin ausente = pluginDePrueba("ausente");
        mundo.catalogo({soloAu, sinAu, gemelo, ausente});
        const QString h = mundo.entorno.home;
        crearBundle(fabricanteAu(h) + "/Reverb/soloau.component");
        crearBundle(fabricanteVst3(h) + "/Reverb/sinau.vst3"); // its AU was deleted by hand
        crearBundle(fabricanteAu(h) + "/Reverb/ausente.component");

        Store store(mundo.entorno);
        store.load();
        QCOMPARE(store.installed(), (QSet<QString>{"sinau", "gemelo"}));
        QVERIFY(!store.isInstalled(soloAu));

        QDir(fabricanteVst3(h) + "/Reverb/sinau.vst3").removeRecursively();
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
        crearBundle(d + "/A.vst3");
        crearBundle(d + "/A.vst3/Contents/Resources/Nested.component");
        crearBundle(d + "/sub/B.component");
        crearBundle(d + "/sub/otra/C.VST3");
        crearBundle(d + "/sub/D.Component");
        escribir(d + "/sub/leeme.txt", "x");
        escribir(d + "/.oculta/E.vst3/Contents/x", "x");
        QStringList hallados = bundlesEn(d);
        for (QString& h : hallados)
            h = h.mid(d.size() + 1);
        hallados.sort();
        QCOMPARE(hallados, (QStringList{".oculta/E.vst3", "A.vst3", "sub/B.component",
                                        "sub/D.Component", "sub/otra/C.VST3"}));
    }

    void bundles_en_carpeta_vacia_o_ausente() {
        QTemporaryDir dir;
        QVERIFY(bundlesEn(dir.path()).isEmpty());
        QVERIFY(bundlesEn(dir.path() + "/no-existe").isEmpty());
    }
};

QUELO_PRUEBA(TstDestinos)

#include "tst_destinos.moc"
