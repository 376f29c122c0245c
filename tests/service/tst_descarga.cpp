// Downloading the store account's plug-ins: the three requests, their checks and texts, and
// the bundles that land in the maker folders.
#include "disco.h"
#include "ejecutable.h"
#include "escenario.h"
#include "herramientas.h"
#include "zips.h"

#include <QDirIterator>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QtTest>

using namespace std::chrono_literals;

namespace {

const QString sinCasa =
    QStringLiteral("Esta Mac todavía no publica la casa de descargas. Déjala encendida.");
const QString sinLista = QStringLiteral("No se pudieron ver los plugins de la cuenta.");

QString listos(int n) {
    return QStringLiteral("Listos ") + QString::number(n) +
           QStringLiteral(" plugins. En Ableton: Preferencias > Plug-ins > Rescan.");
}

QList<Plugin> catalogo() {
    return {pluginDePrueba(QStringLiteral("brisa"), QStringLiteral("Reverb")),
            pluginDePrueba(QStringLiteral("eco"), QStringLiteral("Delay"))};
}

// The package of a catalog plug-in: its two bundles, named as the catalog names them.
QString paqueteDe(const Mundo& mundo, const QString& id) {
    return zipConBundles(mundo, id,
                         {id + QStringLiteral(".vst3"),
                          QStringLiteral("dentro/") + id + QStringLiteral(".component")});
}

QStringList archivosFueraDeTmp(const Mundo& mundo) {
    QStringList rutas;
    QDirIterator it(mundo.dir.path(), QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString ruta = it.next();
        if (!ruta.startsWith(mundo.entorno.temporal)) rutas.append(ruta);
    }
    rutas.sort();
    return rutas;
}

} // namespace

class TstDescarga : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void bajar_comprados_sin_token_solo_avisa();
    void bajar_comprados_instala_cada_paquete();
    void casa_de_descargas_inservible_data();
    void casa_de_descargas_inservible();
    void lista_de_la_cuenta_fallida_data();
    void lista_de_la_cuenta_fallida();
    void cuenta_sin_plugins_no_es_fallo();
    void lista_salta_desconocidos_y_repite_duplicados();
    void instalar_sin_proyecto_baja_solo_ese_plugin();
    void paquete_fallido_data();
    void paquete_fallido();
    void paquete_que_no_cabe_en_el_disco_data();
    void paquete_que_no_cabe_en_el_disco();
    void bajar_con_las_herramientas_de_apple_data();
    void bajar_con_las_herramientas_de_apple();
    void primer_fallo_detiene_la_bajada();
};

void TstDescarga::bajar_comprados_sin_token_solo_avisa() {
    Escenario e(catalogo());
    QSignalSpy ocupado(e.store.get(), &Store::busyChanged);
    e.store->bajarComprados();
    QCOMPARE(e.store->status(),
             QStringLiteral("Entra con la cuenta de la tienda para bajar lo que pagaste."));
    QVERIFY(!e.store->busy());
    dejarCorrer(50ms); // a request on its way reaches the server in that while
    QCOMPARE(ocupado.size(), 0);
    QVERIFY(e.servidor.peticiones().isEmpty());
}

void TstDescarga::bajar_comprados_instala_cada_paquete() {
    Escenario e(catalogo());
    e.conSesion();
    // the status of "v1/salud" is not looked at
    e.servidor.ruta(
        "GET", QStringLiteral("/v1/salud"),
        json("{\"descarga\": \"" + e.servidor.base().toString().toUtf8() + "/\"}", 503));
    e.mios(R"({"ok": true, "plugins": [{"id": "BRISA", "name": "Brisa Pro", "precio": 9}]})");
    e.paquete(QStringLiteral("brisa"), paqueteDe(e.mundo, QStringLiteral("brisa")));

    QVERIFY(e.bajarComprados());
    QCOMPARE(e.mensajes, (QStringList{QStringLiteral("Bajando Brisa Pro…"), listos(1)}));
    const QString home = e.mundo.entorno.home;
    QCOMPARE(leer(fabricanteVst3(home) + QStringLiteral("/Reverb/brisa.vst3/Contents/Info.plist")),
             QByteArray("<plist/>"));
    QVERIFY(QFileInfo(fabricanteVst3(home) +
                      QStringLiteral("/Reverb/brisa.vst3/Contents/MacOS/binario"))
                .isExecutable());
    QVERIFY(QFileInfo(fabricanteVst3(home) + QStringLiteral("/Reverb/brisa.vst3/Contents/enlace"))
                .isSymLink());
    QCOMPARE(
        leer(fabricanteAu(home) + QStringLiteral("/Reverb/brisa.component/Contents/Info.plist")),
        QByteArray("<plist/>"));
    QCOMPARE(e.store->installed(), (QSet<QString>{QStringLiteral("brisa")}));
    QVERIFY(e.temporales().isEmpty()); // neither the package nor the unpack folder stays

    const QList<Llegada> p = e.servidor.peticiones();
    QCOMPARE(p.size(), 3);
    QCOMPARE(p[0].ruta, QStringLiteral("/v1/salud"));
    QVERIFY(!p[0].cabeceras.contains("authorization"));
    QCOMPARE(p[1].ruta, QStringLiteral("/v1/mios"));
    QCOMPARE(p[1].cabeceras.value("authorization"), QByteArray("Bearer tok"));
    QCOMPARE(p[2].ruta, QStringLiteral("/v1/bajar/brisa"));
    QCOMPARE(p[2].metodo, QByteArray("GET"));
    QCOMPARE(p[2].cabeceras.value("authorization"), QByteArray("Bearer tok"));
}

void TstDescarga::casa_de_descargas_inservible_data() {
    QTest::addColumn<QByteArray>("cuerpo");
    QTest::newRow("http") << QByteArray(R"({"descarga": "http://127.0.0.1:9"})");
    QTest::newRow("esquema en mayúsculas") << QByteArray(R"({"descarga": "HTTPS://127.0.0.1:9"})");
    QTest::newRow("no es texto") << QByteArray(R"({"descarga": 443})");
    QTest::newRow("no es dirección") << QByteArray(R"({"descarga": "https://a b"})");
    QTest::newRow("sin descarga") << QByteArray(R"({"ok": true})");
    QTest::newRow("no es JSON") << QByteArray("casa");
}

void TstDescarga::casa_de_descargas_inservible() {
    QFETCH(QByteArray, cuerpo);
    Escenario e(catalogo());
    e.conSesion();
    e.servidor.ruta("GET", QStringLiteral("/v1/salud"), json(cuerpo));
    QVERIFY(e.bajarComprados());
    QCOMPARE(e.store->status(), sinCasa);
    QCOMPARE(e.servidor.peticiones().size(), 1);
}

void TstDescarga::lista_de_la_cuenta_fallida_data() {
    QTest::addColumn<int>("estado");
    QTest::addColumn<QByteArray>("cuerpo");
    QTest::addColumn<QString>("mensaje");
    QTest::newRow("ok falso con error")
        << 200 << QByteArray(R"({"ok": false, "error": "Cuenta bloqueada."})")
        << "Cuenta bloqueada.";
    QTest::newRow("500 sin error") << 500 << QByteArray(R"({"detalle": "x"})") << sinLista;
    QTest::newRow("401 con error")
        << 401 << QByteArray(R"({"error": "Token vencido."})") << "Token vencido.";
    QTest::newRow("ok como texto")
        << 200 << QByteArray(R"({"ok": "true", "plugins": []})") << sinLista;
    QTest::newRow("ok pero 500") << 500
                                 << QByteArray(R"({"ok": true, "plugins": [{"id": "brisa"}]})")
                                 << sinLista;
    QTest::newRow("objeto vacío") << 200 << QByteArray("{}") << sinLista;
    QTest::newRow("no es JSON") << 200 << QByteArray("ok") << sinLista;
}

void TstDescarga::lista_de_la_cuenta_fallida() {
    QFETCH(int, estado);
    QFETCH(QByteArray, cuerpo);
    QFETCH(QString, mensaje);
    Escenario e(catalogo());
    e.conSesion();
    e.conCasa();
    e.mios(cuerpo, estado);
    e.paquete(QStringLiteral("brisa"), paqueteDe(e.mundo, QStringLiteral("brisa")));
    QVERIFY(e.bajarComprados());
    QCOMPARE(e.store->status(), mensaje);
    QVERIFY(e.a(QStringLiteral("/v1/bajar/brisa")).isEmpty());
}

void TstDescarga::cuenta_sin_plugins_no_es_fallo() {
    const QString ninguno = QStringLiteral(
        "Esta cuenta no tiene plugins pagados. Cada plugin se compra a su precio y ese pago no "
        "incluye actualizaciones.");
    for (const QByteArray& cuerpo :
         {QByteArray(R"({"ok": true, "plugins": []})"), QByteArray(R"({"ok": true})"),
          QByteArray(R"({"ok": true, "plugins": [{"id": "brisa"}, 3]})"),
          QByteArray(R"({"ok": true, "plugins": [{"id": 3}, {"name": "Brisa"}]})")}) {
        Escenario e(catalogo());
        e.conSesion();
        e.conCasa();
        e.mios(cuerpo);
        QVERIFY(e.bajarComprados());
        QCOMPARE(e.mensajes, QStringList{ninguno});
        QCOMPARE(e.servidor.peticiones().size(), 2);
    }
}

void TstDescarga::lista_salta_desconocidos_y_repite_duplicados() {
    Escenario e(catalogo());
    e.conSesion();
    e.conCasa();
    e.mios(R"({"ok": true, "plugins": [{"id": "otro", "name": "Otro"}, {"id": "Brisa"},
               {"id": "brisa", "name": "Brisa"}]})");
    e.paquete(QStringLiteral("brisa"), paqueteDe(e.mundo, QStringLiteral("brisa")));
    QVERIFY(e.bajarComprados());
    QCOMPARE(e.mensajes, (QStringList{QStringLiteral("Bajando plugin…"),
                                      QStringLiteral("Bajando Brisa…"), listos(2)}));
    QCOMPARE(e.a(QStringLiteral("/v1/bajar/brisa")).size(), 2);
    QVERIFY(e.a(QStringLiteral("/v1/bajar/otro")).isEmpty());

    Escenario ajenos(catalogo());
    ajenos.conSesion();
    ajenos.conCasa();
    ajenos.mios(R"({"ok": true, "plugins": [{"id": "otro", "name": "Otro"}]})");
    QVERIFY(ajenos.bajarComprados());
    QCOMPARE(ajenos.mensajes, QStringList{listos(0)});
}

void TstDescarga::instalar_sin_proyecto_baja_solo_ese_plugin() {
    Escenario e(catalogo());
    e.conSesion();
    e.conCasa();
    e.mios(R"({"ok": true, "plugins": [{"id": "BRISA", "name": "Brisa"}]})");
    e.paquete(QStringLiteral("brisa"), paqueteDe(e.mundo, QStringLiteral("brisa")));
    e.paquete(QStringLiteral("eco"), paqueteDe(e.mundo, QStringLiteral("eco")));

    e.store->install(pluginDePrueba(QStringLiteral("eco"), QStringLiteral("Delay")));
    QVERIFY(esperarFin(*e.store));
    QCOMPARE(e.store->status(), QStringLiteral("Esta cuenta no compró ese plugin."));
    QVERIFY(e.a(QStringLiteral("/v1/bajar/eco")).isEmpty());

    Plugin brisa = pluginDePrueba(QStringLiteral("brisa"), QStringLiteral("Reverb"));
    brisa.id = QStringLiteral("Brisa"); // the catalog's own spelling is what is asked for
    e.store->install(brisa);
    QVERIFY(esperarFin(*e.store));
    QCOMPARE(e.store->status(), listos(1));
    QCOMPARE(e.a(QStringLiteral("/v1/bajar/brisa")).size(), 1);
    QCOMPARE(e.store->installed(), (QSet<QString>{QStringLiteral("brisa")}));
}

void TstDescarga::paquete_fallido_data() {
    QTest::addColumn<QString>("tipo");
    QTest::addColumn<QString>("mensaje");
    QTest::addColumn<bool>("deApple"); // Apple's tools (stand-ins) instead of this system's
    const QString noAbre = QStringLiteral("El paquete de Nombre brisa no se pudo abrir.");
    for (const bool deApple : {false, true}) {
        const auto fila = [deApple](const char* nombre) -> QTestData& {
            return QTest::addRow("%s (%s)", nombre, deApple ? "ditto" : "cp");
        };
        fila("404 con error") << "404 con error"
                              << "No hay paquete." << deApple;
        fila("404 vacío") << "404 vacío"
                          << "No se pudo bajar Nombre brisa." << deApple;
        fila("ZIP roto") << "roto" << noAbre << deApple;
        fila("ZIP que sube") << "sube" << noAbre << deApple;
        fila("ZIP con nombre absoluto") << "absoluto" << noAbre << deApple;
        fila("ZIP con enlace afuera") << "enlace" << noAbre << deApple;
        fila("ZIP sin bundles") << "vacío"
                                << "El paquete de Nombre brisa llegó vacío." << deApple;
        fila("bundle que es un enlace") << "bundle enlace" << noAbre << deApple;
        fila("bundle que es un archivo") << "bundle archivo" << noAbre << deApple;
        fila("bundle llamado .vst3") << ".vst3" << noAbre << deApple;
        fila("bundle llamado ..vst3") << "..vst3" << noAbre << deApple;
        fila("enlace que sale del bundle") << "sale del bundle" << noAbre << deApple;
        fila("copia que falla") << "copia"
                                << "No se pudo instalar Nombre brisa." << deApple;
    }
}

void TstDescarga::paquete_fallido() {
    QFETCH(QString, tipo);
    QFETCH(QString, mensaje);
    QFETCH(bool, deApple);
    Escenario e(catalogo());
    const int salidaCopia = tipo == QStringLiteral("copia") ? 1 : 0;
    // The copy tool runs only where the unpacked bundle cannot be moved into place: its unpack
    // folder on a file system of its own.
    std::optional<DiscoPequeno> aparte;
    if (salidaCopia) {
        aparte.emplace(e.mundo.entorno.temporal, 256 << 20); // beyond the unpack margin
        if (!aparte->montado()) QSKIP(qPrintable(aparte->razon()));
    }
    if (deApple)
        herramientasDeApple(e.mundo, salidaCopia);
    else if (salidaCopia != 0)
        e.mundo.entorno.copiador = {
            guion(e.mundo.dir.filePath(QStringLiteral("copia-falla")), "exit 1")};
    e.conSesion();
    e.conCasa();
    e.mios(R"({"ok": true, "plugins": [{"id": "brisa"}]})");
    const QString zip = e.mundo.dir.filePath(QStringLiteral("paquete.zip"));
    const QList<EntradaZip> bien{archivoZip("brisa.vst3/Contents/Info.plist", "<plist/>")};
    if (tipo == QStringLiteral("404 con error"))
        e.servidor.ruta("GET", QStringLiteral("/v1/bajar/brisa"),
                        json(R"({"error": "No hay paquete."})", 404));
    else if (tipo == QStringLiteral("404 vacío"))
        e.servidor.ruta("GET", QStringLiteral("/v1/bajar/brisa"), json("", 404));
    else if (tipo == QStringLiteral("roto"))
        escribir(zip, "PK\x03\x04 esto no sigue");
    else if (tipo == QStringLiteral("sube"))
        escribirZip(zip, bien + QList{archivoZip("../../fuera.txt", "x")});
    else if (tipo == QStringLiteral("absoluto"))
        escribirZip(
            zip,
            bien + QList{archivoZip(
                       QFile::encodeName(e.mundo.dir.filePath(QStringLiteral("abs.txt"))), "x")});
    else if (tipo == QStringLiteral("enlace"))
        escribirZip(zip, bien + QList{enlaceZip("brisa.vst3/Contents/fuera", "../../../.."),
                                      archivoZip("brisa.vst3/Contents/fuera/x.txt", "x")});
    else if (tipo == QStringLiteral("vacío"))
        escribirZip(zip, {archivoZip("LEEME.txt", "nada")});
    else if (tipo == QStringLiteral("bundle enlace"))
        escribirZip(zip, {archivoZip("real/Contents/Info.plist", "<plist/>"),
                          enlaceZip("brisa.vst3", "real")});
    else if (tipo == QStringLiteral("bundle archivo"))
        escribirZip(zip, {archivoZip("brisa.vst3", "<plist/>")});
    else if (tipo == QStringLiteral(".vst3") || tipo == QStringLiteral("..vst3"))
        escribirZip(zip, bien + QList{archivoZip(tipo.toUtf8() + "/Contents/Info.plist", "x")});
    else if (tipo == QStringLiteral("sale del bundle"))
        escribirZip(zip, bien + QList{archivoZip("otra/x.txt", "x"),
                                      enlaceZip("brisa.vst3/Contents/x", "../../otra/x.txt")});
    else
        escribirZip(zip, bien);
    if (QFileInfo::exists(zip)) e.paquete(QStringLiteral("brisa"), zip);
    // The folders a copy makes before it runs are there already: any entry more is a leak.
    QDir().mkpath(fabricanteVst3(e.mundo.entorno.home) + QStringLiteral("/Reverb"));
    const QStringList antes = archivosFueraDeTmp(e.mundo);

    QVERIFY(e.bajarComprados());
    QCOMPARE(e.store->status(), mensaje);
    QCOMPARE(archivosFueraDeTmp(e.mundo), antes); // nothing installed, nothing written outside
    QVERIFY(e.store->installed().isEmpty());
    QVERIFY(e.temporales().isEmpty());
    // Unpacking runs no tool on either system; only the copy does.
    if (deApple) QCOMPARE(llamadas(e.mundo).size(), salidaCopia);
}

void TstDescarga::paquete_que_no_cabe_en_el_disco_data() {
    QTest::addColumn<qint64>("disco"); // the temporary folder's file system, margin included
    QTest::addColumn<QList<EntradaZip>>("entradas");
    const qint64 mib = 1 << 20;
    QByteArray azar(4 * mib, Qt::Uninitialized);
    QRandomGenerator(11).fillRange(reinterpret_cast<quint32*>(azar.data()), azar.size() / 4);
    QTest::newRow("bomba") << 80 * mib << QList{cerosZip("brisa.vst3/Contents/datos", 128 * mib)};
    // Room for the package beyond the margin, not for the package and what it unpacks to.
    QTest::newRow("disco casi lleno")
        << 70 * mib << QList{archivoZip("brisa.vst3/Contents/datos", azar)};
}

void TstDescarga::paquete_que_no_cabe_en_el_disco() {
    QFETCH(qint64, disco);
    QFETCH(QList<EntradaZip>, entradas);
    Escenario e(catalogo());
    const QString zip = e.mundo.dir.filePath(QStringLiteral("grande.zip"));
    escribirZip(zip, entradas);
    const DiscoPequeno pequeno(e.mundo.entorno.temporal, disco);
    if (!pequeno.montado()) QSKIP(qPrintable(pequeno.razon()));
    e.conSesion();
    e.conCasa();
    e.mios(R"({"ok": true, "plugins": [{"id": "brisa"}]})");
    e.paquete(QStringLiteral("brisa"), zip);

    QVERIFY(e.bajarComprados());
    QCOMPARE(e.store->status(), QStringLiteral("El paquete de Nombre brisa no se pudo abrir."));
    QVERIFY(e.store->installed().isEmpty());
    QVERIFY(!QFileInfo::exists(fabricanteVst3(e.mundo.entorno.home)));
    QVERIFY(e.temporales().isEmpty());
}

void TstDescarga::bajar_con_las_herramientas_de_apple_data() {
    QTest::addColumn<bool>("otroDisco"); // the unpack folder on another file system than the home
    QTest::newRow("mismo disco: el bundle se mueve, nada se copia") << false;
    QTest::newRow("otro disco: ditto lo copia") << true;
}

void TstDescarga::bajar_con_las_herramientas_de_apple() {
    QFETCH(bool, otroDisco);
    Escenario e(catalogo());
    std::optional<DiscoPequeno> aparte;
    if (otroDisco) {
        aparte.emplace(e.mundo.entorno.temporal, 256 << 20); // beyond the unpack margin
        if (!aparte->montado()) QSKIP(qPrintable(aparte->razon()));
    }
    herramientasDeApple(e.mundo);
    e.conSesion();
    e.conCasa();
    e.mios(R"({"ok": true, "plugins": [{"id": "brisa"}]})");
    e.paquete(QStringLiteral("brisa"), paqueteDe(e.mundo, QStringLiteral("brisa")));

    QVERIFY(e.bajarComprados());
    QCOMPARE(e.store->status(), listos(1));
    const QList<QStringList> hechas = llamadas(e.mundo);
    const QString enVst3 =
        fabricanteVst3(e.mundo.entorno.home) + QStringLiteral("/Reverb/brisa.vst3");
    const QString enAu =
        fabricanteAu(e.mundo.entorno.home) + QStringLiteral("/Reverb/brisa.component");
    const QString xattr = QStringLiteral("xattr");
    const QString dr = QStringLiteral("-dr");
    const QString atributo = QStringLiteral("com.apple.quarantine");
    if (otroDisco) {
        QVERIFY(!hechas.isEmpty());
        // The unpack folder's name is random: taken from the first copy.
        const QString paquete = QFileInfo(hechas[0].value(1)).path();
        QVERIFY2(paquete.startsWith(e.mundo.entorno.temporal + QStringLiteral("/quelo-brisa-")),
                 qPrintable(paquete));
        const QString ditto = QStringLiteral("ditto");
        QCOMPARE(hechas, (QList<QStringList>{
                             {ditto, paquete + QStringLiteral("/brisa.vst3"), copiaOculta(enVst3)},
                             {xattr, dr, atributo, enVst3},
                             {ditto, paquete + QStringLiteral("/dentro/brisa.component"),
                              copiaOculta(enAu)},
                             {xattr, dr, atributo, enAu},
                         }));
    } else {
        QCOMPARE(hechas,
                 (QList<QStringList>{{xattr, dr, atributo, enVst3}, {xattr, dr, atributo, enAu}}));
    }
    QCOMPARE(leer(enVst3 + QStringLiteral("/Contents/Info.plist")), QByteArray("<plist/>"));
    QVERIFY(QFileInfo(enAu + QStringLiteral("/Contents/enlace")).isSymLink());
    QCOMPARE(e.store->installed(), (QSet<QString>{QStringLiteral("brisa")}));
    QVERIFY(e.temporales().isEmpty());
}

void TstDescarga::primer_fallo_detiene_la_bajada() {
    Escenario e(catalogo());
    e.conSesion();
    e.conCasa();
    e.mios(
        R"({"ok": true, "plugins": [{"id": "brisa", "name": "Brisa"}, {"id": "eco", "name": "Eco"},
               {"id": "brisa", "name": "Brisa"}]})");
    e.paquete(QStringLiteral("brisa"), paqueteDe(e.mundo, QStringLiteral("brisa")));
    e.servidor.ruta("GET", QStringLiteral("/v1/bajar/eco"),
                    json(R"({"error": "Eco no está listo."})", 500));

    QVERIFY(e.bajarComprados());
    QCOMPARE(e.mensajes,
             (QStringList{QStringLiteral("Bajando Brisa…"), QStringLiteral("Bajando Eco…"),
                          QStringLiteral("Eco no está listo.")}));
    QCOMPARE(e.a(QStringLiteral("/v1/bajar/brisa")).size(),
             1); // the third entry is never attempted
    QCOMPARE(e.store->installed(), (QSet<QString>{QStringLiteral("brisa")}));
    QVERIFY(e.temporales().isEmpty());
}

QUELO_PRUEBA(TstDescarga)

#include "tst_descarga.moc"
