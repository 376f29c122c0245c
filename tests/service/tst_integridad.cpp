// A package checked against what the account's list says of it, and the progress line of a run.
#include "ejecutable.h"
#include "escenario.h"
#include "service/avance.h"
#include "service/volcado.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QRegularExpression>
#include <QtTest>
#include <algorithm>

namespace {

const QString danado = QStringLiteral("El paquete de Nombre brisa llegó dañado.");
const QString listo =
    QStringLiteral("Listos 1 plugins. En Ableton: Preferencias > Plug-ins > Rescan.");

} // namespace

class TstIntegridad : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void paquete_se_compara_con_la_lista_data();
    void paquete_se_compara_con_la_lista();
    void paquete_mas_largo_que_su_size_se_corta_enseguida();
    void volcado_escribe_por_bloques_aparte_y_comprueba_data();
    void volcado_escribe_por_bloques_aparte_y_comprueba();
    void linea_de_avance_cuenta_paquetes_y_megas_data();
    void linea_de_avance_cuenta_paquetes_y_megas();
    void megas_con_una_decimal_por_debajo_de_diez_data();
    void megas_con_una_decimal_por_debajo_de_diez();
};

void TstIntegridad::paquete_se_compara_con_la_lista_data() {
    // The entry's extra members; $sha, $SHA and $size stand for the package's own digest (lower
    // and upper case) and length.
    QTest::addColumn<QByteArray>("miembros");
    QTest::addColumn<bool>("instala");
    QTest::newRow("sin ninguno") << QByteArray() << true;
    QTest::newRow("sha256 justo") << QByteArray(R"("sha256": "$sha")") << true;
    QTest::newRow("sha256 en mayúsculas") << QByteArray(R"("sha256": "$SHA")") << true;
    QTest::newRow("size justo") << QByteArray(R"("size": $size)") << true;
    QTest::newRow("los dos justos") << QByteArray(R"("sha256": "$sha", "size": $size)") << true;
    QTest::newRow("sha256 de otro paquete")
        << QByteArray(R"("sha256": ")" + QByteArray(64, 'a') + R"(")") << false;
    QTest::newRow("sha256 que no es un resumen") << QByteArray(R"("sha256": "$sha0")") << false;
    QTest::newRow("size de menos") << QByteArray(R"("size": $size - 1)") << false;
    QTest::newRow("size de más") << QByteArray(R"("size": $size + 1)") << false;
    QTest::newRow("size con decimales") << QByteArray(R"("size": $size.5)") << false;
    QTest::newRow("size negativo") << QByteArray(R"("size": -1)") << false;
    QTest::newRow("sha256 justo, size de menos")
        << QByteArray(R"("sha256": "$sha", "size": $size - 1)") << false;
    // a member of another type is as good as absent
    QTest::newRow("sha256 número") << QByteArray(R"("sha256": 7)") << true;
    QTest::newRow("sha256 lista") << QByteArray(R"("sha256": ["$sha"])") << true;
    QTest::newRow("size texto") << QByteArray(R"("size": "1")") << true;
    QTest::newRow("size nulo") << QByteArray(R"("size": null)") << true;
}

void TstIntegridad::paquete_se_compara_con_la_lista() {
    QFETCH(QByteArray, miembros);
    QFETCH(bool, instala);
    Escenario e({pluginDePrueba(QStringLiteral("brisa"))});
    e.conSesion();
    e.conCasa();
    const QString zip =
        zipConBundles(e.mundo, QStringLiteral("brisa"),
                      {QStringLiteral("brisa.vst3"), QStringLiteral("brisa.component")});
    const QByteArray cuerpo = leer(zip);
    const QByteArray sha = QCryptographicHash::hash(cuerpo, QCryptographicHash::Sha256).toHex();
    const qint64 tamano = cuerpo.size();
    miembros.replace("$sha", sha)
        .replace("$SHA", sha.toUpper())
        .replace("$size - 1", QByteArray::number(tamano - 1))
        .replace("$size + 1", QByteArray::number(tamano + 1))
        .replace("$size", QByteArray::number(tamano));
    e.mios(R"({"ok": true, "plugins": [{"id": "brisa")" +
           (miembros.isEmpty() ? QByteArray() : ", " + miembros) + "}]}");
    e.paquete(QStringLiteral("brisa"), zip);
    const QStringList antes = todoEn(e.mundo.entorno.home);

    QVERIFY(e.bajarComprados());
    QVERIFY(e.temporales().isEmpty());
    if (instala) {
        QCOMPARE(e.store->status(), listo);
        QCOMPARE(e.store->installed(), (QSet<QString>{QStringLiteral("brisa")}));
        return;
    }
    QCOMPARE(e.store->status(), danado);
    QCOMPARE(todoEn(e.mundo.entorno.home), antes); // nothing of it installed
}

void TstIntegridad::paquete_mas_largo_que_su_size_se_corta_enseguida() {
    Escenario e({pluginDePrueba(QStringLiteral("brisa"))});
    e.conSesion();
    e.conCasa();
    constexpr qint64 tamano = 1024 * 1024;
    e.mios(R"({"ok": true, "plugins": [{"id": "brisa", "size": )" + QByteArray::number(tamano) +
           "}]}");
    Pauta sinFin; // a body that never ends: only the length said can stop it early
    sinFin.cuerpo = alAzar(64 * 1024, 3);
    sinFin.repetir = -1;
    e.servidor.ruta("GET", QStringLiteral("/v1/bajar/brisa"), sinFin);

    QVERIFY(e.bajarComprados());
    QCOMPARE(e.store->status(), danado);
    QVERIFY(e.temporales().isEmpty());
    QTRY_VERIFY(e.a(QStringLiteral("/v1/bajar/brisa")).value(0).abandonada);
    // what the client's buffer and the sockets hold beyond the length, no more
    const qint64 enviados = e.a(QStringLiteral("/v1/bajar/brisa")).value(0).enviados;
    QVERIFY2(enviados < tamano + 32 * 1024 * 1024, qPrintable(QString::number(enviados)));
}

void TstIntegridad::volcado_escribe_por_bloques_aparte_y_comprueba_data() {
    QTest::addColumn<QString>("dicho"); // what the list says of the package
    QTest::addColumn<QString>("falla"); // where it is found not to be that: nowhere, or a step
    QTest::newRow("resumen y longitud justos") << QStringLiteral("justo") << QString();
    QTest::newRow("resumen de otro paquete")
        << QStringLiteral("otro resumen") << QStringLiteral("terminar");
    QTest::newRow("longitud de menos") << QStringLiteral("corto") << QStringLiteral("agregar");
    // More than any package: a server that would send without end.
    QTest::newRow("más que un paquete")
        << QStringLiteral("sin cabida") << QStringLiteral("agregar");
}

void TstIntegridad::volcado_escribe_por_bloques_aparte_y_comprueba() {
    QFETCH(QString, dicho);
    QFETCH(QString, falla);
    Mundo mundo;
    const QString archivo = mundo.entorno.temporal + QStringLiteral("/paquete.zip");
    // Several of the writer's blocks and a rest, in the pieces a transfer hands over.
    const QByteArray datos = alAzar(9 * 1024 * 1024 + 12345, 7);
    Integridad esperado{QCryptographicHash::hash(datos, QCryptographicHash::Sha256), datos.size()};
    if (dicho == QStringLiteral("otro resumen")) esperado.sha256 = QByteArray(32, 'a');
    if (dicho == QStringLiteral("corto")) esperado.tamano = datos.size() - 1;
    if (dicho == QStringLiteral("sin cabida")) esperado.tamano.reset(); // only counted
    int huecos = 0;
    QString fallo;
    {
        const std::optional<Cabida> cabida = dicho == QStringLiteral("sin cabida")
                                                 ? std::optional(Cabida{1024 * 1024, false})
                                                 : std::nullopt;
        Volcado volcado(
            archivo, esperado, [&huecos] { ++huecos; }, cabida);
        try {
            fallo = QStringLiteral("agregar");
            // Pieces that straddle the blocks' edges, read from the device that holds them.
            for (qsizetype i = 0; i < datos.size(); i += 40000) {
                QBuffer trozo;
                trozo.setData(datos.mid(i, 40000));
                QVERIFY(trozo.open(QIODevice::ReadOnly));
                QCOMPARE(volcado.agregar(trozo), trozo.size());
            }
            fallo = QStringLiteral("terminar");
            volcado.terminar();
            fallo.clear();
        } catch (const PaqueteDanado&) {
        }
        QCOMPARE(fallo, falla);
        // Told on this thread once each block is written: four whole ones and the rest.
        if (falla.isEmpty()) QTRY_COMPARE(huecos, 5);
    }
    if (falla.isEmpty())
        QCOMPARE(leer(archivo), datos);
    else
        QVERIFY(!QFileInfo::exists(archivo)); // nothing of it stays
}

void TstIntegridad::linea_de_avance_cuenta_paquetes_y_megas_data() {
    QTest::addColumn<QString>("como"); // how the package's length is known
    QTest::addColumn<bool>("conTotal");
    QTest::newRow("por la lista") << "size" << true;
    QTest::newRow("por Content-Length") << "longitud" << true;
    QTest::newRow("sin saberse") << "nada" << false;
}

void TstIntegridad::linea_de_avance_cuenta_paquetes_y_megas() {
    QFETCH(QString, como);
    QFETCH(bool, conTotal);
    Escenario e({pluginDePrueba(QStringLiteral("brisa")),
                 pluginDePrueba(QStringLiteral("eco"), QStringLiteral("Delay"))});
    e.conSesion();
    e.conCasa();
    const QString zip = zipGrande(e.mundo, alAzar(1300 * 1000, 5));
    const qint64 tamano = QFileInfo(zip).size();
    const QByteArray size = como == QStringLiteral("size")
                                ? QByteArray(", \"size\": " + QByteArray::number(tamano))
                                : QByteArray();
    e.mios(R"({"ok": true, "plugins": [{"id": "brisa")" + size + R"(}, {"id": "eco")" + size +
           "}]}");
    for (const QString& id : {QStringLiteral("brisa"), QStringLiteral("eco")}) {
        Pauta r;
        r.archivo = zip;
        r.sinLongitud = como != QStringLiteral("longitud");
        e.servidor.ruta("GET", QStringLiteral("/v1/bajar/") + id, r);
    }
    QStringList lineas;
    QObject::connect(e.store.get(), &Store::avanceChanged, e.store.get(),
                     [&] { lineas.append(e.store->avance()); });

    QVERIFY(e.bajarComprados());
    QCOMPARE(e.store->status(),
             QStringLiteral("Listos 2 plugins. En Ableton: Preferencias > Plug-ins > Rescan."));
    // Progress reaches the window coalesced, so which amounts show depends on timing; each
    // package's place shows, and at least one amount of it, with the length when known.
    const QString de = conTotal ? QStringLiteral(" de ") + megas(tamano) : QString();
    const QRegularExpression forma(QStringLiteral("^[12] de 2( · \\d+,\\d MB") +
                                   QRegularExpression::escape(de) + QStringLiteral(")?$"));
    for (const QString& linea : std::as_const(lineas))
        QVERIFY2(linea.isEmpty() || forma.match(linea).hasMatch(), qPrintable(linea));
    for (const QString& lugar : {QStringLiteral("1 de 2"), QStringLiteral("2 de 2")}) {
        const auto conCifra = [&lugar](const QString& l) {
            return l.startsWith(QString(lugar + QStringLiteral(" · ")));
        };
        QVERIFY2(lineas.contains(lugar) && std::any_of(lineas.cbegin(), lineas.cend(), conCifra),
                 qPrintable(lugar + QStringLiteral(" | ") + lineas.join(QStringLiteral(" | "))));
    }
    QVERIFY(e.store->avance().isEmpty()); // gone with the run
}

void TstIntegridad::megas_con_una_decimal_por_debajo_de_diez_data() {
    QTest::addColumn<qint64>("bytes");
    QTest::addColumn<QString>("texto");
    QTest::newRow("nada") << qint64(0) << "0,0 MB";
    QTest::newRow("menos de una décima") << qint64(99999) << "0,0 MB";
    QTest::newRow("tres y medio") << qint64(3500000) << "3,5 MB";
    QTest::newRow("casi diez, sin redondear") << qint64(9999999) << "9,9 MB";
    QTest::newRow("diez") << qint64(10000000) << "10 MB";
    QTest::newRow("ciento veinte") << qint64(120999999) << "120 MB";
    QTest::newRow("más de un millar") << qint64(2500000000) << "2500 MB";
}

void TstIntegridad::megas_con_una_decimal_por_debajo_de_diez() {
    QFETCH(qint64, bytes);
    QFETCH(QString, texto);
    QCOMPARE(megas(bytes), texto);
    QCOMPARE(textoDeAvance(2, 5, Progreso{bytes, 200000000}),
             QStringLiteral("2 de 5 · ") + texto + QStringLiteral(" de 200 MB"));
}

QUELO_PRUEBA(TstIntegridad)

#include "tst_integridad.moc"
