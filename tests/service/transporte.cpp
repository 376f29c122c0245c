// What every request shares: certificate checks, time-outs, redirects, streaming and progress.
#include "disco.h"
#include "escenario.h"
#include "pruebas.h"
#include "service/red.h"

#include <QRegularExpression>
#include <QSslConfiguration>
#include <QtTest>

using namespace std::chrono_literals;

namespace {

const QString agotado = QStringLiteral("Se agotó el tiempo de espera de la conexión.");

void conBrisa(Escenario& e) {
    e.conSesion();
    e.conCasa();
    e.mios(R"({"ok": true, "plugins": [{"id": "brisa", "name": "Brisa"}]})");
}

void bajarYEsperar(Escenario& e) {
    e.store->bajarComprados();
    QTRY_VERIFY_WITH_TIMEOUT(!e.store->busy(), 20000);
}

} // namespace

void TstService::tls_confia_en_el_sistema_y_en_las_autoridades_propias() {
    // without extra authorities nothing is touched: the system's still load on demand
    QSslConfiguration esperada = QSslConfiguration::defaultConfiguration();
    esperada.setPeerVerifyMode(QSslSocket::VerifyPeer);
    QCOMPARE(configuracionTls(Entorno{}), esperada);

    Entorno conPropias;
    conPropias.autoridades = ServidorPrueba::autoridad();
    const QSslConfiguration tls = configuracionTls(conPropias);
    QCOMPARE(tls.peerVerifyMode(), QSslSocket::VerifyPeer);
    const QList<QSslCertificate> lista = tls.caCertificates();
    QVERIFY(lista.contains(conPropias.autoridades.first()));
    const QList<QSslCertificate> delSistema = QSslConfiguration::systemCaCertificates();
    QVERIFY(!delSistema.isEmpty());
    for (const QSslCertificate& autoridad : delSistema)
        QVERIFY(lista.contains(autoridad));
}

void TstService::peticion_callada_se_corta_como_tiempo_agotado() {
    Escenario e({pluginDePrueba("brisa")});
    e.mundo.entorno.esperaPeticion = 300ms;
    conBrisa(e);
    Respuesta colgada = json(R"({"ok": true, "plugins": []})");
    colgada.colgar = true;
    e.servidor.ruta("GET", "/v1/mios", colgada);
    bajarYEsperar(e);
    QCOMPARE(e.store->status(), agotado);

    // a package that stops half-way leaves neither a file nor any progress behind
    Escenario p({pluginDePrueba("brisa")});
    p.mundo.entorno.esperaPeticion = 300ms;
    conBrisa(p);
    Respuesta mitad;
    mitad.archivo = zipConBundles(p.mundo, "brisa", {"brisa.vst3"});
    mitad.colgar = true;
    p.servidor.ruta("GET", "/v1/bajar/brisa", mitad);
    bajarYEsperar(p);
    QCOMPARE(p.store->status(), agotado);
    QVERIFY(!p.store->progreso());
    QVERIFY(p.temporales().isEmpty());
}

void TstService::transferencia_larga_se_corta_en_total_data() {
    QTest::addColumn<bool>("gotea");
    QTest::newRow("callada antes de contestar") << false;
    QTest::newRow("gota a gota sin fin") << true;
}

void TstService::transferencia_larga_se_corta_en_total() {
    // the connection is never silent for long, but the whole exchange takes too long
    QFETCH(bool, gotea);
    Escenario e;
    e.mundo.entorno.esperaTotal = 300ms;
    e.rehacer();
    Respuesta lenta = json(R"({"ok": true, "token": "t"})");
    if (gotea) {
        lenta.goteo = 20ms;
        lenta.repetir = -1;
    } else {
        lenta.demora = 1500ms;
    }
    e.servidor.ruta("POST", "/v1/cuenta", lenta);
    e.store->entrarCasa("ana@ejemplo.com", "secreta", false);
    QTRY_VERIFY_WITH_TIMEOUT(!e.store->busy(), 20000);
    QCOMPARE(e.store->status(), agotado);
    QVERIFY(!e.store->tokenCasa());
}

void TstService::token_no_viaja_a_otro_host() {
    Escenario e({pluginDePrueba("brisa")});
    conBrisa(e);
    // the list moves to another host: the token stays behind
    Respuesta mudanza;
    mudanza.estado = 307;
    mudanza.cabeceras.append(qMakePair(
        QByteArray("Location"), e.servidor.baseLocalhost().toString().toUtf8() + "/v2/mios"));
    e.servidor.ruta("GET", "/v1/mios", mudanza);
    e.servidor.ruta("GET", "/v2/mios", json(R"({"ok": false, "error": "Falta el token."})", 401));
    bajarYEsperar(e);
    QCOMPARE(e.store->status(), QStringLiteral("Falta el token."));
    QCOMPARE(e.a("/v1/mios").value(0).cabeceras.value("authorization"), QByteArray("Bearer tok"));
    QCOMPARE(e.a("/v2/mios").size(), 1);
    QVERIFY(!e.a("/v2/mios").first().cabeceras.contains("authorization"));

    // on the same host it goes along
    Escenario mismo({pluginDePrueba("brisa")});
    conBrisa(mismo);
    Respuesta aqui;
    aqui.estado = 302;
    aqui.cabeceras.append(qMakePair(QByteArray("Location"), QByteArray("/paquetes/brisa")));
    mismo.servidor.ruta("GET", "/v1/bajar/brisa", aqui);
    Respuesta paquete;
    paquete.archivo = zipConBundles(mismo.mundo, "brisa", {"brisa.vst3"});
    mismo.servidor.ruta("GET", "/paquetes/brisa", paquete);
    bajarYEsperar(mismo);
    QCOMPARE(mismo.store->status(),
             QStringLiteral("Listos 1 plugins. En Ableton: Preferencias > Plug-ins > Rescan."));
    QCOMPARE(mismo.a("/paquetes/brisa").value(0).cabeceras.value("authorization"),
             QByteArray("Bearer tok"));
}

void TstService::contrasena_no_sigue_a_otro_origen_data() {
    QTest::addColumn<int>("estado");
    QTest::addColumn<QString>("destino"); // "puerto": another server; "host": localhost
    QTest::addColumn<bool>("sigue");
    QTest::newRow("307 a otro puerto") << 307 << "puerto" << false;
    QTest::newRow("308 a otro nombre") << 308 << "host" << false;
    QTest::newRow("307 en el mismo servidor") << 307 << "" << true;
    QTest::newRow("303 a otro puerto, sin cuerpo") << 303 << "puerto" << true;
}

void TstService::contrasena_no_sigue_a_otro_origen() {
    QFETCH(int, estado);
    QFETCH(QString, destino);
    QFETCH(bool, sigue);
    Escenario e;
    ServidorPrueba otro;
    const QUrl base = destino == "puerto" ? otro.base()
                      : destino == "host" ? e.servidor.baseLocalhost()
                                          : e.servidor.base();
    Respuesta mudanza;
    mudanza.estado = estado;
    mudanza.cabeceras.append(
        qMakePair(QByteArray("Location"), base.toString().toUtf8() + "/v2/cuenta"));
    e.servidor.ruta("POST", "/v1/cuenta", mudanza);
    const Respuesta bienvenida = json(R"({"ok": true, "token": "t"})");
    for (ServidorPrueba* s : {&e.servidor, &otro}) {
        s->ruta("POST", "/v2/cuenta", bienvenida);
        s->ruta("GET", "/v2/cuenta", bienvenida);
    }

    e.store->entrarCasa("ana@ejemplo.com", "secreta", false);
    e.esperarFin();
    QList<Peticion> llegadas = otro.peticiones();
    for (const Peticion& p : e.servidor.peticiones())
        if (p.ruta == "/v2/cuenta") llegadas.append(p);
    if (!sigue) {
        QCOMPARE(e.store->status(), QStringLiteral("Se rechazó una redirección que llevaba la "
                                                   "contraseña a otro servidor."));
        QVERIFY(llegadas.isEmpty());
        QVERIFY(!e.store->tokenCasa());
        return;
    }
    QCOMPARE(e.store->status(),
             QStringLiteral("Sesión de la tienda abierta. Baja los plugins que compraste."));
    QCOMPARE(llegadas.size(), 1);
    QCOMPARE(llegadas.first().cuerpo.contains("secreta"), estado == 307);
}

void TstService::no_se_sigue_de_https_a_http() {
    Escenario e({pluginDePrueba("brisa")});
    e.conSesion();
    Respuesta baja;
    baja.estado = 301;
    baja.cabeceras.append(qMakePair(
        QByteArray("Location"),
        QStringLiteral("http://127.0.0.1:%1/v1/salud").arg(e.servidor.puerto()).toUtf8()));
    e.servidor.ruta("GET", "/v1/salud", baja);
    bajarYEsperar(e);
    QCOMPARE(e.store->status(),
             QStringLiteral("Se rechazó una redirección a una dirección sin cifrar."));
    QCOMPARE(e.servidor.peticiones().size(), 1);
}

void TstService::paquete_grande_publica_su_progreso() {
    Escenario e({pluginDePrueba("brisa")});
    conBrisa(e);
    // a bundle with a few megabytes of incompressible data, so the body comes in many pieces
    const QByteArray datos = alAzar(6 * 1024 * 1024, 7);
    e.paquete("brisa", zipGrande(e.mundo, datos));

    QList<std::optional<double>> avances;
    QObject::connect(e.store.get(), &Store::progresoChanged, e.store.get(),
                     [&] { avances.append(e.store->progreso()); });
    bajarYEsperar(e);
    QCOMPARE(e.store->status(),
             QStringLiteral("Listos 1 plugins. En Ableton: Preferencias > Plug-ins > Rescan."));
    QCOMPARE(leer(e.mundo.entorno.home +
                  "/Library/Audio/Plug-Ins/VST3/Quelo DSP/Reverb/brisa.vst3/Contents/Resources/"
                  "grande.bin"),
             datos);
    QVERIFY(avances.size() >= 3);
    QVERIFY(!avances.last()); // over: nothing shown any more
    double anterior = 0;
    for (qsizetype i = 0; i + 1 < avances.size(); ++i) {
        QVERIFY(avances[i].has_value());
        QVERIFY(*avances[i] >= anterior && *avances[i] <= 1.0);
        anterior = *avances[i];
    }
    QVERIFY(anterior > 0.99);
}

void TstService::paquete_que_no_cabe_en_el_disco_se_explica() {
    QTemporaryDir dir;
    const DiscoPequeno disco(dir.path(), 2 * 1024 * 1024);
    if (!disco.montado()) QSKIP(qPrintable(disco.razon()));
    Escenario e({pluginDePrueba("brisa")});
    e.mundo.entorno.temporal = disco.carpeta();
    e.rehacer();
    conBrisa(e);
    e.paquete("brisa", zipGrande(e.mundo, alAzar(4 * 1024 * 1024, 11)));

    bajarYEsperar(e);
    const QRegularExpression texto(
        "^No se pudo guardar el paquete en " + QRegularExpression::escape(disco.carpeta()) +
        "/quelo-brisa-[0-9A-F-]{36}\\.zip: no queda espacio en el disco\\.$");
    QVERIFY2(texto.match(e.store->status()).hasMatch(), qPrintable(e.store->status()));
    QVERIFY(e.temporales().isEmpty());
    QVERIFY(e.store->installed().isEmpty());
}

void TstService::store_que_desaparece_a_mitad_no_deja_nada_colgado() {
    // the window closes while the store answers slowly: the actions stop quietly
    Escenario e({pluginDePrueba("brisa")});
    conBrisa(e);
    Respuesta lenta = json(R"({"ok": true, "plugins": [{"id": "brisa"}]})");
    lenta.demora = 300ms;
    e.servidor.ruta("GET", "/v1/mios", lenta);
    e.servidor.ruta("POST", "/v1/cuenta", lenta);
    e.paquete("brisa", zipConBundles(e.mundo, "brisa", {"brisa.vst3"}));

    e.store->bajarComprados();
    QTRY_COMPARE_WITH_TIMEOUT(e.a("/v1/mios").size(), 1, 20000);
    e.store.reset();
    e.rehacer();
    e.store->entrarCasa("ana@ejemplo.com", "secreta", false);
    QTRY_COMPARE_WITH_TIMEOUT(e.a("/v1/cuenta").size(), 1, 20000);
    e.store.reset();

    QTest::qWait(800); // both answers arrive to nobody
    QVERIFY(e.a("/v1/bajar/brisa").isEmpty());
    QVERIFY(e.temporales().isEmpty());
}
