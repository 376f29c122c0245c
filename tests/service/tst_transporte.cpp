// What every request shares: certificate checks, time-outs, redirects, streaming and progress.
#include "certificados.h"
#include "disco.h"
#include "ejecutable.h"
#include "escenario.h"
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

} // namespace

class TstTransporte : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void tls_confia_en_el_sistema_y_en_las_autoridades_propias();
    void peticion_callada_se_corta_como_tiempo_agotado();
    void transferencia_larga_se_corta_en_total_data();
    void transferencia_larga_se_corta_en_total();
    void token_no_viaja_a_otro_host();
    void contrasena_no_sigue_a_otro_origen_data();
    void contrasena_no_sigue_a_otro_origen();
    void no_se_sigue_de_https_a_http();
    void paquete_grande_publica_su_progreso();
    void paquete_que_no_cabe_en_el_disco_se_explica_data();
    void paquete_que_no_cabe_en_el_disco_se_explica();
    void store_que_desaparece_a_mitad_no_deja_nada_colgado();
};

void TstTransporte::tls_confia_en_el_sistema_y_en_las_autoridades_propias() {
    // without extra authorities nothing is touched: the system's still load on demand
    QSslConfiguration esperada = QSslConfiguration::defaultConfiguration();
    esperada.setPeerVerifyMode(QSslSocket::VerifyPeer);
    QCOMPARE(configuracionTls(Entorno{}), esperada);

    Entorno conPropias;
    conPropias.autoridades = autoridadDePrueba();
    const QSslConfiguration tls = configuracionTls(conPropias);
    QCOMPARE(tls.peerVerifyMode(), QSslSocket::VerifyPeer);
    const QList<QSslCertificate> lista = tls.caCertificates();
    QVERIFY(lista.contains(conPropias.autoridades.first()));
    const QList<QSslCertificate> delSistema = QSslConfiguration::systemCaCertificates();
    QVERIFY(!delSistema.isEmpty());
    for (const QSslCertificate& autoridad : delSistema)
        QVERIFY(lista.contains(autoridad));
}

void TstTransporte::peticion_callada_se_corta_como_tiempo_agotado() {
    Escenario e({pluginDePrueba(QStringLiteral("brisa"))});
    e.mundo.entorno.esperaPeticion = 300ms;
    conBrisa(e);
    Pauta colgada = json(R"({"ok": true, "plugins": []})");
    colgada.colgar = true;
    e.servidor.ruta("GET", QStringLiteral("/v1/mios"), colgada);
    QVERIFY(e.bajarComprados());
    QCOMPARE(e.store->status(), agotado);

    // a package that stops half-way leaves neither a file nor any progress behind
    Escenario p({pluginDePrueba(QStringLiteral("brisa"))});
    p.mundo.entorno.esperaPeticion = 300ms;
    conBrisa(p);
    Pauta mitad;
    mitad.archivo = zipConBundles(p.mundo, QStringLiteral("brisa"), {QStringLiteral("brisa.vst3")});
    mitad.colgar = true;
    p.servidor.ruta("GET", QStringLiteral("/v1/bajar/brisa"), mitad);
    QVERIFY(p.bajarComprados());
    QCOMPARE(p.store->status(), agotado);
    QVERIFY(!p.store->progreso());
    QVERIFY(p.temporales().isEmpty());
}

void TstTransporte::transferencia_larga_se_corta_en_total_data() {
    QTest::addColumn<bool>("gotea");
    QTest::newRow("callada antes de contestar") << false;
    QTest::newRow("gota a gota sin fin") << true;
}

void TstTransporte::transferencia_larga_se_corta_en_total() {
    // the connection is never silent for long, but the whole exchange takes too long
    QFETCH(bool, gotea);
    Escenario e;
    e.mundo.entorno.esperaTotal = 300ms;
    e.rehacer();
    Pauta lenta = json(R"({"ok": true, "token": "t"})");
    if (gotea) {
        lenta.goteo = 20ms;
        lenta.repetir = -1;
    } else {
        lenta.demora = 1500ms;
    }
    e.servidor.ruta("POST", QStringLiteral("/v1/cuenta"), lenta);
    e.store->entrarCasa(QStringLiteral("ana@ejemplo.com"), QStringLiteral("secreta"), false);
    QVERIFY(esperarFin(*e.store));
    QCOMPARE(e.store->status(), agotado);
    QVERIFY(!e.store->tokenCasa());
}

void TstTransporte::token_no_viaja_a_otro_host() {
    Escenario e({pluginDePrueba(QStringLiteral("brisa"))});
    conBrisa(e);
    // the list moves to another host: the token stays behind
    Pauta mudanza;
    mudanza.estado = 307;
    mudanza.cabeceras.append(qMakePair(
        QByteArray("Location"), e.servidor.baseLocalhost().toString().toUtf8() + "/v2/mios"));
    e.servidor.ruta("GET", QStringLiteral("/v1/mios"), mudanza);
    e.servidor.ruta("GET", QStringLiteral("/v2/mios"),
                    json(R"({"ok": false, "error": "Falta el token."})", 401));
    QVERIFY(e.bajarComprados());
    QCOMPARE(e.store->status(), QStringLiteral("Falta el token."));
    QCOMPARE(e.a(QStringLiteral("/v1/mios")).value(0).cabeceras.value("authorization"),
             QByteArray("Bearer tok"));
    QCOMPARE(e.a(QStringLiteral("/v2/mios")).size(), 1);
    QVERIFY(!e.a(QStringLiteral("/v2/mios")).first().cabeceras.contains("authorization"));

    // on the same host it goes along
    Escenario mismo({pluginDePrueba(QStringLiteral("brisa"))});
    conBrisa(mismo);
    Pauta aqui;
    aqui.estado = 302;
    aqui.cabeceras.append(qMakePair(QByteArray("Location"), QByteArray("/paquetes/brisa")));
    mismo.servidor.ruta("GET", QStringLiteral("/v1/bajar/brisa"), aqui);
    Pauta paquete;
    paquete.archivo =
        zipConBundles(mismo.mundo, QStringLiteral("brisa"), {QStringLiteral("brisa.vst3")});
    mismo.servidor.ruta("GET", QStringLiteral("/paquetes/brisa"), paquete);
    QVERIFY(mismo.bajarComprados());
    QCOMPARE(mismo.store->status(),
             QStringLiteral("Listos 1 plugins. En Ableton: Preferencias > Plug-ins > Rescan."));
    QCOMPARE(mismo.a(QStringLiteral("/paquetes/brisa")).value(0).cabeceras.value("authorization"),
             QByteArray("Bearer tok"));
}

void TstTransporte::contrasena_no_sigue_a_otro_origen_data() {
    QTest::addColumn<int>("estado");
    QTest::addColumn<QString>("destino"); // "puerto": another server; "host": localhost
    QTest::addColumn<bool>("sigue");
    QTest::newRow("307 a otro puerto") << 307 << "puerto" << false;
    QTest::newRow("308 a otro nombre") << 308 << "host" << false;
    QTest::newRow("307 en el mismo servidor") << 307 << "" << true;
    QTest::newRow("303 a otro puerto, sin cuerpo") << 303 << "puerto" << true;
}

void TstTransporte::contrasena_no_sigue_a_otro_origen() {
    QFETCH(int, estado);
    QFETCH(QString, destino);
    QFETCH(bool, sigue);
    Escenario e;
    ServidorPrueba otro;
    const QUrl base = destino == QStringLiteral("puerto") ? otro.base()
                      : destino == QStringLiteral("host") ? e.servidor.baseLocalhost()
                                                          : e.servidor.base();
    Pauta mudanza;
    mudanza.estado = estado;
    mudanza.cabeceras.append(
        qMakePair(QByteArray("Location"), base.toString().toUtf8() + "/v2/cuenta"));
    e.servidor.ruta("POST", QStringLiteral("/v1/cuenta"), mudanza);
    const Pauta bienvenida = json(R"({"ok": true, "token": "t"})");
    for (ServidorPrueba* s : {&e.servidor, &otro}) {
        s->ruta("POST", QStringLiteral("/v2/cuenta"), bienvenida);
        s->ruta("GET", QStringLiteral("/v2/cuenta"), bienvenida);
    }

    e.store->entrarCasa(QStringLiteral("ana@ejemplo.com"), QStringLiteral("secreta"), false);
    QVERIFY(esperarFin(*e.store));
    QList<Llegada> llegadas = otro.peticiones();
    for (const Llegada& p : e.servidor.peticiones())
        if (p.ruta == QStringLiteral("/v2/cuenta")) llegadas.append(p);
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

void TstTransporte::no_se_sigue_de_https_a_http() {
    Escenario e({pluginDePrueba(QStringLiteral("brisa"))});
    e.conSesion();
    Pauta baja;
    baja.estado = 301;
    baja.cabeceras.append(qMakePair(
        QByteArray("Location"),
        QStringLiteral("http://127.0.0.1:%1/v1/salud").arg(e.servidor.puerto()).toUtf8()));
    e.servidor.ruta("GET", QStringLiteral("/v1/salud"), baja);
    QVERIFY(e.bajarComprados());
    QCOMPARE(e.store->status(),
             QStringLiteral("Se rechazó una redirección a una dirección sin cifrar."));
    QCOMPARE(e.servidor.peticiones().size(), 1);
}

void TstTransporte::paquete_grande_publica_su_progreso() {
    Escenario e({pluginDePrueba(QStringLiteral("brisa"))});
    conBrisa(e);
    // a bundle with a few megabytes of incompressible data, so the body comes in many pieces
    const QByteArray datos = alAzar(6 * 1024 * 1024, 7);
    e.paquete(QStringLiteral("brisa"), zipGrande(e.mundo, datos));

    QList<std::optional<double>> avances;
    QObject::connect(e.store.get(), &Store::progresoChanged, e.store.get(),
                     [&] { avances.append(e.store->progreso()); });
    QVERIFY(e.bajarComprados());
    QCOMPARE(e.store->status(),
             QStringLiteral("Listos 1 plugins. En Ableton: Preferencias > Plug-ins > Rescan."));
    QCOMPARE(leer(grandeInstalado(e.mundo)), datos);
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

void TstTransporte::paquete_que_no_cabe_en_el_disco_se_explica_data() {
    QTest::addColumn<qint64>("disco");  // the temporary folder's file system
    QTest::addColumn<QString>("envio"); // what the server does
    const qint64 mib = 1 << 20;
    QTest::newRow("más grande que el disco") << 2 * mib << "paquete";
    // The list says so: the package is never asked for.
    QTest::newRow("dice que no cabe") << 2 * mib << "dicho";
    // Stopped before the disk's last 64 MiB: the user's other programs still have room.
    QTest::newRow("sin fin ni longitud") << 96 * mib << "sin fin";
}

void TstTransporte::paquete_que_no_cabe_en_el_disco_se_explica() {
    QFETCH(qint64, disco);
    QFETCH(QString, envio);
    QTemporaryDir dir;
    const DiscoPequeno pequeno(dir.path(), disco);
    if (!pequeno.montado()) QSKIP(qPrintable(pequeno.razon()));
    Escenario e({pluginDePrueba(QStringLiteral("brisa"))});
    e.mundo.entorno.temporal = pequeno.carpeta();
    e.rehacer();
    conBrisa(e);
    if (envio == QStringLiteral("sin fin")) {
        Pauta sinFin{.cuerpo = alAzar(64 * 1024, 3), .repetir = -1};
        e.servidor.ruta("GET", QStringLiteral("/v1/bajar/brisa"), sinFin);
    } else {
        e.paquete(QStringLiteral("brisa"), zipGrande(e.mundo, alAzar(4 * 1024 * 1024, 11)));
    }
    if (envio == QStringLiteral("dicho"))
        e.mios(R"({"ok": true, "plugins": [{"id": "brisa", "size": 4200000}]})");

    QVERIFY(e.bajarComprados());
    const QRegularExpression texto(
        QStringLiteral("^No se pudo guardar el paquete en ") +
        QRegularExpression::escape(pequeno.carpeta()) +
        QStringLiteral("/quelo-brisa-[0-9A-F-]{36}\\.zip: no queda espacio en el disco\\.$"));
    QVERIFY2(texto.match(e.store->status()).hasMatch(), qPrintable(e.store->status()));
    QVERIFY(e.temporales().isEmpty());
    QVERIFY(e.store->installed().isEmpty());
    const qint64 enviados = e.a(QStringLiteral("/v1/bajar/brisa")).value(0).enviados;
    if (envio == QStringLiteral("dicho"))
        QCOMPARE(e.a(QStringLiteral("/v1/bajar/brisa")).size(), 0);
    // what the writer's blocks and the sockets hold beyond the room, no more
    if (envio == QStringLiteral("sin fin"))
        QVERIFY2(enviados < 32 * 1024 * 1024 + 16 * 1024 * 1024,
                 qPrintable(QString::number(enviados)));
}

void TstTransporte::store_que_desaparece_a_mitad_no_deja_nada_colgado() {
    // the window closes while the store answers slowly: the actions stop quietly
    Escenario e({pluginDePrueba(QStringLiteral("brisa"))});
    conBrisa(e);
    Pauta lenta = json(R"({"ok": true, "plugins": [{"id": "brisa"}]})");
    lenta.demora = 300ms;
    e.servidor.ruta("GET", QStringLiteral("/v1/mios"), lenta);
    e.servidor.ruta("POST", QStringLiteral("/v1/cuenta"), lenta);
    e.paquete(QStringLiteral("brisa"),
              zipConBundles(e.mundo, QStringLiteral("brisa"), {QStringLiteral("brisa.vst3")}));

    e.store->bajarComprados();
    QTRY_COMPARE_WITH_TIMEOUT(e.a(QStringLiteral("/v1/mios")).size(), 1, 20000);
    e.store.reset();
    e.rehacer();
    e.store->entrarCasa(QStringLiteral("ana@ejemplo.com"), QStringLiteral("secreta"), false);
    QTRY_COMPARE_WITH_TIMEOUT(e.a(QStringLiteral("/v1/cuenta")).size(), 1, 20000);
    e.store.reset();

    // Both delayed answers fall due after their Store is gone.
    dejarCorrer(800ms);
    QVERIFY(e.a(QStringLiteral("/v1/bajar/brisa")).isEmpty());
    QVERIFY(e.temporales().isEmpty());
}

QUELO_PRUEBA(TstTransporte)

#include "tst_transporte.moc"
