// The local store service as the application meets it: the real binary, over HTTPS with the
// test CA, spoken to with a plain Qt client.
#include "archivos.h"
#include "cliente.h"
#include "ejecutable.h"
#include "textos_cuenta.h"
#include "tienda.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QJsonObject json(const Recibido& r) {
    return QJsonDocument::fromJson(r.cuerpo).object();
}

Recibido cuenta(const QUrl& base, const QByteArray& accion, const QString& email,
                const QString& password) {
    const QJsonObject o{{QStringLiteral("action"), QString::fromLatin1(accion)},
                        {QStringLiteral("email"), email},
                        {QStringLiteral("password"), password}};
    return pedir("POST", en(base, QStringLiteral("/v1/cuenta")),
                 QJsonDocument(o).toJson(QJsonDocument::Compact),
                 {{"Content-Type", "application/json"}});
}

Recibido conToken(const QUrl& base, const QString& ruta, const QString& token) {
    return pedir("GET", en(base, ruta), {}, {{"Authorization", "Bearer " + token.toLatin1()}});
}

QString tokenDe(const QUrl& base, const QString& email, const QString& password) {
    const Recibido r = cuenta(base, "crear", email, password);
    return json(r).value(QLatin1String("token")).toString();
}

// The token of a new account, the one most tests sign in with.
QString tokenDeAna(const QUrl& base) {
    return tokenDe(base, QStringLiteral("ana@example.com"), QStringLiteral("12345678"));
}

QJsonObject rechazo(const QString& error) {
    return {{QStringLiteral("ok"), false}, {QStringLiteral("error"), error}};
}

// The list's entries without what describes each package (it changes when packages are staged
// again).
QJsonArray sinPaquete(const QByteArray& cuerpo) {
    QJsonArray lista;
    for (const QJsonValue& v :
         QJsonDocument::fromJson(cuerpo).object().value(QLatin1String("plugins")).toArray()) {
        QJsonObject o = v.toObject();
        o.remove(QStringLiteral("sha256"));
        o.remove(QStringLiteral("size"));
        lista.append(o);
    }
    return lista;
}

// A list the store keeps in its data folder: the member of that name in the file's object.
QJsonArray listaGuardada(const QTemporaryDir& datos, const QString& archivo,
                         QLatin1String miembro) {
    return QJsonDocument::fromJson(leer(datos.filePath(archivo))).object().value(miembro).toArray();
}

} // namespace

class TstTiendaLocal : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cuentas_con_resumen_salado_y_tokens();
    void salud_publica_la_direccion_por_la_que_se_llego();
    void mios_lista_las_compras_con_sus_nombres();
    void bajar_da_un_zip_con_los_bundles();
    void mios_describe_el_paquete_que_bajar_entrega();
    void bajar_rechaza_lo_que_no_es_de_la_cuenta();
    void reinicio_guarda_cuentas_y_tokens();
    void tokens_ilegibles_son_un_comienzo_sin_sesiones_data();
    void tokens_ilegibles_son_un_comienzo_sin_sesiones();
    void tokens_guarda_los_mas_recientes();
    void demo_preparada_dos_veces_sigue_con_su_sesion();
    void argumentos_que_faltan();
};

void TstTiendaLocal::cuentas_con_resumen_salado_y_tokens() {
    QTemporaryDir datos;
    TiendaLocal tienda(datos.path());
    QVERIFY2(tienda.base.isValid(), tienda.proceso.readAllStandardError().constData());

    Recibido r = cuenta(tienda.base, "crear", QStringLiteral(" Ana@Example.com\n"),
                        QStringLiteral("secreto 12"));
    QCOMPARE(r.estado, 200);
    QJsonObject o = json(r);
    QCOMPARE(o.value(QLatin1String("ok")), QJsonValue(true));
    QCOMPARE(o.value(QLatin1String("email")).toString(), QStringLiteral("Ana@Example.com"));
    const QString primero = o.value(QLatin1String("token")).toString();
    QVERIFY(primero.size() >= 40);

    // Stored with a fresh salt and the digest of salt, normalised e-mail, NUL and password.
    const QJsonArray cuentas =
        listaGuardada(datos, QStringLiteral("cuentas.json"), QLatin1String("cuentas"));
    QCOMPARE(cuentas.size(), 1);
    const QJsonObject guardada = cuentas[0].toObject();
    QCOMPARE(guardada.value(QLatin1String("email")).toString(), QStringLiteral("Ana@Example.com"));
    const QByteArray salt =
        QByteArray::fromBase64(guardada.value(QLatin1String("salt")).toString().toLatin1());
    QCOMPARE(salt.size(), 16);
    const QByteArray esperado = QCryptographicHash::hash(
        QByteArray(salt + QByteArray("ana@example.com") + '\0' + QByteArray("secreto 12")),
        QCryptographicHash::Sha256);
    QCOMPARE(guardada.value(QLatin1String("passHash")).toString(),
             QString::fromLatin1(esperado.toBase64()));
    QVERIFY(!leer(datos.filePath(QStringLiteral("cuentas.json"))).contains("secreto"));

    // The same address in another case is the same account.
    r = cuenta(tienda.base, "crear", QStringLiteral("ana@example.COM"),
               QStringLiteral("otra clave larga"));
    QCOMPARE(r.estado, 409);
    QCOMPARE(json(r), rechazo(textos_cuenta::yaTiene));

    r = cuenta(tienda.base, "entrar", QStringLiteral("ANA@example.com "),
               QStringLiteral("secreto 12"));
    QCOMPARE(r.estado, 200);
    o = json(r);
    QCOMPARE(o.value(QLatin1String("ok")), QJsonValue(true));
    QCOMPARE(o.value(QLatin1String("email")).toString(), QStringLiteral("Ana@Example.com"));
    QVERIFY(!o.value(QLatin1String("token")).toString().isEmpty());
    QVERIFY(o.value(QLatin1String("token")).toString() != primero);

    const QJsonObject negado = rechazo(QStringLiteral("El correo o la contraseña no coinciden."));
    for (const auto& [email, password] :
         {std::pair{QStringLiteral("ana@example.com"), QStringLiteral("Secreto 12")},
          std::pair{QStringLiteral("ana@example.com"), QStringLiteral("secreto12")},
          std::pair{QStringLiteral("ana@example.com"), QString()},
          std::pair{QStringLiteral("nadie@example.com"), QStringLiteral("secreto 12")}}) {
        r = cuenta(tienda.base, "entrar", email, password);
        QCOMPARE(r.estado, 401);
        QCOMPARE(json(r), negado);
    }

    r = cuenta(tienda.base, "crear", QStringLiteral("corta@example.com"),
               QStringLiteral("1234567"));
    QCOMPARE(r.estado, 400);
    QCOMPARE(json(r), rechazo(textos_cuenta::corta));
    r = cuenta(tienda.base, "crear", QStringLiteral("sin arroba.com"), QStringLiteral("12345678"));
    QCOMPARE(json(r), rechazo(textos_cuenta::correoInvalido));
    r = cuenta(tienda.base, "borrar", QStringLiteral("ana@example.com"),
               QStringLiteral("12345678"));
    QCOMPARE(json(r), rechazo(QStringLiteral("Petición no válida.")));
    r = pedir("POST", en(tienda.base, QStringLiteral("/v1/cuenta")), "no es json",
              {{"Content-Type", "application/json"}});
    QCOMPARE(r.estado, 400);
    QCOMPARE(json(r), rechazo(QStringLiteral("Petición no válida.")));
    QCOMPARE(listaGuardada(datos, QStringLiteral("cuentas.json"), QLatin1String("cuentas")).size(),
             1);
}

void TstTiendaLocal::salud_publica_la_direccion_por_la_que_se_llego() {
    QTemporaryDir datos;
    TiendaLocal tienda(datos.path());
    QVERIFY(tienda.base.isValid());
    QCOMPARE(tienda.base.scheme(), QStringLiteral("https"));
    QCOMPARE(tienda.base.host(), QStringLiteral("127.0.0.1"));

    Recibido r = pedir("GET", en(tienda.base, QStringLiteral("/v1/salud")));
    QCOMPARE(r.estado, 200);
    QCOMPARE(json(r), QJsonObject({{QStringLiteral("descarga"), tienda.base.toString()}}));

    QUrl localhost = tienda.base;
    localhost.setHost(QStringLiteral("localhost"));
    r = pedir("GET", en(localhost, QStringLiteral("/v1/salud")));
    QCOMPARE(json(r).value(QLatin1String("descarga")).toString(), localhost.toString());

    r = pedir("GET", en(tienda.base, QStringLiteral("/v1/otra")));
    QCOMPARE(r.estado, 404);
    QCOMPARE(json(r),
             QJsonObject({{QStringLiteral("error"), QStringLiteral("Ruta desconocida.")}}));
}

void TstTiendaLocal::mios_lista_las_compras_con_sus_nombres() {
    QTemporaryDir datos;
    Plugin eco = pluginDePrueba(QStringLiteral("Eco"));
    eco.name = QStringLiteral("Eco Real");
    escribir(datos.filePath(QStringLiteral("catalogo.json")), catalogoJson({eco}));
    escribir(datos.filePath(QStringLiteral("compras.json")),
             R"({"Ana@Example.com": ["Eco", "SinCatalogo", 7], "otro@example.com": ["Mas"]})");
    TiendaLocal tienda(datos.path());
    QVERIFY(tienda.base.isValid());
    const QString token = tokenDeAna(tienda.base);
    QVERIFY(!token.isEmpty());

    Recibido r = conToken(tienda.base, QStringLiteral("/v1/mios"), token);
    QCOMPARE(r.estado, 200);
    const auto plugin = [](const QString& id, const QString& name) {
        return QJsonObject{{QStringLiteral("id"), id}, {QStringLiteral("name"), name}};
    };
    QCOMPARE(json(r),
             QJsonObject({{QStringLiteral("ok"), true},
                          {QStringLiteral("plugins"),
                           QJsonArray{plugin(QStringLiteral("Eco"), QStringLiteral("Eco Real")),
                                      plugin(QStringLiteral("SinCatalogo"),
                                             QStringLiteral("SinCatalogo"))}}}));

    // Purchases are read afresh: a new one shows up without a restart.
    escribir(datos.filePath(QStringLiteral("compras.json")), R"({"ana@example.com": ["Nuevo"]})");
    r = conToken(tienda.base, QStringLiteral("/v1/mios"), token);
    QCOMPARE(json(r).value(QLatin1String("plugins")).toArray(),
             QJsonArray{plugin(QStringLiteral("Nuevo"), QStringLiteral("Nuevo"))});

    // An account with nothing bought gets an empty list, not an error.
    const QString otro =
        tokenDe(tienda.base, QStringLiteral("luis@example.com"), QStringLiteral("12345678"));
    r = conToken(tienda.base, QStringLiteral("/v1/mios"), otro);
    QCOMPARE(json(r), QJsonObject({{QStringLiteral("ok"), true},
                                   {QStringLiteral("plugins"), QJsonArray()}}));

    const QJsonObject sinSesion =
        rechazo(QStringLiteral("La sesión de la tienda no es válida. Vuelve a entrar."));
    r = conToken(tienda.base, QStringLiteral("/v1/mios"), token + QStringLiteral("x"));
    QCOMPARE(r.estado, 401);
    QCOMPARE(json(r), sinSesion);
    r = pedir("GET", en(tienda.base, QStringLiteral("/v1/mios")));
    QCOMPARE(r.estado, 401);
    QCOMPARE(json(r), sinSesion);
}

void TstTiendaLocal::bajar_da_un_zip_con_los_bundles() {
    QTemporaryDir datos;
    crearBundle(datos.filePath(QStringLiteral("paquetes/Eco/Eco.vst3")));
    crearBundle(datos.filePath(QStringLiteral("paquetes/Eco/AU/Eco.component")));
    escribir(datos.filePath(QStringLiteral("compras.json")), R"({"ana@example.com": ["Eco"]})");
    TiendaLocal tienda(datos.path());
    QVERIFY(tienda.base.isValid());
    const QString token = tokenDeAna(tienda.base);

    // The application asks with the id in lower case.
    const Recibido r = conToken(tienda.base, QStringLiteral("/v1/bajar/eco"), token);
    QCOMPARE(r.estado, 200);
    QCOMPARE(r.error, QNetworkReply::NoError);
    const QList<EntradaZip> entradas = leerZip(r.cuerpo);
    QMap<QString, EntradaZip> porRuta;
    for (const EntradaZip& e : entradas)
        porRuta.insert(e.ruta, e);
    for (const QString& bundle : {QStringLiteral("Eco.vst3"), QStringLiteral("AU/Eco.component")}) {
        QVERIFY2(porRuta.value(bundle + QStringLiteral("/")).carpeta, qPrintable(bundle));
        QCOMPARE(porRuta.value(bundle + QStringLiteral("/Contents/Info.plist")).contenido,
                 QByteArray("<plist/>"));
        QCOMPARE(porRuta.value(bundle + QStringLiteral("/Contents/Resources/datos.bin")).contenido,
                 QByteArray(4096, 'q'));
        const EntradaZip binario =
            porRuta.value(bundle + QStringLiteral("/Contents/MacOS/binario"));
        QCOMPARE(binario.contenido, QByteArray("#!/bin/sh\nexit 0\n"));
        QCOMPARE(binario.permisos & 0111, 0111);
        QCOMPARE(porRuta.value(bundle + QStringLiteral("/Contents/enlace")).enlace,
                 QStringLiteral("Resources/datos.bin"));
    }
    // Nothing but the package folder's own contents: no absolute or climbing names.
    for (const EntradaZip& e : entradas)
        QVERIFY2(!e.ruta.startsWith(QLatin1Char('/')) && !e.ruta.contains(QLatin1String("..")) &&
                     (e.ruta.startsWith(QLatin1String("Eco.vst3")) ||
                      e.ruta.startsWith(QLatin1String("AU"))),
                 qPrintable(e.ruta));
}

void TstTiendaLocal::mios_describe_el_paquete_que_bajar_entrega() {
    QTemporaryDir datos;
    crearBundle(datos.filePath(QStringLiteral("paquetes/Eco/Eco.vst3")));
    escribir(datos.filePath(QStringLiteral("compras.json")),
             R"({"ana@example.com": ["Eco", "SinPaquete"]})");
    TiendaLocal tienda(datos.path());
    QVERIFY(tienda.base.isValid());
    const QString token = tokenDeAna(tienda.base);

    // What the list says of Eco's package, and what the download then delivers: digest, length.
    struct Visto {
        QJsonObject otro;
        QString sha256, sha256Bajado;
        QJsonValue size;
        qint64 sizeBajado = 0;
    };
    const auto ver = [&] {
        const QJsonArray lista = json(conToken(tienda.base, QStringLiteral("/v1/mios"), token))
                                     .value(QLatin1String("plugins"))
                                     .toArray();
        const QByteArray bajado =
            conToken(tienda.base, QStringLiteral("/v1/bajar/eco"), token).cuerpo;
        return Visto{lista[1].toObject(),
                     lista[0].toObject().value(QLatin1String("sha256")).toString(),
                     QString::fromLatin1(
                         QCryptographicHash::hash(bajado, QCryptographicHash::Sha256).toHex()),
                     lista[0].toObject().value(QLatin1String("size")), bajado.size()};
    };
    Visto v = ver();
    QCOMPARE(v.sha256.size(), 64);
    QCOMPARE(v.sha256, v.sha256Bajado);
    QVERIFY(v.size.isDouble());
    QCOMPARE(v.size.toInteger(), v.sizeBajado);
    // a plug-in without a package is listed without them
    QCOMPARE(v.otro, QJsonObject({{QStringLiteral("id"), QStringLiteral("SinPaquete")},
                                  {QStringLiteral("name"), QStringLiteral("SinPaquete")}}));
    const QString primero = v.sha256;
    QCOMPARE(ver().sha256, primero); // the same package while its folder stays as it is

    // the maker changes the package while the service runs: list and download follow together
    escribir(datos.filePath(QStringLiteral("paquetes/Eco/Eco.vst3/Contents/Resources/nuevo.txt")),
             "nuevo");
    v = ver();
    QVERIFY(v.sha256 != primero);
    QCOMPARE(v.sha256, v.sha256Bajado);
    QCOMPARE(v.size.toInteger(), v.sizeBajado);
}

void TstTiendaLocal::bajar_rechaza_lo_que_no_es_de_la_cuenta() {
    QTemporaryDir datos;
    crearBundle(datos.filePath(QStringLiteral("paquetes/Eco/Eco.vst3")));
    crearBundle(datos.filePath(QStringLiteral("paquetes/Ajeno/Ajeno.vst3")));
    escribir(datos.filePath(QStringLiteral("compras.json")),
             R"({"ana@example.com": ["Eco", "SinPaquete"], "otro@example.com": ["Ajeno"]})");
    TiendaLocal tienda(datos.path());
    QVERIFY(tienda.base.isValid());
    const QString token = tokenDeAna(tienda.base);

    const auto error = [](const QString& texto) {
        return QJsonObject{{QStringLiteral("error"), texto}};
    };
    const QJsonObject noCompro = error(QStringLiteral("Esta cuenta no compró ese plugin."));
    for (const QString& ruta :
         {QStringLiteral("/v1/bajar/ajeno"), QStringLiteral("/v1/bajar/desconocido"),
          QStringLiteral("/v1/bajar/..%2FAjeno"), QStringLiteral("/v1/bajar/eco%2F..%2F..")}) {
        const Recibido r = conToken(tienda.base, ruta, token);
        QCOMPARE(r.estado, 404);
        QCOMPARE(json(r), noCompro);
    }
    Recibido r = conToken(tienda.base, QStringLiteral("/v1/bajar/sinpaquete"), token);
    QCOMPARE(r.estado, 404);
    QCOMPARE(json(r), error(QStringLiteral("Ese plugin todavía no tiene paquete.")));

    r = conToken(tienda.base, QStringLiteral("/v1/bajar/eco"), QStringLiteral("inventado"));
    QCOMPARE(r.estado, 401);
    QCOMPARE(json(r),
             rechazo(QStringLiteral("La sesión de la tienda no es válida. Vuelve a entrar.")));
}

void TstTiendaLocal::reinicio_guarda_cuentas_y_tokens() {
    QTemporaryDir datos;
    escribir(datos.filePath(QStringLiteral("compras.json")), R"({"ana@example.com": ["Eco"]})");
    QString viejo;
    {
        TiendaLocal tienda(datos.path());
        QVERIFY(tienda.base.isValid());
        viejo = tokenDeAna(tienda.base);
        QCOMPARE(conToken(tienda.base, QStringLiteral("/v1/mios"), viejo).estado, 200);
    }
    // Each token signs its holder in: only the owner may read the file.
    const QFileDevice::Permissions otros = QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                                           QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                           QFileDevice::WriteOther | QFileDevice::ExeOther;
    const QFileDevice::Permissions modo =
        QFile::permissions(datos.filePath(QStringLiteral("tokens.json")));
    QVERIFY(modo.testFlags(QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    QVERIFY(!(modo & (otros | QFileDevice::ExeOwner)));
    TiendaLocal tienda(datos.path());
    QVERIFY(tienda.base.isValid());
    QCOMPARE(conToken(tienda.base, QStringLiteral("/v1/mios"), viejo).estado, 200);
    const Recibido r = cuenta(tienda.base, "entrar", QStringLiteral("ana@example.com"),
                              QStringLiteral("12345678"));
    QCOMPARE(r.estado, 200);
    const QString nuevo = json(r).value(QLatin1String("token")).toString();
    QCOMPARE(conToken(tienda.base, QStringLiteral("/v1/mios"), nuevo).estado, 200);
    QCOMPARE(conToken(tienda.base, QStringLiteral("/v1/mios"), viejo).estado, 200);

    // A book that exists but does not read is never written over.
    escribir(datos.filePath(QStringLiteral("cuentas.json")), "{roto");
    const Recibido roto = cuenta(tienda.base, "crear", QStringLiteral("luis@example.com"),
                                 QStringLiteral("12345678"));
    QCOMPARE(roto.estado, 500);
    QCOMPARE(json(roto), rechazo(QStringLiteral("No se pudo guardar la cuenta.")));
    QCOMPARE(leer(datos.filePath(QStringLiteral("cuentas.json"))), QByteArray("{roto"));
}

void TstTiendaLocal::tokens_ilegibles_son_un_comienzo_sin_sesiones_data() {
    QTest::addColumn<QByteArray>("contenido"); // empty: a folder stands where the file goes
    QTest::newRow("no es JSON") << QByteArray("{roto");
    QTest::newRow("sin lista") << QByteArray(R"({"tokens": "x"})");
    QTest::newRow("demasiado grande")
        << QByteArray(R"({"tokens": [], "relleno": ")") + QByteArray(5 << 20, 'x') + "\"}";
    QTest::newRow("una carpeta") << QByteArray();
}

void TstTiendaLocal::tokens_ilegibles_son_un_comienzo_sin_sesiones() {
    QFETCH(QByteArray, contenido);
    QTemporaryDir datos;
    if (contenido.isEmpty())
        QVERIFY(QDir().mkpath(datos.filePath(QStringLiteral("tokens.json/dentro"))));
    else
        escribir(datos.filePath(QStringLiteral("tokens.json")), contenido);
    TiendaLocal tienda(datos.path());
    QVERIFY(tienda.base.isValid());
    const QString token = tokenDeAna(tienda.base);
    QCOMPARE(conToken(tienda.base, QStringLiteral("/v1/mios"), token).estado, 200);
    QByteArray aviso;
    QTRY_VERIFY((aviso += tienda.proceso.readAllStandardError()).contains("tokens.json"));
}

void TstTiendaLocal::tokens_guarda_los_mas_recientes() {
    QTemporaryDir datos;
    QJsonArray lista;
    for (int i = 0; i < 1000; ++i)
        lista.append(QJsonObject{{QStringLiteral("email"), QStringLiteral("ana@example.com")},
                                 {QStringLiteral("token"), QStringLiteral("t%1").arg(i)}});
    escribir(datos.filePath(QStringLiteral("tokens.json")),
             QJsonDocument(QJsonObject{{QStringLiteral("tokens"), lista}}).toJson());
    TiendaLocal tienda(datos.path());
    QVERIFY(tienda.base.isValid());
    QCOMPARE(conToken(tienda.base, QStringLiteral("/v1/mios"), QStringLiteral("t0")).estado, 200);
    const QString nuevo =
        tokenDe(tienda.base, QStringLiteral("luis@example.com"), QStringLiteral("12345678"));
    QCOMPARE(conToken(tienda.base, QStringLiteral("/v1/mios"), nuevo).estado, 200);
    QCOMPARE(conToken(tienda.base, QStringLiteral("/v1/mios"), QStringLiteral("t0")).estado, 401);
    QCOMPARE(conToken(tienda.base, QStringLiteral("/v1/mios"), QStringLiteral("t1")).estado, 200);
    QCOMPARE(listaGuardada(datos, QStringLiteral("tokens.json"), QLatin1String("tokens")).size(),
             1000);
}

// The customer demonstration stages the store's data at every start; the session the
// application saved at the first start must still sign in at the second.
void TstTiendaLocal::demo_preparada_dos_veces_sigue_con_su_sesion() {
    QTemporaryDir dir;
    const QString datos = dir.filePath(QStringLiteral("tienda"));
    const QString correo = QStringLiteral("cliente@quelodsp.com");
    const QString clave = QStringLiteral("suite-demo-2026");
    QVERIFY(prepararTienda(datos, correo));
    QString token;
    QByteArray comprados;
    {
        TiendaLocal tienda(datos);
        QVERIFY(tienda.base.isValid());
        token = tokenDe(tienda.base, correo, clave);
        const Recibido r = conToken(tienda.base, QStringLiteral("/v1/mios"), token);
        QCOMPARE(r.estado, 200);
        QCOMPARE(json(r).value(QLatin1String("plugins")).toArray().size(), 5);
        comprados = r.cuerpo;
    }
    QVERIFY(prepararTienda(datos, correo));
    TiendaLocal tienda(datos);
    QVERIFY(tienda.base.isValid());
    // The demonstration makes its account at every start; the second time it exists already.
    QCOMPARE(cuenta(tienda.base, "crear", correo, clave).estado, 409);
    const Recibido r = conToken(tienda.base, QStringLiteral("/v1/mios"), token);
    QCOMPARE(r.estado, 200);
    QCOMPARE(sinPaquete(r.cuerpo), sinPaquete(comprados));
}

void TstTiendaLocal::argumentos_que_faltan() {
    QProcess p;
    p.start(QStringLiteral(TIENDA_LOCAL), {QStringLiteral("--puerto"), QStringLiteral("0"),
                                           QStringLiteral("--datos"), QDir::tempPath()});
    QVERIFY(p.waitForFinished(15000));
    QCOMPARE(p.exitCode(), 2);
    QVERIFY(p.readAllStandardError().startsWith("tienda-local: usage: tienda-local"));
    QVERIFY(p.readAllStandardOutput().isEmpty());
}

QUELO_PRUEBA(TstTiendaLocal)

#include "tst_tienda_local.moc"
