// Downloading the store account's plug-ins: the three requests, their checks and texts, and
// the bundles that land in the maker folders.
#include "disco.h"
#include "escenario.h"
#include "herramientas.h"
#include "pruebas.h"
#include "zips.h"

#include <QDirIterator>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QtTest>

namespace {

const QString vst3 = QStringLiteral("/Library/Audio/Plug-Ins/VST3/Quelo DSP/");
const QString au = QStringLiteral("/Library/Audio/Plug-Ins/Components/Quelo DSP/");
const QString sinCasa =
    QStringLiteral("Esta Mac todavía no publica la casa de descargas. Déjala encendida.");
const QString sinLista = QStringLiteral("No se pudieron ver los plugins de la cuenta.");

QString listos(int n) {
    return "Listos " + QString::number(n) +
           " plugins. En Ableton: Preferencias > Plug-ins > Rescan.";
}

QList<Plugin> catalogo() {
    return {pluginDePrueba("brisa", "Reverb"), pluginDePrueba("eco", "Delay")};
}

// The package of a catalog plug-in: its two bundles, named as the catalog names them.
QString paqueteDe(const Mundo& mundo, const QString& id) {
    return zipConBundles(mundo, id, {id + ".vst3", "dentro/" + id + ".component"});
}

void bajarYEsperar(Escenario& e) {
    e.store->bajarComprados();
    QVERIFY(e.store->busy());
    QTRY_VERIFY_WITH_TIMEOUT(!e.store->busy(), 20000);
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

void TstService::bajar_comprados_sin_token_solo_avisa() {
    Escenario e(catalogo());
    QSignalSpy ocupado(e.store.get(), &Store::busyChanged);
    e.store->bajarComprados();
    QCOMPARE(e.store->status(),
             QStringLiteral("Entra con la cuenta de la tienda para bajar lo que pagaste."));
    QVERIFY(!e.store->busy());
    QTest::qWait(50);
    QCOMPARE(ocupado.size(), 0);
    QVERIFY(e.servidor.peticiones().isEmpty());
}

void TstService::bajar_comprados_instala_cada_paquete() {
    Escenario e(catalogo());
    e.conSesion();
    // the status of "v1/salud" is not looked at
    e.servidor.ruta(
        "GET", "/v1/salud",
        json("{\"descarga\": \"" + e.servidor.base().toString().toUtf8() + "/\"}", 503));
    e.mios(R"({"ok": true, "plugins": [{"id": "BRISA", "name": "Brisa Pro", "precio": 9}]})");
    e.paquete("brisa", paqueteDe(e.mundo, "brisa"));

    bajarYEsperar(e);
    QCOMPARE(e.mensajes, (QStringList{"Bajando Brisa Pro…", listos(1)}));
    const QString home = e.mundo.entorno.home;
    QCOMPARE(leer(home + vst3 + "Reverb/brisa.vst3/Contents/Info.plist"), QByteArray("<plist/>"));
    QVERIFY(QFileInfo(home + vst3 + "Reverb/brisa.vst3/Contents/MacOS/binario").isExecutable());
    QVERIFY(QFileInfo(home + vst3 + "Reverb/brisa.vst3/Contents/enlace").isSymLink());
    QCOMPARE(leer(home + au + "Reverb/brisa.component/Contents/Info.plist"),
             QByteArray("<plist/>"));
    QCOMPARE(e.store->installed(), (QSet<QString>{"brisa"}));
    QVERIFY(e.temporales().isEmpty()); // neither the package nor the unpack folder stays

    const QList<Peticion> p = e.servidor.peticiones();
    QCOMPARE(p.size(), 3);
    QCOMPARE(p[0].ruta, QStringLiteral("/v1/salud"));
    QVERIFY(!p[0].cabeceras.contains("authorization"));
    QCOMPARE(p[1].ruta, QStringLiteral("/v1/mios"));
    QCOMPARE(p[1].cabeceras.value("authorization"), QByteArray("Bearer tok"));
    QCOMPARE(p[2].ruta, QStringLiteral("/v1/bajar/brisa"));
    QCOMPARE(p[2].metodo, QByteArray("GET"));
    QCOMPARE(p[2].cabeceras.value("authorization"), QByteArray("Bearer tok"));
}

void TstService::casa_de_descargas_inservible_data() {
    QTest::addColumn<QByteArray>("cuerpo");
    QTest::newRow("http") << QByteArray(R"({"descarga": "http://127.0.0.1:9"})");
    QTest::newRow("esquema en mayúsculas") << QByteArray(R"({"descarga": "HTTPS://127.0.0.1:9"})");
    QTest::newRow("no es texto") << QByteArray(R"({"descarga": 443})");
    QTest::newRow("no es dirección") << QByteArray(R"({"descarga": "https://a b"})");
    QTest::newRow("sin descarga") << QByteArray(R"({"ok": true})");
    QTest::newRow("no es JSON") << QByteArray("casa");
}

void TstService::casa_de_descargas_inservible() {
    QFETCH(QByteArray, cuerpo);
    Escenario e(catalogo());
    e.conSesion();
    e.servidor.ruta("GET", "/v1/salud", json(cuerpo));
    bajarYEsperar(e);
    QCOMPARE(e.store->status(), sinCasa);
    QCOMPARE(e.servidor.peticiones().size(), 1);
}

void TstService::lista_de_la_cuenta_fallida_data() {
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

void TstService::lista_de_la_cuenta_fallida() {
    QFETCH(int, estado);
    QFETCH(QByteArray, cuerpo);
    QFETCH(QString, mensaje);
    Escenario e(catalogo());
    e.conSesion();
    e.conCasa();
    e.mios(cuerpo, estado);
    e.paquete("brisa", paqueteDe(e.mundo, "brisa"));
    bajarYEsperar(e);
    QCOMPARE(e.store->status(), mensaje);
    QVERIFY(e.a("/v1/bajar/brisa").isEmpty());
}

void TstService::cuenta_sin_plugins_no_es_fallo() {
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
        bajarYEsperar(e);
        QCOMPARE(e.mensajes, QStringList{ninguno});
        QCOMPARE(e.servidor.peticiones().size(), 2);
    }
}

void TstService::lista_salta_desconocidos_y_repite_duplicados() {
    Escenario e(catalogo());
    e.conSesion();
    e.conCasa();
    e.mios(R"({"ok": true, "plugins": [{"id": "otro", "name": "Otro"}, {"id": "Brisa"},
               {"id": "brisa", "name": "Brisa"}]})");
    e.paquete("brisa", paqueteDe(e.mundo, "brisa"));
    bajarYEsperar(e);
    QCOMPARE(e.mensajes, (QStringList{"Bajando plugin…", "Bajando Brisa…", listos(2)}));
    QCOMPARE(e.a("/v1/bajar/brisa").size(), 2);
    QVERIFY(e.a("/v1/bajar/otro").isEmpty());

    Escenario ajenos(catalogo());
    ajenos.conSesion();
    ajenos.conCasa();
    ajenos.mios(R"({"ok": true, "plugins": [{"id": "otro", "name": "Otro"}]})");
    bajarYEsperar(ajenos);
    QCOMPARE(ajenos.mensajes, QStringList{listos(0)});
}

void TstService::instalar_sin_proyecto_baja_solo_ese_plugin() {
    Escenario e(catalogo());
    e.conSesion();
    e.conCasa();
    e.mios(R"({"ok": true, "plugins": [{"id": "BRISA", "name": "Brisa"}]})");
    e.paquete("brisa", paqueteDe(e.mundo, "brisa"));
    e.paquete("eco", paqueteDe(e.mundo, "eco"));

    e.store->install(pluginDePrueba("eco", "Delay"));
    QTRY_VERIFY_WITH_TIMEOUT(!e.store->busy(), 20000);
    QCOMPARE(e.store->status(), QStringLiteral("Esta cuenta no compró ese plugin."));
    QVERIFY(e.a("/v1/bajar/eco").isEmpty());

    Plugin brisa = pluginDePrueba("brisa", "Reverb");
    brisa.id = QStringLiteral("Brisa"); // the catalog's own spelling is what is asked for
    e.store->install(brisa);
    QTRY_VERIFY_WITH_TIMEOUT(!e.store->busy(), 20000);
    QCOMPARE(e.store->status(), listos(1));
    QCOMPARE(e.a("/v1/bajar/brisa").size(), 1);
    QCOMPARE(e.store->installed(), (QSet<QString>{"brisa"}));
}

void TstService::paquete_fallido_data() {
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

void TstService::paquete_fallido() {
    QFETCH(QString, tipo);
    QFETCH(QString, mensaje);
    QFETCH(bool, deApple);
    Escenario e(catalogo());
    const int salidaCopia = tipo == "copia" ? 1 : 0;
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
        e.mundo.entorno.copiador = {guion(e.mundo.dir.filePath("copia-falla"), "exit 1")};
    e.conSesion();
    e.conCasa();
    e.mios(R"({"ok": true, "plugins": [{"id": "brisa"}]})");
    const QString zip = e.mundo.dir.filePath("paquete.zip");
    const QList<EntradaZip> bien{archivoZip("brisa.vst3/Contents/Info.plist", "<plist/>")};
    if (tipo == "404 con error")
        e.servidor.ruta("GET", "/v1/bajar/brisa", json(R"({"error": "No hay paquete."})", 404));
    else if (tipo == "404 vacío")
        e.servidor.ruta("GET", "/v1/bajar/brisa", json("", 404));
    else if (tipo == "roto")
        escribir(zip, "PK\x03\x04 esto no sigue");
    else if (tipo == "sube")
        escribirZip(zip, bien + QList{archivoZip("../../fuera.txt", "x")});
    else if (tipo == "absoluto")
        escribirZip(
            zip, bien + QList{archivoZip(QFile::encodeName(e.mundo.dir.filePath("abs.txt")), "x")});
    else if (tipo == "enlace")
        escribirZip(zip, bien + QList{enlaceZip("brisa.vst3/Contents/fuera", "../../../.."),
                                      archivoZip("brisa.vst3/Contents/fuera/x.txt", "x")});
    else if (tipo == "vacío")
        escribirZip(zip, {archivoZip("LEEME.txt", "nada")});
    else if (tipo == "bundle enlace")
        escribirZip(zip, {archivoZip("real/Contents/Info.plist", "<plist/>"),
                          enlaceZip("brisa.vst3", "real")});
    else if (tipo == "bundle archivo")
        escribirZip(zip, {archivoZip("brisa.vst3", "<plist/>")});
    else if (tipo == ".vst3" || tipo == "..vst3")
        escribirZip(zip, bien + QList{archivoZip(tipo.toUtf8() + "/Contents/Info.plist", "x")});
    else if (tipo == "sale del bundle")
        escribirZip(zip, bien + QList{archivoZip("otra/x.txt", "x"),
                                      enlaceZip("brisa.vst3/Contents/x", "../../otra/x.txt")});
    else
        escribirZip(zip, bien);
    if (QFileInfo::exists(zip)) e.paquete("brisa", zip);
    // The folders a copy makes before it runs are there already: any entry more is a leak.
    QDir().mkpath(e.mundo.entorno.home + vst3 + "Reverb");
    const QStringList antes = archivosFueraDeTmp(e.mundo);

    bajarYEsperar(e);
    QCOMPARE(e.store->status(), mensaje);
    QCOMPARE(archivosFueraDeTmp(e.mundo), antes); // nothing installed, nothing written outside
    QVERIFY(e.store->installed().isEmpty());
    QVERIFY(e.temporales().isEmpty());
    // Unpacking runs no tool on either system; only the copy does.
    if (deApple) QCOMPARE(llamadas(e.mundo).size(), salidaCopia);
}

void TstService::paquete_que_no_cabe_en_el_disco_data() {
    QTest::addColumn<qint64>("disco"); // the temporary folder's file system, margin included
    QTest::addColumn<QList<EntradaZip>>("entradas");
    const qint64 mib = 1 << 20;
    QByteArray azar(4 * mib, Qt::Uninitialized);
    QRandomGenerator(11).fillRange(reinterpret_cast<quint32*>(azar.data()), azar.size() / 4);
    QTest::newRow("bomba") << 80 * mib << QList{cerosZip("brisa.vst3/Contents/datos", 128 * mib)};
    QTest::newRow("disco casi lleno")
        << 66 * mib << QList{archivoZip("brisa.vst3/Contents/datos", azar)};
}

void TstService::paquete_que_no_cabe_en_el_disco() {
    QFETCH(qint64, disco);
    QFETCH(QList<EntradaZip>, entradas);
    Escenario e(catalogo());
    const QString zip = e.mundo.dir.filePath("grande.zip");
    escribirZip(zip, entradas);
    const DiscoPequeno pequeno(e.mundo.entorno.temporal, disco);
    if (!pequeno.montado()) QSKIP(qPrintable(pequeno.razon()));
    e.conSesion();
    e.conCasa();
    e.mios(R"({"ok": true, "plugins": [{"id": "brisa"}]})");
    e.paquete("brisa", zip);

    bajarYEsperar(e);
    QCOMPARE(e.store->status(), QStringLiteral("El paquete de Nombre brisa no se pudo abrir."));
    QVERIFY(e.store->installed().isEmpty());
    QVERIFY(!QFileInfo::exists(e.mundo.entorno.home + vst3));
    QVERIFY(e.temporales().isEmpty());
}

void TstService::bajar_con_las_herramientas_de_apple_data() {
    QTest::addColumn<bool>("otroDisco"); // the unpack folder on another file system than the home
    QTest::newRow("mismo disco: el bundle se mueve, nada se copia") << false;
    QTest::newRow("otro disco: ditto lo copia") << true;
}

void TstService::bajar_con_las_herramientas_de_apple() {
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
    e.paquete("brisa", paqueteDe(e.mundo, "brisa"));

    bajarYEsperar(e);
    QCOMPARE(e.store->status(), listos(1));
    const QList<QStringList> hechas = llamadas(e.mundo);
    const QString enVst3 = e.mundo.entorno.home + vst3 + "Reverb/brisa.vst3";
    const QString enAu = e.mundo.entorno.home + au + "Reverb/brisa.component";
    if (otroDisco) {
        QVERIFY(!hechas.isEmpty());
        // The unpack folder's name is random: taken from the first copy.
        const QString paquete = QFileInfo(hechas[0].value(1)).path();
        QVERIFY2(paquete.startsWith(e.mundo.entorno.temporal + "/quelo-brisa-"),
                 qPrintable(paquete));
        QCOMPARE(hechas, (QList<QStringList>{
                             {"ditto", paquete + "/brisa.vst3", copiaOculta(enVst3)},
                             {"xattr", "-dr", "com.apple.quarantine", enVst3},
                             {"ditto", paquete + "/dentro/brisa.component", copiaOculta(enAu)},
                             {"xattr", "-dr", "com.apple.quarantine", enAu},
                         }));
    } else {
        QCOMPARE(hechas, (QList<QStringList>{
                             {"xattr", "-dr", "com.apple.quarantine", enVst3},
                             {"xattr", "-dr", "com.apple.quarantine", enAu},
                         }));
    }
    QCOMPARE(leer(enVst3 + "/Contents/Info.plist"), QByteArray("<plist/>"));
    QVERIFY(QFileInfo(enAu + "/Contents/enlace").isSymLink());
    QCOMPARE(e.store->installed(), (QSet<QString>{"brisa"}));
    QVERIFY(e.temporales().isEmpty());
}

void TstService::primer_fallo_detiene_la_bajada() {
    Escenario e(catalogo());
    e.conSesion();
    e.conCasa();
    e.mios(
        R"({"ok": true, "plugins": [{"id": "brisa", "name": "Brisa"}, {"id": "eco", "name": "Eco"},
               {"id": "brisa", "name": "Brisa"}]})");
    e.paquete("brisa", paqueteDe(e.mundo, "brisa"));
    e.servidor.ruta("GET", "/v1/bajar/eco", json(R"({"error": "Eco no está listo."})", 500));

    bajarYEsperar(e);
    QCOMPARE(e.mensajes, (QStringList{"Bajando Brisa…", "Bajando Eco…", "Eco no está listo."}));
    QCOMPARE(e.a("/v1/bajar/brisa").size(), 1); // the third entry is never attempted
    QCOMPARE(e.store->installed(), (QSet<QString>{"brisa"}));
    QVERIFY(e.temporales().isEmpty());
}
