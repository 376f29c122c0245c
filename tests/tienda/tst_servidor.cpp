// The HTTPS test server, seen from a plain Qt client: what the other areas' tests rely on.
#include "certificados.h"
#include "cliente.h"
#include "ejecutable.h"
#include "servidor.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

using namespace std::chrono_literals;

namespace {

QByteArray cabecera(const Recibido& r, const QByteArray& nombre) {
    for (const auto& [n, v] : r.cabeceras)
        if (n.compare(nombre, Qt::CaseInsensitive) == 0) return v;
    return {};
}

bool tieneCabecera(const Recibido& r, const QByteArray& nombre) {
    for (const auto& par : r.cabeceras)
        if (par.first.compare(nombre, Qt::CaseInsensitive) == 0) return true;
    return false;
}

} // namespace

class TstServidor : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void rutas_programadas_y_registro_de_peticiones();
    void cuerpo_desde_archivo_y_sin_longitud();
    void localhost_es_otro_nombre_del_mismo_servidor();
    void redireccion_entre_nombres();
    void certificado_no_confiable_falla_la_verificacion();
    void demora_y_colgar_agotan_la_espera_del_cliente();
};

void TstServidor::rutas_programadas_y_registro_de_peticiones() {
    ServidorPrueba s;
    QCOMPARE(s.base(), QUrl(QStringLiteral("https://127.0.0.1:%1").arg(s.puerto())));
    QVERIFY(s.puerto() != 0);

    Pauta salud;
    salud.cuerpo = R"({"descarga":"https://casa"})";
    salud.cabeceras.append(qMakePair(QByteArray("Content-Type"), QByteArray("application/json")));
    s.ruta("GET", QStringLiteral("/v1/salud"), salud);
    Pauta cuenta;
    cuenta.estado = 401;
    cuenta.cuerpo = R"({"ok":false,"error":"no"})";
    s.ruta("POST", QStringLiteral("/v1/cuenta"), cuenta);
    s.ruta("GET", QStringLiteral("/v1/bajar/a%20b"), Pauta{.cuerpo = "zip"});

    Recibido r = pedir("GET", en(s.base(), QStringLiteral("/v1/salud")));
    QVERIFY(r.terminado);
    QCOMPARE(r.estado, 200);
    QCOMPARE(r.cuerpo, salud.cuerpo);
    QCOMPARE(cabecera(r, "content-type"), QByteArray("application/json"));

    r = pedir("POST", en(s.base(), QStringLiteral("/v1/cuenta")), R"({"action":"crear"})",
              {{"Content-Type", "application/json"}});
    QCOMPARE(r.estado, 401);
    QCOMPARE(r.error, QNetworkReply::AuthenticationRequiredError);
    QCOMPARE(r.cuerpo, cuenta.cuerpo);

    // The path is matched and recorded as sent, percent-encoding kept and the query left out.
    r = pedir("GET", en(s.base(), QStringLiteral("/v1/bajar/a%20b?x=1")), {},
              {{"Authorization", "Bearer t0k"}});
    QCOMPARE(r.estado, 200);
    QCOMPARE(r.cuerpo, QByteArray("zip"));

    // The same path with another method, and an unknown path, are not programmed.
    r = pedir("POST", en(s.base(), QStringLiteral("/v1/salud")));
    QCOMPARE(r.estado, 404);
    QCOMPARE(r.cuerpo, QByteArray(R"({"error":"ruta desconocida"})"));

    const QList<Llegada> vistas = s.peticiones();
    QCOMPARE(vistas.size(), 4);
    QCOMPARE(vistas[0].metodo, QByteArray("GET"));
    QCOMPARE(vistas[0].ruta, QStringLiteral("/v1/salud"));
    QCOMPARE(vistas[1].metodo, QByteArray("POST"));
    QCOMPARE(vistas[1].ruta, QStringLiteral("/v1/cuenta"));
    QCOMPARE(vistas[1].cuerpo, QByteArray(R"({"action":"crear"})"));
    QCOMPARE(vistas[1].cabeceras.value("content-type"), QByteArray("application/json"));
    QCOMPARE(vistas[2].ruta, QStringLiteral("/v1/bajar/a%20b"));
    QCOMPARE(vistas[2].cabeceras.value("authorization"), QByteArray("Bearer t0k"));
    QVERIFY(!vistas[2].cabeceras.contains("Authorization"));
    QCOMPARE(vistas[3].metodo, QByteArray("POST"));
    QCOMPARE(vistas[3].ruta, QStringLiteral("/v1/salud"));

    // Programming again replaces the answer; forgetting clears only the record.
    s.ruta("GET", QStringLiteral("/v1/salud"), Pauta{.estado = 500, .cuerpo = "otra"});
    s.olvidar();
    QVERIFY(s.peticiones().isEmpty());
    r = pedir("GET", en(s.base(), QStringLiteral("/v1/salud")));
    QCOMPARE(r.estado, 500);
    QCOMPARE(r.cuerpo, QByteArray("otra"));
    QCOMPARE(s.peticiones().size(), 1);
}

void TstServidor::cuerpo_desde_archivo_y_sin_longitud() {
    QTemporaryDir dir;
    QByteArray grande(3 * 1024 * 1024 + 17, Qt::Uninitialized);
    QRandomGenerator semilla(7);
    for (char& c : grande)
        c = char(semilla.bounded(256));
    const QString ruta = dir.filePath(QStringLiteral("paquete.zip"));
    {
        QFile f(ruta);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(grande);
    }

    ServidorPrueba s;
    s.ruta("GET", QStringLiteral("/archivo"), Pauta{.archivo = ruta});
    s.ruta("GET", QStringLiteral("/abierto"), Pauta{.archivo = ruta, .sinLongitud = true});
    s.ruta("GET", QStringLiteral("/texto"), Pauta{.cuerpo = "hola", .sinLongitud = true});

    Recibido r = pedir("GET", en(s.base(), QStringLiteral("/archivo")));
    QCOMPARE(r.error, QNetworkReply::NoError);
    QCOMPARE(cabecera(r, "content-length"), QByteArray::number(grande.size()));
    QVERIFY(r.cuerpo == grande);

    r = pedir("GET", en(s.base(), QStringLiteral("/abierto")));
    QCOMPARE(r.error, QNetworkReply::NoError);
    QVERIFY(!tieneCabecera(r, "content-length"));
    QVERIFY(r.cuerpo == grande);

    r = pedir("GET", en(s.base(), QStringLiteral("/texto")));
    QCOMPARE(r.error, QNetworkReply::NoError);
    QVERIFY(!tieneCabecera(r, "content-length"));
    QCOMPARE(r.cuerpo, QByteArray("hola"));
}

void TstServidor::localhost_es_otro_nombre_del_mismo_servidor() {
    ServidorPrueba s;
    QCOMPARE(s.baseLocalhost(), QUrl(QStringLiteral("https://localhost:%1").arg(s.puerto())));
    s.ruta("GET", QStringLiteral("/v1/mios"), Pauta{.cuerpo = "{}"});
    const Recibido r = pedir("GET", en(s.baseLocalhost(), QStringLiteral("/v1/mios")));
    QCOMPARE(r.error, QNetworkReply::NoError);
    QCOMPARE(r.cuerpo, QByteArray("{}"));
    QCOMPARE(s.peticiones().value(0).cabeceras.value("host"),
             QByteArray("localhost:") + QByteArray::number(s.puerto()));
}

void TstServidor::redireccion_entre_nombres() {
    ServidorPrueba s;
    const QUrl destino = en(s.baseLocalhost(), QStringLiteral("/casa/x"));
    s.ruta("GET", QStringLiteral("/casa/x"), Pauta{.cuerpo = "aqui"});
    s.ruta("GET", QStringLiteral("/v1/bajar/x"),
           Pauta{.estado = 302, .cabeceras = {{"Location", destino.toEncoded()}}});

    Recibido r = pedir("GET", en(s.base(), QStringLiteral("/v1/bajar/x")), {}, {}, 0ms,
                       QNetworkRequest::ManualRedirectPolicy);
    QCOMPARE(r.estado, 302);
    QCOMPARE(cabecera(r, "location"), destino.toEncoded());

    // The second name reaches the same server, which sees which name was asked for.
    r = pedir("GET", destino);
    QCOMPARE(r.cuerpo, QByteArray("aqui"));
    const QList<Llegada> vistas = s.peticiones();
    QCOMPARE(vistas.size(), 2);
    QCOMPARE(vistas[0].cabeceras.value("host"),
             QByteArray("127.0.0.1:") + QByteArray::number(s.puerto()));
    QCOMPARE(vistas[1].ruta, QStringLiteral("/casa/x"));
    QCOMPARE(vistas[1].cabeceras.value("host"),
             QByteArray("localhost:") + QByteArray::number(s.puerto()));
}

void TstServidor::certificado_no_confiable_falla_la_verificacion() {
    // The test CA is a real CA and signs the trusted server for both of its names.
    const QList<QSslCertificate> ca = autoridadDePrueba();
    QCOMPARE(ca.size(), 1);
    const QList<QSslCertificate> cert =
        QSslCertificate::fromPath(archivosCertificados().certificado);
    QCOMPARE(cert.size(), 1);
    QCOMPARE(cert[0].issuerDisplayName(), ca[0].subjectDisplayName());
    const auto nombres = cert[0].subjectAlternativeNames();
    QVERIFY(nombres.contains(QSsl::IpAddressEntry, QStringLiteral("127.0.0.1")));
    QVERIFY(nombres.contains(QSsl::DnsEntry, QStringLiteral("localhost")));
    QVERIFY(QFile::exists(archivosCertificados().clave));

    ServidorPrueba ajeno(ServidorPrueba::Certificado::NoConfiable);
    ajeno.ruta("GET", QStringLiteral("/v1/salud"), Pauta{.cuerpo = "{}"});
    const Recibido r = pedir("GET", en(ajeno.base(), QStringLiteral("/v1/salud")));
    QVERIFY(r.terminado);
    QCOMPARE(r.error, QNetworkReply::SslHandshakeFailedError);
    QVERIFY(r.cuerpo.isEmpty());
    QVERIFY(ajeno.peticiones().isEmpty());
}

void TstServidor::demora_y_colgar_agotan_la_espera_del_cliente() {
    ServidorPrueba s;
    s.ruta("GET", QStringLiteral("/lento"), Pauta{.cuerpo = "tarde", .demora = 3s});
    s.ruta("GET", QStringLiteral("/poco"), Pauta{.cuerpo = "pronto", .demora = 100ms});
    s.ruta("GET", QStringLiteral("/colgado"),
           Pauta{.cuerpo = QByteArray(4000, 'z'), .colgar = true});

    // A delayed answer still arrives whole to a patient client...
    Recibido r = pedir("GET", en(s.base(), QStringLiteral("/poco")));
    QCOMPARE(r.error, QNetworkReply::NoError);
    QCOMPARE(r.cuerpo, QByteArray("pronto"));

    // ...while a client that waits less gives up (Qt reports its own time-out as a cancel).
    r = pedir("GET", en(s.base(), QStringLiteral("/lento")), {}, {}, 300ms);
    QVERIFY(r.terminado);
    QCOMPARE(r.error, QNetworkReply::OperationCanceledError);
    QVERIFY(r.cuerpo.isEmpty());

    // A hung answer gives its status and half the body, then nothing more.
    r = pedir("GET", en(s.base(), QStringLiteral("/colgado")), {}, {}, 500ms);
    QVERIFY(r.terminado);
    QCOMPARE(r.error, QNetworkReply::OperationCanceledError);
    QCOMPARE(r.estado, 200);
    QCOMPARE(r.cuerpo, QByteArray(2000, 'z'));
    QCOMPARE(s.peticiones().size(), 3);
}

QUELO_PRUEBA(TstServidor)

#include "tst_servidor.moc"
