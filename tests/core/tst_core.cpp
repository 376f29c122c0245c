// The catalog file, the Store's browsing views, load and the run wrapper.
#include "archivos.h"
#include "core/archivo.h"
#include "core/errores.h"
#include "core/failure.h"
#include "core/store.h"
#include "ejecutable.h"
#include "esperar.h"
#include "prueba_store.h"

#include <QCoro/QCoroTimer>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

Q_DECLARE_METATYPE(std::exception_ptr)

namespace {

// Fails after a while; says when it starts and, if asked, when it is about to fail.
QCoro::Task<> fallarTras(std::chrono::milliseconds espera, QString mensaje, bool* empezo,
                         bool* termina = nullptr) {
    *empezo = true;
    co_await QCoro::sleepFor(espera);
    if (termina) *termina = true;
    throw Failure(mensaje);
}

QCoro::Task<> fallarConError(QString mensaje) {
    co_await QCoro::sleepFor(std::chrono::milliseconds(1));
    throw ErrorSistema(mensaje);
}

QByteArray unPlugin(const QString& cambios) {
    // One valid entry, with the named fields replaced by raw JSON text.
    QMap<QString, QString> campos{
        {QStringLiteral("id"), QStringLiteral("\"a\"")},
        {QStringLiteral("name"), QStringLiteral("\"A\"")},
        {QStringLiteral("subtitle"), QStringLiteral("\"s\"")},
        {QStringLiteral("purpose"), QStringLiteral("\"p\"")},
        {QStringLiteral("category"), QStringLiteral("\"c\"")},
        {QStringLiteral("blurb"), QStringLiteral("\"b\"")},
        {QStringLiteral("manufacturer"), QStringLiteral("\"m\"")},
        {QStringLiteral("screenshot"), QStringLiteral("\"\"")},
        {QStringLiteral("vst3"), QStringLiteral("\"a.vst3\"")},
        {QStringLiteral("au"), QStringLiteral("\"a.component\"")},
        {QStringLiteral("requirements"), QStringLiteral("[\"r1\", \"r2\"]")}};
    for (const QString& par : cambios.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const qsizetype igual = par.indexOf(QLatin1Char('='));
        const QString clave = par.left(igual);
        const QString valor = par.mid(igual + 1);
        if (valor == QLatin1String("<fuera>"))
            campos.remove(clave);
        else
            campos[clave] = valor;
    }
    QStringList partes;
    for (auto it = campos.cbegin(); it != campos.cend(); ++it)
        partes.append(QStringLiteral("\"%1\": %2").arg(it.key(), it.value()));
    return (QStringLiteral("{") + partes.join(QStringLiteral(", ")) + QStringLiteral("}")).toUtf8();
}

QByteArray catalogoCon(const QByteArray& entrada) {
    return "{\"plugins\": [" + entrada + "]}";
}

Plugin conCampos(const QString& id, const QString& name, const QString& subtitle,
                 const QString& purpose, const QString& category) {
    Plugin p = pluginDePrueba(id, category);
    p.name = name;
    p.subtitle = subtitle;
    p.purpose = purpose;
    return p;
}

// A Store loaded with a catalog written into a temporary application folder.
struct Cargado {
    Mundo mundo;
    std::unique_ptr<Store> store;
    explicit Cargado(const QList<Plugin>& plugins) {
        mundo.catalogo(plugins);
        store = std::make_unique<Store>(mundo.entorno);
        store->load();
    }
};

QStringList ids(const QList<Plugin>& lista) {
    QStringList r;
    for (const Plugin& p : lista)
        r.append(p.id);
    return r;
}

} // namespace

class TstCore : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void catalogo_decodifica_entradas_en_orden() {
        const auto c =
            decodificarCatalogo("{\"plugins\": [" + unPlugin(QStringLiteral("id=\"z\"")) + "," +
                                unPlugin(QStringLiteral("id=\"a\"")) + "," +
                                unPlugin(QStringLiteral("id=\"z\"")) + "], \"version\": 3}");
        QVERIFY(c);
        QCOMPARE(ids(c->plugins),
                 (QStringList{QStringLiteral("z"), QStringLiteral("a"),
                              QStringLiteral("z")})); // duplicates kept, not sorted
        QCOMPARE(c->plugins[0].requirements,
                 (QStringList{QStringLiteral("r1"), QStringLiteral("r2")}));
        QCOMPARE(c->plugins[0].vst3, QStringLiteral("a.vst3"));
    }

    void catalogo_vacio_no_es_error() {
        const auto c = decodificarCatalogo("{\"plugins\": []}");
        QVERIFY(c);
        QVERIFY(c->plugins.isEmpty());
    }

    void catalogo_toma_los_textos_tal_cual() {
        const auto c = decodificarCatalogo(catalogoCon(unPlugin(
            QStringLiteral("name=\"  Con espacios \";vst3=\"\";au=\"\";price=12;extra=null"))));
        QVERIFY(c);
        QCOMPARE(c->plugins[0].name, QStringLiteral("  Con espacios "));
        QVERIFY(c->plugins[0].vst3.isEmpty());
    }

    void catalogo_rechaza_todo_ante_un_campo_malo_data() {
        QTest::addColumn<QByteArray>("json");
        QTest::newRow("sin requirements")
            << catalogoCon(unPlugin(QStringLiteral("requirements=<fuera>")));
        QTest::newRow("requirements null")
            << catalogoCon(unPlugin(QStringLiteral("requirements=null")));
        QTest::newRow("requirement numérico")
            << catalogoCon(unPlugin(QStringLiteral("requirements=[\"a\", 1]")));
        QTest::newRow("name null") << catalogoCon(unPlugin(QStringLiteral("name=null")));
        QTest::newRow("id numérico") << catalogoCon(unPlugin(QStringLiteral("id=7")));
        QTest::newRow("au booleano") << catalogoCon(unPlugin(QStringLiteral("au=false")));
        QTest::newRow("sin blurb") << catalogoCon(unPlugin(QStringLiteral("blurb=<fuera>")));
        QTest::newRow("segunda entrada mala")
            << QByteArray("{\"plugins\": [" + unPlugin(QStringLiteral("")) + "," +
                          unPlugin(QStringLiteral("vst3=<fuera>")) + "]}");
        QTest::newRow("entrada que no es objeto") << QByteArray("{\"plugins\": [\"a\"]}");
        QTest::newRow("plugins null") << QByteArray("{\"plugins\": null}");
        QTest::newRow("sin plugins") << QByteArray("{\"catalogo\": []}");
        QTest::newRow("arreglo suelto") << QByteArray("[]");
        QTest::newRow("no es JSON") << QByteArray("plugins:");
    }
    void catalogo_rechaza_todo_ante_un_campo_malo() {
        QFETCH(QByteArray, json);
        QVERIFY(!decodificarCatalogo(json));
    }

    void plugin_igualdad_y_hash_sobre_todos_los_campos() {
        const Plugin a = pluginDePrueba(QStringLiteral("a"));
        Plugin b = a;
        QCOMPARE(a, b);
        QCOMPARE(qHash(a), qHash(b));
        b.blurb += QLatin1Char('.');
        QVERIFY(a != b);
        b = a;
        b.requirements.append(QStringLiteral("otra"));
        QVERIFY(a != b);
        QVERIFY(qHash(a) != qHash(b));
        QSet<Plugin> conjunto{a, a, b};
        QCOMPARE(conjunto.size(), 2);
    }

    void failure_describe_su_mensaje() {
        QCOMPARE(descripcionDe(std::make_exception_ptr(Failure(QStringLiteral("abc")))),
                 QStringLiteral("abc"));
        QCOMPARE(QString::fromUtf8(Failure(QStringLiteral("ñandú")).what()),
                 QStringLiteral("ñandú"));
    }

    void un_error_del_sistema_se_cuenta_en_castellano_data() {
        QTest::addColumn<std::exception_ptr>("error");
        QTest::addColumn<QString>("texto");
        QTest::newRow("disco lleno")
            << std::make_exception_ptr(errorDeArchivo(ENOSPC, QStringLiteral("No se pudo guardar"),
                                                      QStringLiteral("/a/b")))
            << QStringLiteral("No se pudo guardar /a/b: no queda espacio en el disco.");
        QTest::newRow("sin permiso")
            << std::make_exception_ptr(errorDeArchivo(EACCES, QStringLiteral("No se pudo borrar"),
                                                      QStringLiteral("/a")))
            << QStringLiteral("No se pudo borrar /a: no hay permiso.");
        QTest::newRow("errno fuera de la tabla")
            << std::make_exception_ptr(errorDeArchivo(EOWNERDEAD, QStringLiteral("No se pudo leer"),
                                                      QStringLiteral("/a")))
            << QStringLiteral("No se pudo leer /a: el sistema devolvió el error número ") +
                   QString::number(EOWNERDEAD) + QLatin1Char('.');
        QTest::newRow("sin memoria") << std::make_exception_ptr(std::bad_alloc())
                                     << QStringLiteral("No quedó memoria para terminar.");
        QTest::newRow("descripción vacía") << std::make_exception_ptr(ErrorSistema(QString()))
                                           << QStringLiteral("Ocurrió un error inesperado.");
        QTest::newRow("texto de una biblioteca")
            << std::make_exception_ptr(std::runtime_error("Unknown error"))
            << QStringLiteral("Ocurrió un error inesperado.");
    }
    void un_error_del_sistema_se_cuenta_en_castellano() {
        QFETCH(std::exception_ptr, error);
        QFETCH(QString, texto);
        QCOMPARE(descripcionDe(error), texto);
    }

    void store_empieza_con_sus_valores_iniciales() {
        Mundo mundo;
        Store store(mundo.entorno);
        QVERIFY(store.plugins().isEmpty());
        QCOMPARE(store.category(), QStringLiteral("Todas"));
        QVERIFY(store.query().isEmpty());
        QVERIFY(!store.selectedID());
        QVERIFY(!store.status().isEmpty());
        QVERIFY(!store.busy());
        QVERIFY(store.installed().isEmpty());
        QVERIFY(!store.cuentaEmail());
        QVERIFY(!store.tokenCasa());
        QVERIFY(!store.progreso());
    }

    void load_sin_catalogo_solo_avisa() {
        Mundo mundo;
        // an installed plug-in that a successful load would find
        escribir(fabricanteVst3(mundo.entorno.home) + QStringLiteral("/Reverb/a.vst3/Contents/x"),
                 "x");
        Store store(mundo.entorno);
        store.load();
        QCOMPARE(store.status(), QStringLiteral("No encontré el catálogo dentro de la app."));
        QVERIFY(store.plugins().isEmpty());
        QVERIFY(!store.selectedID());
        QVERIFY(store.installed().isEmpty());
    }

    void load_con_catalogo_ilegible_solo_avisa() {
        Mundo mundo;
        escribir(mundo.entorno.recursos + QStringLiteral("/catalogo.json"),
                 catalogoCon(unPlugin(QStringLiteral("au=null"))));
        Store store(mundo.entorno);
        store.setSelectedID(QStringLiteral("previa"));
        store.load();
        QCOMPARE(store.status(), QStringLiteral("No encontré el catálogo dentro de la app."));
        QCOMPARE(store.selectedID(), std::optional<QString>(QStringLiteral("previa")));
    }

    void load_selecciona_el_primero_y_busca_instalados() {
        Mundo mundo;
        mundo.catalogo({pluginDePrueba(QStringLiteral("a")), pluginDePrueba(QStringLiteral("b"))});
        escribir(fabricanteVst3(mundo.entorno.home) + QStringLiteral("/Reverb/b.vst3/Contents/x"),
                 "x");
        Store store(mundo.entorno);
        const QString inicial = store.status();
        store.setSelectedID(QStringLiteral("b"));
        store.load();
        QCOMPARE(store.plugins().size(), 2);
        QCOMPARE(store.selectedID(), std::optional<QString>(QStringLiteral("a")));
        QCOMPARE(store.installed(), QSet<QString>{QStringLiteral("b")});
        QCOMPARE(store.status(), inicial);
    }

    void cargar_abre_la_sesion_antes_y_termina_como_load_data() {
        QTest::addColumn<QByteArray>("catalogo");
        QTest::addColumn<bool>("conSesion");
        const QByteArray dos = catalogoCon(unPlugin(QStringLiteral("id=\"a\"")) + ", " +
                                           unPlugin(QStringLiteral("id=\"b\";vst3=\"b.vst3\"")));
        QTest::newRow("catálogo y sesión de la tienda") << dos << true;
        QTest::newRow("catálogo sin sesión") << dos << false;
        QTest::newRow("sin catálogo, con sesión") << QByteArray() << true;
        QTest::newRow("catálogo ilegible, con sesión")
            << catalogoCon(unPlugin(QStringLiteral("au=null"))) << true;
    }
    void cargar_abre_la_sesion_antes_y_termina_como_load() {
        QFETCH(QByteArray, catalogo);
        QFETCH(bool, conSesion);
        Mundo mundo;
        if (!catalogo.isEmpty())
            escribir(mundo.entorno.recursos + QStringLiteral("/catalogo.json"), catalogo);
        escribir(mundo.entorno.home +
                     QStringLiteral("/Library/Audio/Plug-Ins/VST3/Quelo DSP/c/b.vst3/x"),
                 "x");
        if (conSesion)
            escribir(
                mundo.entorno.home +
                    QStringLiteral("/Library/Application Support/Quelo DSP/instalador-sesion.json"),
                R"({"email": "ana@example.com", "token": "ficha"})");
        Store sincrono(mundo.entorno);
        sincrono.load();

        Store store(mundo.entorno);
        store.cargar();
        // The first frame already shows the screen the session leads to.
        QVERIFY(store.busy());
        QCOMPARE(store.cuentaEmail().has_value(), conSesion);
        QVERIFY(store.visible().isEmpty());
        QTRY_VERIFY(!store.busy());
        QCOMPARE(store.plugins(), sincrono.plugins());
        QCOMPARE(ids(store.visible()), ids(sincrono.visible()));
        QCOMPARE(store.selectedID(), sincrono.selectedID());
        QCOMPARE(store.installed(), sincrono.installed());
        QCOMPARE(store.cuentaEmail(), sincrono.cuentaEmail());
        QCOMPARE(store.tokenCasa(), sincrono.tokenCasa());
        QCOMPARE(store.status(), sincrono.status());
    }

    void load_de_catalogo_vacio_funciona() {
        Cargado c({});
        QVERIFY(c.store->plugins().isEmpty());
        QVERIFY(!c.store->selectedID());
        QVERIFY(!c.store->selected());
        QVERIFY(c.store->categories().isEmpty());
        QVERIFY(c.store->status() != QStringLiteral("No encontré el catálogo dentro de la app."));
    }

    void visible_filtra_por_categoria_y_busqueda_data() {
        QTest::addColumn<QString>("category");
        QTest::addColumn<QString>("query");
        QTest::addColumn<QStringList>("esperado");
        QTest::newRow("todo") << "Todas"
                              << ""
                              << QStringList{QStringLiteral("eq"), QStringLiteral("comp"),
                                             QStringLiteral("rev"), QStringLiteral("sat")};
        QTest::newRow("mayúsculas hallan minúsculas") << "Todas"
                                                      << "EQ" << QStringList{QStringLiteral("eq")};
        QTest::newRow("subtítulo") << "Todas"
                                   << "ecualizador" << QStringList{QStringLiteral("eq")};
        QTest::newRow("propósito") << "Todas"
                                   << "BATERÍA" << QStringList{QStringLiteral("comp")};
        QTest::newRow("blurb y fabricante no se buscan") << "Todas"
                                                         << "Texto largo" << QStringList{};
        QTest::newRow("id y categoría no se buscan") << "Todas"
                                                     << "Dinámica" << QStringList{};
        QTest::newRow("un espacio")
            << "Todas"
            << " "
            << QStringList{QStringLiteral("eq"), QStringLiteral("comp"), QStringLiteral("sat")};
        QTest::newRow("acento distinto") << "Todas"
                                         << "bateria" << QStringList{};
        QTest::newRow("categoría")
            << "Dinámica"
            << "" << QStringList{QStringLiteral("comp"), QStringLiteral("sat")};
        QTest::newRow("categoría y búsqueda") << "Dinámica"
                                              << "cinta" << QStringList{QStringLiteral("sat")};
        QTest::newRow("categoría en otra caja") << "dinámica"
                                                << "" << QStringList{};
        QTest::newRow("categoría desconocida") << "Delay"
                                               << "" << QStringList{};
    }
    void visible_filtra_por_categoria_y_busqueda() {
        QFETCH(QString, category);
        QFETCH(QString, query);
        QFETCH(QStringList, esperado);
        Cargado c(
            {conCampos(QStringLiteral("eq"), QStringLiteral("Nivel"),
                       QStringLiteral("Ecualizador eq"), QStringLiteral("Corrige graves"),
                       QStringLiteral("Mezcla")),
             conCampos(QStringLiteral("comp"), QStringLiteral("Prensa"),
                       QStringLiteral("Compresor"), QStringLiteral("Para la batería"),
                       QStringLiteral("Dinámica")),
             conCampos(QStringLiteral("rev"), QStringLiteral("Eco"), QStringLiteral("Reverb"),
                       QStringLiteral("Espacio"), QStringLiteral("Mezcla")),
             conCampos(QStringLiteral("sat"), QStringLiteral("Cinta"), QStringLiteral("Saturación"),
                       QStringLiteral("Calor analógico"), QStringLiteral("Dinámica"))});
        c.store->setCategory(category);
        c.store->setQuery(query);
        QCOMPARE(ids(c.store->visible()), esperado);
    }

    void acentos_compuestos_y_descompuestos_son_iguales() {
        const QString compuesto = QStringLiteral("Dinámica");
        const QString descompuesto = QStringLiteral("Dina\u0301mica");
        Cargado c({conCampos(QStringLiteral("a"), QStringLiteral("Válvula"), QStringLiteral("s"),
                             QStringLiteral("p"), compuesto),
                   conCampos(QStringLiteral("b"), QStringLiteral("Otra"), QStringLiteral("s"),
                             QStringLiteral("p"), descompuesto),
                   conCampos(QStringLiteral("c\u0301"), QStringLiteral("Tercera"),
                             QStringLiteral("s"), QStringLiteral("p"), QStringLiteral("Mezcla"))});
        QCOMPARE(c.store->categories(), (QStringList{compuesto, QStringLiteral("Mezcla")}));
        c.store->setCategory(descompuesto);
        QCOMPARE(ids(c.store->visible()), (QStringList{QStringLiteral("a"), QStringLiteral("b")}));
        c.store->setCategory(QStringLiteral("Todas"));
        c.store->setQuery(QStringLiteral("va\u0301lvula"));
        QCOMPARE(ids(c.store->visible()), QStringList{QStringLiteral("a")});
        c.store->setSelectedID(QStringLiteral("\u0107")); // composed form of c + U+0301
        QCOMPARE(c.store->selected()->name, QStringLiteral("Tercera"));
    }

    void categorias_sin_repetir_en_orden_de_aparicion() {
        Cargado c({pluginDePrueba(QStringLiteral("1"), QStringLiteral("B")),
                   pluginDePrueba(QStringLiteral("2"), QStringLiteral("A")),
                   pluginDePrueba(QStringLiteral("3"), QStringLiteral("B")),
                   pluginDePrueba(QStringLiteral("4"), QStringLiteral("C")),
                   pluginDePrueba(QStringLiteral("5"), QStringLiteral(""))});
        QCOMPARE(c.store->categories(), (QStringList{QStringLiteral("B"), QStringLiteral("A"),
                                                     QStringLiteral("C"), QStringLiteral("")}));
    }

    void seleccion_sigue_al_id_en_todo_el_catalogo() {
        Cargado c({pluginDePrueba(QStringLiteral("a"), QStringLiteral("X")),
                   pluginDePrueba(QStringLiteral("b"), QStringLiteral("Y")),
                   pluginDePrueba(QStringLiteral("b"), QStringLiteral("Z"))});
        c.store->setCategory(QStringLiteral("X"));
        c.store->setSelectedID(QStringLiteral("b")); // hidden by the filter: still selected
        QCOMPARE(c.store->selected()->category, QStringLiteral("Y")); // the first with that id
        c.store->setSelectedID(QStringLiteral("nadie"));              // unknown: the first visible
        QCOMPARE(c.store->selected()->id, QStringLiteral("a"));
        c.store->setCategory(QStringLiteral("Ninguna"));
        QVERIFY(!c.store->selected());
        c.store->setSelectedID(QStringLiteral("b"));
        QCOMPARE(c.store->selected()->id, QStringLiteral("b"));
        c.store->setSelectedID(std::nullopt);
        QVERIFY(!c.store->selected());
    }

    void las_propiedades_avisan_sus_cambios() {
        Mundo mundo;
        Store store(mundo.entorno);
        QSignalSpy categoria(&store, &Store::categoryChanged);
        QSignalSpy consulta(&store, &Store::queryChanged);
        QSignalSpy seleccion(&store, &Store::selectedIDChanged);
        QSignalSpy estado(&store, &Store::statusChanged);
        store.setCategory(QStringLiteral("X"));
        store.setQuery(QStringLiteral("q"));
        store.setSelectedID(QStringLiteral("a"));
        store.setStatus(QStringLiteral("s"));
        QCOMPARE(categoria.size(), 1);
        QCOMPARE(consulta.size(), 1);
        QCOMPARE(seleccion.size(), 1);
        QCOMPARE(estado.size(), 1);
    }

    void run_muestra_el_error_reescanea_y_termina_sin_busy() {
        Cargado c({pluginDePrueba(QStringLiteral("a"))});
        QVERIFY(c.store->installed().isEmpty());
        bool empezo = false;
        QList<bool> busyAlCambiarEstado;
        QList<bool> busyAlReescanear;
        QObject::connect(c.store.get(), &Store::statusChanged, c.store.get(),
                         [&] { busyAlCambiarEstado.append(c.store->busy()); });
        QObject::connect(c.store.get(), &Store::installedChanged, c.store.get(),
                         [&] { busyAlReescanear.append(c.store->busy()); });
        PruebaStore::run(*c.store, [&] {
            return fallarTras(std::chrono::milliseconds(20), QStringLiteral("abc"), &empezo);
        });
        QVERIFY(c.store->busy());
        QVERIFY2(!empezo, "run must return before the action starts");
        // while it runs, the plug-in appears on disk: the rescan at the end must see it
        escribir(fabricanteVst3(c.mundo.entorno.home) + QStringLiteral("/Reverb/a.vst3/Contents/x"),
                 "x");
        QVERIFY(esperarFin(*c.store));
        QVERIFY(empezo);
        QCOMPARE(c.store->status(), QStringLiteral("abc"));
        QCOMPARE(c.store->installed(), QSet<QString>{QStringLiteral("a")});
        QCOMPARE(busyAlCambiarEstado, QList<bool>{true});
        QCOMPARE(busyAlReescanear, QList<bool>{true}); // busy is cleared last
    }

    void run_muestra_la_descripcion_de_un_error_del_sistema() {
        Mundo mundo;
        Store store(mundo.entorno);
        PruebaStore::run(store, [] { return fallarConError(QStringLiteral("Disco lleno")); });
        QVERIFY(esperarFin(store));
        QCOMPARE(store.status(), QStringLiteral("Disco lleno"));
    }

    void cancelar_antes_de_empezar_no_corre_la_accion() {
        Mundo mundo;
        Store store(mundo.entorno);
        bool empezo = false;
        PruebaStore::run(store, [&] {
            return fallarTras(std::chrono::milliseconds(1), QStringLiteral("x"), &empezo);
        });
        store.cancelar();
        QVERIFY(esperarFin(store));
        QVERIFY(!empezo);
        QCOMPARE(store.status(),
                 QStringLiteral("Cancelado. Lo que ya estaba instalado sigue en su sitio."));
    }

    void run_sobrevive_a_la_destruccion_del_store() {
        Mundo mundo;
        auto store = std::make_unique<Store>(mundo.entorno);
        bool empezo = false;
        bool termina = false;
        PruebaStore::run(*store, [&] {
            return fallarTras(std::chrono::milliseconds(30), QStringLiteral("x"), &empezo,
                              &termina);
        });
        QTRY_VERIFY(empezo);
        store.reset();
        // the action ends after its Store is gone, and its failure has nowhere to go: nothing may
        // crash
        QTRY_VERIFY(termina);
    }

    void lectura_limitada_data() {
        QTest::addColumn<QString>("que"); // what is at the path
        QTest::addColumn<QString>("resultado");
        QTest::newRow("justo en el límite") << "1000 bytes"
                                            << "1000 bytes";
        QTest::newRow("un byte de más") << "1001 bytes"
                                        << "demasiado grande";
        QTest::newRow("vacío") << "0 bytes"
                               << "0 bytes";
        QTest::newRow("nada") << "nada"
                              << "nada";
        QTest::newRow("enlace roto") << "enlace roto"
                                     << "nada";
        QTest::newRow("bajo un archivo") << "bajo un archivo"
                                         << "nada";
    }
    void lectura_limitada() {
        QFETCH(QString, que);
        QFETCH(QString, resultado);
        Mundo mundo;
        QString ruta = mundo.entorno.temporal + QStringLiteral("/x.json");
        if (que.endsWith(QStringLiteral(" bytes")))
            escribir(ruta, QByteArray(que.section(QLatin1Char(' '), 0, 0).toInt(), 'x'));
        if (que == QStringLiteral("enlace roto"))
            QFile::link(mundo.entorno.temporal + QStringLiteral("/no"), ruta);
        if (que == QStringLiteral("bajo un archivo")) {
            escribir(ruta, "x");
            ruta += QStringLiteral("/y.json");
        }
        QString visto;
        try {
            const auto datos = leerArchivoLimitado(ruta, 1000);
            visto = datos ? QString::number(datos->size()) + QStringLiteral(" bytes")
                          : QStringLiteral("nada");
        } catch (const ErrorSistema& e) {
            QCOMPARE(e.descripcion, QStringLiteral("No se pudo leer ") + ruta +
                                        QStringLiteral(": el archivo es demasiado grande."));
            visto = QStringLiteral("demasiado grande");
        }
        QCOMPARE(visto, resultado);
    }

    void load_acepta_un_catalogo_de_diez_mil_plugins() {
        QList<Plugin> muchos;
        for (int i = 0; i < 10000; ++i)
            muchos.append(pluginDePrueba(QString::number(i)));
        Cargado c(muchos);
        QCOMPARE(c.store->plugins().size(), 10000);
    }
};

QUELO_PRUEBA(TstCore)
QUELO_MAIN(QCoreApplication)
#include "tst_core.moc"
