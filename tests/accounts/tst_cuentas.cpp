// The account record, the accounts book on disk, the password digest and the e-mail rules.
#include "core/failure.h"
#include "ejecutable.h"
#include "prueba.h"
#include "prueba_store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QtTest>

namespace {

// Salt bytes 00 01 02 ... 0f.
const QString salFija = QStringLiteral("AAECAwQFBgcICQoLDA0ODw==");

// SHA-256 computed with openssl over salt + message bytes, e.g.
// printf '<salt>ana.perez@ejemplo.com\x00Secreto 123' | openssl dgst -sha256 -binary | base64
const QString resumenAna = QStringLiteral("C7Y08QNzLLCioTuH5B5bqYNX77U9VwTr50GmBwEZITs=");
// ... with the password "secreto 123"
const QString resumenAnaMinuscula = QStringLiteral("jl5T6uF4ejcr6fLl9IzJCqOtKqqLGv8JLi50ZVbBh5I=");
// ... with "ana.perez@ejemplo.co" and "mSecreto 123"
const QString resumenAnaMovida = QStringLiteral("GzS7E3FgEI6gkmU7FrUL1lo7IEY6jpkrzs8xN+6QNEA=");
// ... with "i\u0307n\u00e9s@correo.es" (UTF-8 69 cc 87 6e c3 a9 ...) and "contraseña"
const QString resumenInes = QStringLiteral("cczMN2TZOsuahHUiWLZUOsYhkOyCE3VDsLRC7DsKLlo=");

QByteArray deBase64(const QString& s) {
    return QByteArray::fromBase64(s.toLatin1());
}

QString repetir(const QString& s, int n) {
    QString r;
    for (int i = 0; i < n; ++i)
        r += s;
    return r;
}

} // namespace

class TstCuentas : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void resumen_coincide_con_vectores_calculados_aparte() {
        const auto ana = resumenCuenta(QStringLiteral("ana.perez@ejemplo.com"),
                                       QStringLiteral("Secreto 123"), salFija);
        QCOMPARE(ana.first, salFija);
        QCOMPARE(ana.second, resumenAna);
        // Case and surrounding white space of the e-mail do not count.
        QCOMPARE(resumenCuenta(QStringLiteral(" \t Ana.PEREZ@Ejemplo.com\r\n"),
                               QStringLiteral("Secreto 123"), salFija)
                     .second,
                 resumenAna);
        // Those of the password do.
        QCOMPARE(resumenCuenta(QStringLiteral("ana.perez@ejemplo.com"),
                               QStringLiteral("secreto 123"), salFija)
                     .second,
                 resumenAnaMinuscula);
        QVERIFY(resumenCuenta(QStringLiteral("ana.perez@ejemplo.com"),
                              QStringLiteral("Secreto 123 "), salFija)
                    .second != resumenAna);
        // The NUL between the two keeps a character from moving across.
        QCOMPARE(resumenCuenta(QStringLiteral("ana.perez@ejemplo.co"),
                               QStringLiteral("mSecreto 123"), salFija)
                     .second,
                 resumenAnaMovida);
        // Full lower-casing ("İ" gives "i" + U+0307), and canonically equivalent spellings
        // (precomposed or decomposed "É") digest the same.
        QCOMPARE(resumenCuenta(QString::fromUtf8("İN\u00C9S@Correo.es"),
                               QStringLiteral("contraseña"), salFija)
                     .second,
                 resumenInes);
        QCOMPARE(resumenCuenta(QString::fromUtf8("I\u0307NE\u0301S@correo.ES "),
                               QStringLiteral("contraseña"), salFija)
                     .second,
                 resumenInes);
    }

    void resumen_sin_sal_hace_una_nueva_de_16_bytes() {
        const auto a =
            resumenCuenta(QStringLiteral("a@b.c"), QStringLiteral("12345678"), std::nullopt);
        const auto b =
            resumenCuenta(QStringLiteral("a@b.c"), QStringLiteral("12345678"), std::nullopt);
        QCOMPARE(a.first.size(), 24);
        QVERIFY(a.first.endsWith(QStringLiteral("==")));
        QCOMPARE(deBase64(a.first).size(), 16);
        QCOMPARE(a.second.size(), 44);
        QVERIFY(a.second.endsWith(QStringLiteral("=")));
        QVERIFY(a.first != b.first);
        QVERIFY(a.second != b.second);
        // The returned salt verifies the same password again.
        QCOMPARE(resumenCuenta(QStringLiteral("a@b.c"), QStringLiteral("12345678"), a.first), a);
    }

    void resumen_con_sal_invalida_usa_una_nueva_data() {
        QTest::addColumn<QString>("sal");
        QTest::newRow("vacía") << QStringLiteral("");
        QTest::newRow("no es base64") << "no es base64!";
        QTest::newRow("sin relleno") << "AAECAwQFBgcICQoLDA0ODw";
        QTest::newRow("con salto de línea") << "AAECAwQFBgcICQoLDA0ODw==\n";
        QTest::newRow("con espacio") << " AAECAwQFBgcICQoLDA0ODw==";
        QTest::newRow("relleno en medio") << "QQ==QQ==";
        QTest::newRow("alfabeto url") << "AAECAwQFBgcICQoLDA0OD_-_";
        QTest::newRow("no ASCII") << "AAECAwQFBgcICQoLDA0ODñ==";
    }
    void resumen_con_sal_invalida_usa_una_nueva() {
        QFETCH(QString, sal);
        const auto a = resumenCuenta(QStringLiteral("a@b.c"), QStringLiteral("12345678"), sal);
        const auto b = resumenCuenta(QStringLiteral("a@b.c"), QStringLiteral("12345678"), sal);
        QVERIFY(a.first != sal);
        QCOMPARE(deBase64(a.first).size(), 16);
        QVERIFY(a.first != b.first);
        QVERIFY(a.second != b.second);
    }

    void resumen_acepta_cualquier_sal_de_al_menos_un_byte() {
        QCOMPARE(resumenCuenta(QStringLiteral("a@b.c"), QStringLiteral("x"), QStringLiteral("QQ=="))
                     .first,
                 QStringLiteral("QQ=="));
        QCOMPARE(resumenCuenta(QStringLiteral("a@b.c"), QStringLiteral("x"), QStringLiteral("QQ=="))
                     .second,
                 resumenCuenta(QStringLiteral("a@b.c"), QStringLiteral("x"), QStringLiteral("QQ=="))
                     .second);
    }

    void correo_valido_data() {
        QTest::addColumn<QString>("correo");
        QTest::addColumn<bool>("valido");
        QTest::newRow("mínimo") << "a@b.c" << true;
        QTest::newRow("nada antes de @") << "@b.c" << false;
        QTest::newRow("sin @") << "ab.c" << false;
        QTest::newRow("sin punto tras @") << "a.b@c" << false;
        QTest::newRow("@ seguido de punto y nada más") << "a@." << true;
        QTest::newRow("punto al final") << "a@b." << true;
        QTest::newRow("segunda @") << "a@b@c.d" << true;
        QTest::newRow("punto solo tras la segunda @") << "a@b@c.d" << true;
        QTest::newRow("espacio dentro") << "a b@c.d" << false;
        QTest::newRow("espacio tras @") << "a@c .d" << false;
        QTest::newRow("espacios y saltos alrededor") << " \n\ta@b.c \r\n" << true;
        QTest::newRow("espacio duro alrededor") << "\u00A0a@b.c\u3000" << true;
        QTest::newRow("tabulador dentro") << "a\t@b.c" << true;
        QTest::newRow("vacío") << "" << false;
        QTest::newRow("solo espacios") << "   " << false;
        QTest::newRow("200 caracteres")
            << repetir(QStringLiteral("a"), 196) + QStringLiteral("@b.c") << true;
        QTest::newRow("201 caracteres")
            << repetir(QStringLiteral("a"), 197) + QStringLiteral("@b.c") << false;
        QTest::newRow("200 con espacios alrededor")
            << QStringLiteral("  ") + repetir(QStringLiteral("a"), 196) + QStringLiteral("@b.c\n")
            << true;
        // A letter with a combining accent is one user-perceived character.
        QTest::newRow("200 con acentos")
            << repetir(QStringLiteral("e\u0301"), 196) + QStringLiteral("@b.c") << true;
        QTest::newRow("201 con acentos")
            << repetir(QStringLiteral("e\u0301"), 197) + QStringLiteral("@b.c") << false;
        QTest::newRow("200 banderas")
            << repetir(QStringLiteral("\U0001F1EA\U0001F1F8"), 196) + QStringLiteral("@b.c")
            << true;
    }
    void correo_valido() {
        QFETCH(QString, correo);
        QFETCH(bool, valido);
        QCOMPARE(correoBienFormado(correo), valido);
        Mundo m;
        Store s(m.entorno);
        QCOMPARE(PruebaStore::correoValido(s, correo), valido);
    }

    void correo_normalizado() {
        // Unicode white space and line breaks around it go, the ones inside stay.
        QCOMPARE(correoNormalizado(QStringLiteral("\u2028\u00A0 Ana@X.es\u0085\t")),
                 QStringLiteral("ana@x.es"));
        QCOMPARE(correoNormalizado(QStringLiteral("\u200BAna@X.es")),
                 QStringLiteral("\u200Bana@x.es"));
        QCOMPARE(correoNormalizado(QString::fromUtf8("İ@X.es")), QString::fromUtf8("i\u0307@x.es"));
        QVERIFY(mismoCorreo(QStringLiteral("JOSE\u0301@x.es"), QString::fromUtf8(" josé@X.ES")));
        QVERIFY(!mismoCorreo(QStringLiteral("jose@x.es"), QString::fromUtf8("josé@x.es")));
    }

    void buscar_toma_la_primera_coincidencia() {
        Cuenta primera{QStringLiteral("Ana@Ejemplo.com"), QStringLiteral("s1"),
                       QStringLiteral("h1"), QStringLiteral("correo"), QStringLiteral("t1")};
        Cuenta segunda{QStringLiteral("ana@ejemplo.com"), QStringLiteral("s2"),
                       QStringLiteral("h2"), QStringLiteral("correo"), QStringLiteral("t2")};
        Cuenta otra{QStringLiteral("otra@ejemplo.com"), QStringLiteral("s3"), QStringLiteral("h3"),
                    QStringLiteral("correo"), QStringLiteral("t3")};
        const QList<Cuenta> cuentas{otra, primera, segunda};
        QCOMPARE(buscarCuenta(cuentas, QStringLiteral("  aNA@EJEMPLO.com\n")),
                 std::optional<Cuenta>(primera));
        QCOMPARE(buscarCuenta(cuentas, QStringLiteral("OTRA@ejemplo.com")),
                 std::optional<Cuenta>(otra));
        QVERIFY(!buscarCuenta(cuentas, QStringLiteral("ana@ejemplo.co")));
        QVERIFY(!buscarCuenta({}, QStringLiteral("ana@ejemplo.com")));
    }

    void libro_ausente_se_lee_vacio() {
        Mundo m;
        const LecturaLibro l = leerLibro(m.libro());
        QVERIFY(l.cuentas.isEmpty());
        QVERIFY(!l.ilegible);
    }

    void libro_que_no_decodifica_se_lee_vacio_y_marcado_data() {
        QTest::addColumn<QByteArray>("json");
        const QByteArray buena =
            "{\"createdAt\": \"t\", \"email\": \"a@b.c\", \"passHash\": \"h\", "
            "\"proveedor\": \"correo\", \"salt\": \"s\"}";
        QTest::newRow("arreglo suelto") << QByteArray("[" + buena + "]");
        QTest::newRow("sin createdAt")
            << QByteArray("{\"cuentas\": [{\"email\": \"a@b.c\", \"passHash\": \"h\", "
                          "\"proveedor\": \"correo\", \"salt\": \"s\"}]}");
        QTest::newRow("salt null") << QByteArray("{\"cuentas\": [" + buena + ", " +
                                                 QByteArray(buena).replace("\"s\"", "null") + "]}");
        QTest::newRow("passHash numérico")
            << QByteArray("{\"cuentas\": [" + QByteArray(buena).replace("\"h\"", "7") + "]}");
        QTest::newRow("registro que no es objeto") << QByteArray("{\"cuentas\": [\"a@b.c\"]}");
        QTest::newRow("sin cuentas") << QByteArray("{\"libro\": []}");
        QTest::newRow("cuentas no es arreglo") << QByteArray("{\"cuentas\": {}}");
        QTest::newRow("no es JSON") << QByteArray("cuentas = []");
        QTest::newRow("vacío") << QByteArray("");
        QTest::newRow("cortado") << QByteArray("{\"cuentas\": [" + buena);
    }
    void libro_que_no_decodifica_se_lee_vacio_y_marcado() {
        QFETCH(QByteArray, json);
        Mundo m;
        escribir(m.libro(), json);
        const LecturaLibro l = leerLibro(m.libro());
        QVERIFY(l.cuentas.isEmpty());
        QVERIFY(l.ilegible);
    }

    void libro_se_lee_en_orden_e_ignora_lo_que_sobra() {
        Mundo m;
        escribir(m.libro(),
                 "{\"version\": 2, \"cuentas\": [\n"
                 " {\"salt\": \"s1\", \"email\": \" B@x.es\", \"passHash\": \"\", "
                 "\"proveedor\": \"google\", \"createdAt\": \"t1\", \"nombre\": null},\n"
                 " {\"createdAt\": \"t2\", \"email\": \"a\\u00e9@x.es\", \"passHash\": \"h2\", "
                 "\"proveedor\": \"correo\", \"salt\": \"s2\"}]}");
        const LecturaLibro l = leerLibro(m.libro());
        QVERIFY(!l.ilegible);
        QCOMPARE(l.cuentas,
                 (QList<Cuenta>{
                     {QStringLiteral(" B@x.es"), QStringLiteral("s1"), QStringLiteral(""),
                      QStringLiteral("google"), QStringLiteral("t1")},
                     {QString::fromUtf8("aé@x.es"), QStringLiteral("s2"), QStringLiteral("h2"),
                      QStringLiteral("correo"), QStringLiteral("t2")}}));
    }

    void libro_que_no_se_puede_leer_es_un_error() {
        Mundo m;
        QDir().mkpath(m.libro()); // a folder where the file should be
        QVERIFY_THROWS_EXCEPTION(ErrorSistema, leerLibro(m.libro()));
    }

    void escribir_crea_datos_y_ordena_las_claves() {
        Mundo m;
        Store s(m.entorno);
        QVERIFY(!QFileInfo::exists(m.proyecto + QStringLiteral("/datos")));
        const QList<Cuenta> cuentas{
            cuentaDePrueba(QStringLiteral("Ana@X.es"), QStringLiteral("12345678")),
            {QStringLiteral("b@x.es"), QStringLiteral("s"), QStringLiteral(""),
             QStringLiteral("google"), QStringLiteral("t")}};
        PruebaStore::escribirCuentas(s, cuentas);
        const QByteArray texto = leer(m.libro());
        // Pretty-printed, and every record lists its keys in ascending order.
        QVERIFY(texto.contains("\n        {\n"));
        const QRegularExpression orden(
            QStringLiteral("\\{\\s*\"createdAt\"[^,]*,\\s*\"email\"[^,]*,\\s*\"passHash\"[^,]*,\\s*"
                           "\"proveedor\"[^,]*,\\s*\"salt\"[^,}]*\\}"));
        QCOMPARE(QString::fromUtf8(texto).count(orden), 2);
        QCOMPARE(leerLibro(m.libro()).cuentas, cuentas);

        // It writes what it is given, without merging.
        PruebaStore::escribirCuentas(s, {cuentas.last()});
        QCOMPARE(leerLibro(m.libro()).cuentas, QList<Cuenta>{cuentas.last()});
    }

    void sin_proyecto_no_hay_libro() {
        Mundo m(false);
        Store s(m.entorno);
        try {
            PruebaStore::escribirCuentas(
                s, {cuentaDePrueba(QStringLiteral("a@b.c"), QStringLiteral("12345678"))});
            QFAIL("escribió sin carpeta del proyecto");
        } catch (const Failure& f) {
            QCOMPARE(f.message,
                     QStringLiteral("Coloca Quelo Instalador dentro de la carpeta Quelo DSP."));
        }
        QVERIFY(!QFileInfo::exists(m.proyecto + QStringLiteral("/datos")));
        QVERIFY_THROWS_EXCEPTION(Failure,
                                 PruebaStore::archivoDatos(s, QStringLiteral("cuentas.json")));
    }

    void archivo_de_datos_no_crea_nada() {
        Mundo m;
        Store s(m.entorno);
        QCOMPARE(PruebaStore::archivoDatos(s, QStringLiteral("cuentas.json")), m.libro());
        QVERIFY(!QFileInfo::exists(m.proyecto + QStringLiteral("/datos")));
    }

    void apartar_conserva_el_archivo_con_fecha() {
        Mundo m;
        escribir(m.libro(), "{roto");
        const QString primero = apartarIlegible(m.libro());
        QVERIFY(
            QRegularExpression(QStringLiteral("/datos/cuentas\\.json\\.ilegible-\\d{8}T\\d{6}Z$"))
                .match(primero)
                .hasMatch());
        QCOMPARE(leer(primero), QByteArray("{roto"));
        QVERIFY(!QFileInfo::exists(m.libro()));
        // A second one within the same second does not overwrite the first.
        escribir(m.libro(), "{otro");
        const QString segundo = apartarIlegible(m.libro());
        QVERIFY(segundo != primero);
        QCOMPARE(leer(primero), QByteArray("{roto"));
        QCOMPARE(leer(segundo), QByteArray("{otro"));
    }
};

QUELO_PRUEBA(TstCuentas)

#include "tst_cuentas.moc"
