// Stopping a run: "Cancelar" at each kind of safe point, and signing out in the middle of a
// download.
#include "disco.h"
#include "ejecutable.h"
#include "escenario.h"
#include "herramientas.h"

#include <QtTest>

using namespace std::chrono_literals;

namespace {

const QString cancelado =
    QStringLiteral("Cancelado. Lo que ya estaba instalado sigue en su sitio.");

QList<Plugin> catalogo() {
    return {pluginDePrueba(QStringLiteral("brisa"), QStringLiteral("Reverb")),
            pluginDePrueba(QStringLiteral("eco"), QStringLiteral("Delay"))};
}

// A bundle installed before the run, with a mark of its own: it must come out as it went in.
QString instaladoAntes(const Mundo& mundo, const QString& id, const QString& categoria) {
    const QString bundle = fabricanteVst3(mundo.entorno.home) + QStringLiteral("/") + categoria +
                           QStringLiteral("/") + id + QStringLiteral(".vst3");
    crearBundle(bundle);
    escribir(bundle + QStringLiteral("/Contents/anterior"), "de antes");
    return bundle;
}

// What a cancelled run leaves: its text, no progress, the temporary folder empty, and the
// bundle installed before it whole, with nothing half-copied beside it.
void cancelacionLimpia(Escenario& e, const QString& anterior, const QStringList& antes) {
    QCOMPARE(e.store->status(), cancelado);
    QVERIFY(!e.store->busy());
    QVERIFY(!e.store->progreso());
    QVERIFY(e.store->avance().isEmpty());
    QVERIFY(e.temporales().isEmpty());
    QCOMPARE(leer(anterior + QStringLiteral("/Contents/anterior")), QByteArray("de antes"));
    QCOMPARE(todoEn(e.mundo.entorno.home), antes);
    QVERIFY(e.store->installed().contains(QStringLiteral("brisa")));
}

Pauta goteando(const QString& zip) {
    Pauta r;
    r.archivo = zip;
    r.goteo = 20ms;
    return r;
}

} // namespace

class TstCancelar : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cancelar_durante_una_transferencia_lenta();
    void cancelar_durante_una_copia_lenta_data();
    void cancelar_durante_una_copia_lenta();
    void cancelar_con_el_bundle_ya_en_su_sitio_lo_termina();
    void cancelar_entre_dos_paquetes();
    void salir_durante_una_bajada_deja_de_usar_el_token_data();
    void salir_durante_una_bajada_deja_de_usar_el_token();
    void cerrar_la_aplicacion_durante_una_bajada_la_detiene();
};

void TstCancelar::cancelar_durante_una_transferencia_lenta() {
    Escenario e(catalogo());
    const QString anterior =
        instaladoAntes(e.mundo, QStringLiteral("brisa"), QStringLiteral("Reverb"));
    e.conSesion();
    e.conCasa();
    e.mios(R"({"ok": true, "plugins": [{"id": "brisa"}]})");
    e.servidor.ruta(
        "GET", QStringLiteral("/v1/bajar/brisa"),
        goteando(zipConBundles(e.mundo, QStringLiteral("brisa"), {QStringLiteral("brisa.vst3")})));
    const QStringList antes = todoEn(e.mundo.entorno.home);

    e.store->bajarComprados();
    QTRY_VERIFY_WITH_TIMEOUT(e.a(QStringLiteral("/v1/bajar/brisa")).value(0).enviados > 0, 20000);
    e.store->cancelar();
    QVERIFY(esperarFin(*e.store));
    cancelacionLimpia(e, anterior, antes);
    // the server saw the connection go long before the body's end
    QTRY_VERIFY(e.a(QStringLiteral("/v1/bajar/brisa")).value(0).abandonada);
}

void TstCancelar::cancelar_durante_una_copia_lenta_data() {
    QTest::addColumn<bool>("sorda");       // the tool ignores being told to end
    QTest::addColumn<bool>("conProyecto"); // copied from the project, not downloaded
    QTest::newRow("bajada, la copia termina al pedírselo") << false << false;
    QTest::newRow("bajada, la copia no hace caso") << true << false;
    QTest::newRow("proyecto, la copia termina al pedírselo") << false << true;
}

void TstCancelar::cancelar_durante_una_copia_lenta() {
    QFETCH(bool, sorda);
    QFETCH(bool, conProyecto);
    const Plugin brisa = pluginDePrueba(QStringLiteral("brisa"), QStringLiteral("Reverb"));
    Escenario e(catalogo(), conProyecto);
    // A downloaded bundle is copied only from an unpack folder on a file system of its own:
    // elsewhere it is moved into place at once.
    std::optional<DiscoPequeno> aparte;
    if (!conProyecto) {
        aparte.emplace(e.mundo.entorno.temporal, 256 << 20); // beyond the unpack margin
        if (!aparte->montado()) QSKIP(qPrintable(aparte->razon()));
    }
    const QString anterior =
        instaladoAntes(e.mundo, QStringLiteral("brisa"), QStringLiteral("Reverb"));
    copiaQueNoTermina(e.mundo, sorda);
    if (conProyecto) {
        crearBundle(e.mundo.proyecto + QStringLiteral("/") + brisa.vst3);
        e.rehacer();
    } else {
        e.conSesion();
        e.conCasa();
        e.mios(R"({"ok": true, "plugins": [{"id": "brisa"}]})");
        e.paquete(QStringLiteral("brisa"),
                  zipConBundles(e.mundo, QStringLiteral("brisa"), {QStringLiteral("brisa.vst3")}));
    }
    const QStringList antes = todoEn(e.mundo.entorno.home);
    if (conProyecto)
        e.store->install(brisa);
    else
        e.store->bajarComprados();
    QTRY_VERIFY_WITH_TIMEOUT(procesoDeCopia(e.mundo) > 0, 20000);
    const qint64 copia = procesoDeCopia(e.mundo);
    e.store->cancelar();
    QVERIFY(esperarFin(*e.store));
    QVERIFY(!procesoVivo(copia));
    cancelacionLimpia(e, anterior, antes);
}

void TstCancelar::cancelar_con_el_bundle_ya_en_su_sitio_lo_termina() {
    Escenario e(catalogo());
    const QString bundle =
        instaladoAntes(e.mundo, QStringLiteral("brisa"), QStringLiteral("Reverb"));
    // the quarantine step comes after the swap: asked to stop there, the install still ends
    const QString empezada = e.mundo.dir.filePath(QStringLiteral("cuarentena-empezada"));
    e.mundo.entorno.cuarentena = {guion(e.mundo.dir.filePath(QStringLiteral("cuarentena-lenta")),
                                        "touch '" + QFile::encodeName(empezada) + "'\nsleep 1")};
    e.conSesion();
    e.conCasa();
    e.mios(R"({"ok": true, "plugins": [{"id": "brisa"}]})");
    e.paquete(QStringLiteral("brisa"),
              zipConBundles(e.mundo, QStringLiteral("brisa"), {QStringLiteral("brisa.vst3")}));

    e.store->bajarComprados();
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(empezada), 20000);
    e.store->cancelar();
    QVERIFY(esperarFin(*e.store));
    QCOMPARE(e.store->status(), cancelado);
    // the new bundle whole in place of the earlier one, nothing beside it
    QVERIFY(!QFileInfo::exists(bundle + QStringLiteral("/Contents/anterior")));
    QCOMPARE(leer(bundle + QStringLiteral("/Contents/Info.plist")), QByteArray("<plist/>"));
    QVERIFY(QFileInfo(bundle + QStringLiteral("/Contents/enlace")).isSymLink());
    for (const QString& ruta : todoEn(QFileInfo(bundle).path()))
        QVERIFY2(ruta.startsWith(bundle), qPrintable(ruta));
    QVERIFY(e.temporales().isEmpty());
}

void TstCancelar::cancelar_entre_dos_paquetes() {
    Escenario e(catalogo());
    const QString eco = instaladoAntes(e.mundo, QStringLiteral("eco"), QStringLiteral("Delay"));
    e.conSesion();
    e.conCasa();
    e.mios(R"({"ok": true, "plugins": [{"id": "brisa", "name": "Brisa"},
                                       {"id": "eco", "name": "Eco"}]})");
    e.paquete(QStringLiteral("brisa"),
              zipConBundles(e.mundo, QStringLiteral("brisa"), {QStringLiteral("brisa.vst3")}));
    e.paquete(QStringLiteral("eco"),
              zipConBundles(e.mundo, QStringLiteral("eco"), {QStringLiteral("eco.vst3")}));
    // pressed the moment the first package is in and the second is announced
    QObject::connect(e.store.get(), &Store::statusChanged, e.store.get(), [&e] {
        if (e.store->status() == QStringLiteral("Bajando Eco…")) e.store->cancelar();
    });

    QVERIFY(e.bajarComprados());
    QCOMPARE(e.mensajes, (QStringList{QStringLiteral("Bajando Brisa…"),
                                      QStringLiteral("Bajando Eco…"), cancelado}));
    QVERIFY(e.a(QStringLiteral("/v1/bajar/eco")).isEmpty());
    QCOMPARE(leer(fabricanteVst3(e.mundo.entorno.home) +
                  QStringLiteral("/Reverb/brisa.vst3/Contents/Info.plist")),
             QByteArray("<plist/>"));
    QCOMPARE(leer(eco + QStringLiteral("/Contents/anterior")), QByteArray("de antes"));
    QCOMPARE(e.store->installed(), (QSet<QString>{QStringLiteral("brisa"), QStringLiteral("eco")}));
    QVERIFY(e.temporales().isEmpty());
    QVERIFY(e.store->avance().isEmpty());

    // with nothing running it does nothing
    e.mensajes.clear();
    e.store->cancelar();
    QCoreApplication::processEvents();
    QVERIFY(e.mensajes.isEmpty());
    QVERIFY(!e.store->busy());
}

void TstCancelar::salir_durante_una_bajada_deja_de_usar_el_token_data() {
    QTest::addColumn<QString>("donde");
    QTest::newRow("mientras llega la lista") << "/v1/mios";
    QTest::newRow("mientras llega un paquete") << "/v1/bajar/brisa";
}

void TstCancelar::salir_durante_una_bajada_deja_de_usar_el_token() {
    QFETCH(QString, donde);
    Escenario e(catalogo());
    e.conSesion();
    e.conCasa();
    Pauta lista = json(R"({"ok": true, "plugins": [{"id": "brisa", "name": "Brisa"},
                                         {"id": "eco", "name": "Eco"}]})");
    if (donde == QStringLiteral("/v1/mios")) lista.goteo = 20ms;
    e.servidor.ruta("GET", QStringLiteral("/v1/mios"), lista);
    const QString brisa =
        zipConBundles(e.mundo, QStringLiteral("brisa"), {QStringLiteral("brisa.vst3")});
    if (donde == QStringLiteral("/v1/mios"))
        e.paquete(QStringLiteral("brisa"), brisa);
    else
        e.servidor.ruta("GET", QStringLiteral("/v1/bajar/brisa"), goteando(brisa));
    e.paquete(QStringLiteral("eco"),
              zipConBundles(e.mundo, QStringLiteral("eco"), {QStringLiteral("eco.vst3")}));

    e.store->bajarComprados();
    QTRY_VERIFY_WITH_TIMEOUT(e.a(donde).value(0).enviados > 0, 20000);
    const qsizetype pedidas = e.servidor.peticiones().size();
    e.mensajes.clear();
    e.store->salir();
    QVERIFY(esperarFin(*e.store));
    dejarCorrer(100ms);
    QCOMPARE(e.mensajes, QStringList{QStringLiteral("Sesión cerrada.")});
    QCOMPARE(e.store->status(), QStringLiteral("Sesión cerrada."));
    QCOMPARE(e.servidor.peticiones().size(), pedidas);
    QTRY_VERIFY(e.a(donde).value(0).abandonada);
    QVERIFY(!e.store->tokenCasa());
    QVERIFY(e.temporales().isEmpty());
}

void TstCancelar::cerrar_la_aplicacion_durante_una_bajada_la_detiene() {
    // The application's end stops a transfer that would wait for ever, and its package file is
    // gone before the process goes on to end: nothing is cut off in the middle.
    Escenario e(catalogo());
    e.conSesion();
    e.conCasa();
    e.mios(R"({"ok": true, "plugins": [{"id": "brisa"}]})");
    Pauta colgada; // half the body, then nothing, never closed
    colgada.cuerpo = QByteArray(4 * 1024 * 1024, 'x');
    colgada.colgar = true;
    e.servidor.ruta("GET", QStringLiteral("/v1/bajar/brisa"), colgada);
    const QDir temporal(e.mundo.entorno.temporal);
    const QStringList paquetes{QStringLiteral("*.zip")};

    e.store->bajarComprados();
    QTRY_VERIFY_WITH_TIMEOUT(e.a(QStringLiteral("/v1/bajar/brisa")).value(0).enviados > 0, 20000);
    QVERIFY(!temporal.entryList(paquetes, QDir::Files).isEmpty());
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    QCoreApplication::exec(); // returns at once, telling that the application is about to end
    QVERIFY(temporal.entryList(paquetes, QDir::Files).isEmpty());

    QVERIFY(esperarFin(*e.store));
    QVERIFY(!e.store->status().startsWith(QStringLiteral("Listos")));
    QVERIFY(e.temporales().isEmpty());
}

QUELO_PRUEBA(TstCancelar)

#include "tst_cancelar.moc"
