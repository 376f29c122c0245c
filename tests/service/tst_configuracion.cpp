// Where the store service is: the project's config/marca.json or the built-in endpoint.
#include "archivos.h"
#include "core/failure.h"
#include "ejecutable.h"
#include "prueba_store.h"
#include "service/direccion.h"

#include <QtTest>

namespace {
QByteArray marca(const QByteArray& url) {
    return "{\"licencias\": {\"url\": " + url + ", \"plan\": 2}, \"nombre\": \"Quelo\"}";
}
} // namespace

class TstConfiguracion : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void servicio_sin_proyecto_o_sin_archivo_da_el_predeterminado();
    void servicio_toma_la_direccion_https_configurada();
    void servicio_descarta_direcciones_inservibles_data();
    void servicio_descarta_direcciones_inservibles();
    void servicio_sin_predeterminado_valido_falla();
    void rutas_se_anaden_por_segmentos();
};

void TstConfiguracion::servicio_sin_proyecto_o_sin_archivo_da_el_predeterminado() {
    Mundo sinProyecto(false);
    sinProyecto.entorno.servicio = QStringLiteral("https://tienda.ejemplo");
    // a configuration beside the application is not looked at without the project entry
    escribir(sinProyecto.proyecto + QStringLiteral("/config/marca.json"),
             marca("\"https://otra.ejemplo\""));
    QCOMPARE(PruebaStore::servicio(Store(sinProyecto.entorno)),
             QUrl(QStringLiteral("https://tienda.ejemplo")));

    Mundo sinArchivo;
    sinArchivo.entorno.servicio = QStringLiteral("https://tienda.ejemplo");
    QCOMPARE(PruebaStore::servicio(Store(sinArchivo.entorno)),
             QUrl(QStringLiteral("https://tienda.ejemplo")));
}

void TstConfiguracion::servicio_toma_la_direccion_https_configurada() {
    Mundo mundo;
    escribir(mundo.proyecto + QStringLiteral("/config/marca.json"),
             marca("\"https://casa.ejemplo:8443/x/\""));
    QCOMPARE(PruebaStore::servicio(Store(mundo.entorno)),
             QUrl(QStringLiteral("https://casa.ejemplo:8443/x/")));
    // read afresh at every call
    escribir(mundo.proyecto + QStringLiteral("/config/marca.json"),
             marca("\"https://nueva.ejemplo\""));
    QCOMPARE(PruebaStore::servicio(Store(mundo.entorno)),
             QUrl(QStringLiteral("https://nueva.ejemplo")));
}

void TstConfiguracion::servicio_descarta_direcciones_inservibles_data() {
    QTest::addColumn<QByteArray>("contenido");
    QTest::newRow("http") << marca("\"http://casa.ejemplo\"");
    QTest::newRow("esquema en mayúsculas") << marca("\"HTTPS://casa.ejemplo\"");
    QTest::newRow("sin esquema") << marca("\"casa.ejemplo/x\"");
    QTest::newRow("con espacios") << marca("\"https://casa ejemplo/x\"");
    QTest::newRow("sin host") << marca("\"https:x\"");
    QTest::newRow("url numérica") << marca("7");
    QTest::newRow("url arriba") << QByteArray("{\"url\": \"https://casa.ejemplo\"}");
    QTest::newRow("licencias no es objeto") << QByteArray("{\"licencias\": \"https://a.b\"}");
    QTest::newRow("no es JSON") << QByteArray("licencias: https://casa.ejemplo");
}

void TstConfiguracion::servicio_descarta_direcciones_inservibles() {
    QFETCH(QByteArray, contenido);
    Mundo mundo;
    mundo.entorno.servicio = QStringLiteral("https://tienda.ejemplo");
    escribir(mundo.proyecto + QStringLiteral("/config/marca.json"), contenido);
    QCOMPARE(PruebaStore::servicio(Store(mundo.entorno)),
             QUrl(QStringLiteral("https://tienda.ejemplo")));
}

void TstConfiguracion::servicio_sin_predeterminado_valido_falla() {
    for (const QString& predeterminado : {QString(), QStringLiteral("no es una dirección")}) {
        Mundo mundo;
        mundo.entorno.servicio = predeterminado;
        try {
            PruebaStore::servicio(Store(mundo.entorno));
            QFAIL("sin dirección no hay servicio");
        } catch (const Failure& f) {
            QCOMPARE(f.message, QStringLiteral("El servicio de licencias no está configurado."));
        }
        // a usable configuration still wins
        escribir(mundo.proyecto + QStringLiteral("/config/marca.json"),
                 marca("\"https://casa.ejemplo\""));
        QCOMPARE(PruebaStore::servicio(Store(mundo.entorno)),
                 QUrl(QStringLiteral("https://casa.ejemplo")));
    }
}

void TstConfiguracion::rutas_se_anaden_por_segmentos() {
    const QStringList cuenta{QStringLiteral("v1"), QStringLiteral("cuenta")};
    QCOMPARE(conRuta(QUrl(QStringLiteral("https://h.ejemplo")), cuenta).toString(),
             QStringLiteral("https://h.ejemplo/v1/cuenta"));
    QCOMPARE(conRuta(QUrl(QStringLiteral("https://h.ejemplo/x")), cuenta).toString(),
             QStringLiteral("https://h.ejemplo/x/v1/cuenta"));
    QCOMPARE(conRuta(QUrl(QStringLiteral("https://h.ejemplo:8443/x/?q=1#f")), cuenta).toString(),
             QStringLiteral("https://h.ejemplo:8443/x/v1/cuenta"));
    // one segment stays one segment, whatever it holds
    const QStringList raro{QStringLiteral("v1"), QStringLiteral("bajar"),
                           QStringLiteral("a b/c?d#ñ")};
    QCOMPARE(conRuta(QUrl(QStringLiteral("https://h.ejemplo/")), raro).toString(QUrl::FullyEncoded),
             QStringLiteral("https://h.ejemplo/v1/bajar/a%20b%2Fc%3Fd%23%C3%B1"));
}

QUELO_PRUEBA(TstConfiguracion)

#include "tst_configuracion.moc"
