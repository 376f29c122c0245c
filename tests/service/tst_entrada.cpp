// Store sign-in and sign-up: the "v1/cuenta" exchange and the one message it ends with.
#include "ejecutable.h"
#include "escenario.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QtTest>

namespace {
const QString abierta =
    QStringLiteral("Sesión de la tienda abierta. Baja los plugins que compraste.");
const QString rechazo = QStringLiteral("No se pudo entrar a la tienda.");

// Runs the sign-in and checks the lifecycle every path shares: busy at once, one message.
void entrarYEsperar(Escenario& e, const QString& email, const QString& clave, bool crear) {
    QSignalSpy ocupado(e.store.get(), &Store::busyChanged);
    e.store->entrarCasa(email, clave, crear);
    QVERIFY(e.store->busy());
    QVERIFY(e.mensajes.isEmpty()); // nothing is said before the request is answered
    QVERIFY(esperarFin(*e.store));
    QCOMPARE(ocupado.size(), 2);
    QCOMPARE(e.mensajes.size(), 1);
}
} // namespace

class TstEntrada : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void entrar_en_la_tienda_envia_la_peticion_exacta_data();
    void entrar_en_la_tienda_envia_la_peticion_exacta();
    void entrar_en_la_tienda_decide_por_el_cuerpo_data();
    void entrar_en_la_tienda_decide_por_el_cuerpo();
    void entrar_en_la_tienda_usa_la_ruta_configurada();
    void entrar_en_la_tienda_sin_servicio_o_sin_conexion();
};

void TstEntrada::entrar_en_la_tienda_envia_la_peticion_exacta_data() {
    QTest::addColumn<bool>("crear");
    QTest::addColumn<QString>("accion");
    QTest::newRow("entrar") << false << "entrar";
    QTest::newRow("crear") << true << "crear";
}

void TstEntrada::entrar_en_la_tienda_envia_la_peticion_exacta() {
    QFETCH(bool, crear);
    QFETCH(QString, accion);
    Escenario e;
    e.servidor.ruta("POST", QStringLiteral("/v1/cuenta"), json(R"({"ok": true, "token": "t-1"})"));

    entrarYEsperar(e, QStringLiteral(" Ana@Ejemplo.com\n"), QStringLiteral("  clave con espacios "),
                   crear);
    QCOMPARE(e.store->status(), abierta);
    const QList<Llegada> peticiones = e.servidor.peticiones();
    QCOMPARE(peticiones.size(), 1);
    const Llegada& p = peticiones.first();
    QCOMPARE(p.metodo, QByteArray("POST"));
    QCOMPARE(p.ruta, QStringLiteral("/v1/cuenta"));
    QCOMPARE(p.cabeceras.value("content-type"), QByteArray("application/json"));
    QVERIFY(!p.cabeceras.contains("authorization"));
    const QJsonObject cuerpo = QJsonDocument::fromJson(p.cuerpo).object();
    QCOMPARE(cuerpo,
             (QJsonObject{{QStringLiteral("action"), accion},
                          {QStringLiteral("email"), QStringLiteral("Ana@Ejemplo.com")},
                          {QStringLiteral("password"), QStringLiteral("  clave con espacios ")}}));
    // the typed e-mail, trimmed with its case kept, and the token make the session
    QCOMPARE(e.store->cuentaEmail(), std::optional<QString>(QStringLiteral("Ana@Ejemplo.com")));
    QCOMPARE(e.store->tokenCasa(), std::optional<QString>(QStringLiteral("t-1")));
    const QJsonObject sesion = QJsonDocument::fromJson(leer(e.mundo.sesion())).object();
    QCOMPARE(sesion, (QJsonObject{{QStringLiteral("email"), QStringLiteral("Ana@Ejemplo.com")},
                                  {QStringLiteral("token"), QStringLiteral("t-1")}}));
}

void TstEntrada::entrar_en_la_tienda_decide_por_el_cuerpo_data() {
    QTest::addColumn<int>("estado");
    QTest::addColumn<QByteArray>("cuerpo");
    QTest::addColumn<QString>("mensaje");
    QTest::addColumn<QString>("correo"); // empty: no session opened

    QTest::newRow("correo de la tienda")
        << 200 << QByteArray(R"({"ok": true, "token": "t", "email": "ana@tienda.com"})") << abierta
        << "ana@tienda.com";
    QTest::newRow("éxito con estado de error")
        << 500 << QByteArray(R"({"ok": true, "token": "t"})") << abierta << "ana@ejemplo.com";
    QTest::newRow("correo que no es texto")
        << 200 << QByteArray(R"({"ok": true, "token": "t", "email": 5})") << abierta
        << "ana@ejemplo.com";
    QTest::newRow("ok como texto")
        << 200 << QByteArray(R"({"ok": "true", "token": "t"})") << rechazo << "";
    QTest::newRow("token vacío") << 200
                                 << QByteArray(
                                        R"({"ok": true, "token": "", "error": "Sin token."})")
                                 << "Sin token."
                                 << "";
    QTest::newRow("token numérico")
        << 200 << QByteArray(R"({"ok": true, "token": 7})") << rechazo << "";
    QTest::newRow("401 con error")
        << 401 << QByteArray(R"({"ok": false, "error": "Contraseña incorrecta."})")
        << "Contraseña incorrecta."
        << "";
    QTest::newRow("error que no es texto")
        << 403 << QByteArray(R"({"ok": false, "error": 3})") << rechazo << "";
    QTest::newRow("200 con texto plano") << 200 << QByteArray("Bienvenida") << rechazo << "";
    QTest::newRow("arreglo JSON") << 200 << QByteArray(R"([{"ok": true, "token": "t"}])") << rechazo
                                  << "";
}

void TstEntrada::entrar_en_la_tienda_decide_por_el_cuerpo() {
    QFETCH(int, estado);
    QFETCH(QByteArray, cuerpo);
    QFETCH(QString, mensaje);
    QFETCH(QString, correo);
    Escenario e;
    e.servidor.ruta("POST", QStringLiteral("/v1/cuenta"), json(cuerpo, estado));

    entrarYEsperar(e, QStringLiteral("ana@ejemplo.com"), QStringLiteral("secreta"), false);
    QCOMPARE(e.store->status(), mensaje);
    if (correo.isEmpty()) {
        QVERIFY(!e.store->cuentaEmail());
        QVERIFY(!e.store->tokenCasa());
        QVERIFY(!QFileInfo::exists(e.mundo.sesion()));
    } else {
        QCOMPARE(e.store->cuentaEmail(), std::optional<QString>(correo));
    }
}

void TstEntrada::entrar_en_la_tienda_usa_la_ruta_configurada() {
    Escenario e({}, true);
    escribir(e.mundo.proyecto + QStringLiteral("/config/marca.json"),
             "{\"licencias\": {\"url\": \"" + e.servidor.baseLocalhost().toString().toUtf8() +
                 "/tienda/\"}}");
    e.servidor.ruta("POST", QStringLiteral("/tienda/v1/cuenta"),
                    json(R"({"ok": true, "token": "t"})"));

    entrarYEsperar(e, QStringLiteral("ana@ejemplo.com"), QStringLiteral("secreta"), true);
    QCOMPARE(e.store->status(), abierta);
    QCOMPARE(e.servidor.peticiones().size(), 1);
}

void TstEntrada::entrar_en_la_tienda_sin_servicio_o_sin_conexion() {
    Escenario sinServicio;
    sinServicio.mundo.entorno.servicio.clear();
    sinServicio.rehacer();
    entrarYEsperar(sinServicio, QStringLiteral("ana@ejemplo.com"), QStringLiteral("secreta"),
                   false);
    QCOMPARE(sinServicio.store->status(),
             QStringLiteral("El servicio de licencias no está configurado."));

    // a certificate nobody vouches for is a transfer error, not a reply
    Escenario ajeno({}, false, ServidorPrueba::Certificado::NoConfiable);
    ajeno.servidor.ruta("POST", QStringLiteral("/v1/cuenta"),
                        json(R"({"ok": true, "token": "t"})"));
    entrarYEsperar(ajeno, QStringLiteral("ana@ejemplo.com"), QStringLiteral("secreta"), false);
    QCOMPARE(ajeno.store->status(),
             QStringLiteral("No se pudo abrir una conexión segura con 127.0.0.1: su certificado "
                            "no es de confianza."));
    QVERIFY(ajeno.servidor.peticiones().isEmpty());
    QVERIFY(!ajeno.store->cuentaEmail());

    // the test authority is trusted only because the world names it
    Escenario sinAutoridad;
    sinAutoridad.mundo.entorno.autoridades.clear();
    sinAutoridad.rehacer();
    sinAutoridad.servidor.ruta("POST", QStringLiteral("/v1/cuenta"),
                               json(R"({"ok": true, "token": "t"})"));
    entrarYEsperar(sinAutoridad, QStringLiteral("ana@ejemplo.com"), QStringLiteral("secreta"),
                   false);
    QVERIFY(sinAutoridad.servidor.peticiones().isEmpty());
    QCOMPARE(sinAutoridad.store->status(), ajeno.store->status());
    QVERIFY(!sinAutoridad.store->tokenCasa());
}

QUELO_PRUEBA(TstEntrada)

#include "tst_entrada.moc"
