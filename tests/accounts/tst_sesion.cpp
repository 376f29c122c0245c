// The saved session: opening it, restoring it at start and signing out.
#include "core/failure.h"
#include "ejecutable.h"
#include "prueba.h"
#include "prueba_store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QtTest>

namespace {

const QString cerrada = QStringLiteral("Sesión cerrada.");

QJsonObject objetoEn(const QString& ruta) {
    return QJsonDocument::fromJson(leer(ruta)).object();
}

} // namespace

class TstSesion : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void abrir_guarda_antes_de_publicar() {
        Mundo m;
        Store s(m.entorno);
        QByteArray visto;
        connect(&s, &Store::cuentaEmailChanged, &s, [&] { visto = leer(m.sesion()); });
        PruebaStore::abrir(s, QStringLiteral(" Ana@X.es"), std::nullopt);
        QCOMPARE(visto, QByteArray("{\"email\":\" Ana@X.es\"}"));
        QCOMPARE(s.cuentaEmail(), std::optional<QString>(QStringLiteral(" Ana@X.es")));
        QVERIFY(!s.tokenCasa());
        QCOMPARE(modo(m.sesion()), 0600);
    }

    void abrir_con_ficha_la_guarda_y_reemplaza_la_sesion_anterior() {
        Mundo m;
        Store s(m.entorno);
        PruebaStore::abrir(s, QStringLiteral("local@x.es"), std::nullopt);
        PruebaStore::abrir(s, QStringLiteral("tienda@x.es"), QStringLiteral("ficha-123"));
        QCOMPARE(objetoEn(m.sesion()),
                 (QJsonObject{{QStringLiteral("email"), QStringLiteral("tienda@x.es")},
                              {QStringLiteral("token"), QStringLiteral("ficha-123")}}));
        QVERIFY(!leer(m.sesion()).contains(' ')); // compact
        QCOMPARE(s.cuentaEmail(), std::optional<QString>(QStringLiteral("tienda@x.es")));
        QCOMPARE(s.tokenCasa(), std::optional<QString>(QStringLiteral("ficha-123")));

        // An empty token is no store session, in the file as in the state.
        PruebaStore::abrir(s, QStringLiteral("otra@x.es"), QString());
        QCOMPARE(objetoEn(m.sesion()),
                 (QJsonObject{{QStringLiteral("email"), QStringLiteral("otra@x.es")}}));
        QVERIFY(!s.tokenCasa());
    }

    void abrir_deja_solo_al_dueno_leer_tambien_al_reemplazar() {
        Mundo m;
        escribir(m.sesion(), "{\"email\":\"vieja@x.es\"}");
        QFile::setPermissions(m.sesion(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                              QFileDevice::ReadGroup | QFileDevice::ReadOther);
        QCOMPARE(modo(m.sesion()), 0644);
        Store s(m.entorno);
        PruebaStore::abrir(s, QStringLiteral("tienda@x.es"), QStringLiteral("ficha"));
        QCOMPARE(modo(m.sesion()), 0600);
        QCOMPARE(objetoEn(m.sesion()).value(QStringLiteral("token")).toString(),
                 QStringLiteral("ficha"));
        // No temporary file left beside it.
        QCOMPARE(QDir(QFileInfo(m.sesion()).absolutePath()).entryList(QDir::Files),
                 QStringList{QStringLiteral("instalador-sesion.json")});
    }

    void abrir_que_falla_no_cambia_nada() {
        Mundo m;
        Store s(m.entorno);
        PruebaStore::abrir(s, QStringLiteral("antes@x.es"), QStringLiteral("f1"));
        QFile::remove(m.sesion());
        QDir(QFileInfo(m.sesion()).absolutePath()).removeRecursively();
        escribir(QFileInfo(m.sesion()).absolutePath(), "un archivo donde va la carpeta");
        QVERIFY_THROWS_EXCEPTION(ErrorSistema,
                                 PruebaStore::abrir(s, QStringLiteral("despues@x.es"), {}));
        QCOMPARE(s.cuentaEmail(), std::optional<QString>(QStringLiteral("antes@x.es")));
        QCOMPARE(s.tokenCasa(), std::optional<QString>(QStringLiteral("f1")));

        // The folder is there but the file cannot be replaced.
        Mundo otro;
        Store t(otro.entorno);
        QDir().mkpath(otro.sesion());
        QVERIFY_THROWS_EXCEPTION(ErrorSistema,
                                 PruebaStore::abrir(t, QStringLiteral("despues@x.es"), {}));
        QVERIFY(!t.cuentaEmail());
    }

    void cargar_sesion_data() {
        QTest::addColumn<QByteArray>("sesion"); // null: no file
        QTest::addColumn<bool>("proyecto");
        QTest::addColumn<bool>("conCuenta"); // the book holds "Ana@X.es"
        QTest::addColumn<QString>("email");  // empty: signed out
        QTest::addColumn<QString>("token");  // empty: none
        const QByteArray local = "{\"email\":\"  ana@x.ES\"}";
        const QByteArray tienda = "{\"email\":\" T@x.es \",\"token\":\"abc\"}";
        QTest::newRow("tienda con proyecto") << tienda << true << false << " T@x.es "
                                             << "abc";
        QTest::newRow("tienda sin proyecto") << tienda << false << false << " T@x.es "
                                             << "abc";
        QTest::newRow("local con su cuenta") << local << true << true << "  ana@x.ES"
                                             << "";
        QTest::newRow("local sin su cuenta") << local << true << false << ""
                                             << "";
        QTest::newRow("local sin proyecto") << local << false << false << ""
                                            << "";
        QTest::newRow("ficha vacía con cuenta")
            << QByteArray("{\"email\":\"ana@x.es\",\"token\":\"\"}") << true << true << "ana@x.es"
            << "";
        QTest::newRow("ficha vacía sin cuenta")
            << QByteArray("{\"email\":\"t@x.es\",\"token\":\"\"}") << true << true << ""
            << "";
        QTest::newRow("otros miembros de texto")
            << QByteArray("{\"email\":\"t@x.es\",\"token\":\"abc\",\"desde\":\"ayer\"}") << true
            << false << "t@x.es"
            << "abc";
        QTest::newRow("email numérico")
            << QByteArray("{\"email\":7,\"token\":\"abc\"}") << true << true << ""
            << "";
        QTest::newRow("otro miembro no es texto")
            << QByteArray("{\"email\":\"t@x.es\",\"token\":\"abc\",\"n\":null}") << true << true
            << ""
            << "";
        QTest::newRow("sin email") << QByteArray("{\"token\":\"abc\"}") << true << true << ""
                                   << "";
        QTest::newRow("no es JSON") << QByteArray("email=ana@x.es") << true << true << ""
                                    << "";
        QTest::newRow("arreglo") << QByteArray("[\"ana@x.es\"]") << true << true << ""
                                 << "";
        QTest::newRow("sin archivo") << QByteArray() << true << true << ""
                                     << "";
    }
    void cargar_sesion() {
        QFETCH(QByteArray, sesion);
        QFETCH(bool, proyecto);
        QFETCH(bool, conCuenta);
        QFETCH(QString, email);
        QFETCH(QString, token);
        Mundo m(proyecto);
        if (conCuenta)
            escribir(
                m.libro(),
                codificarLibro(
                    {{cuentaDePrueba(QStringLiteral("otra@x.es"), QStringLiteral("12345678")),
                      cuentaDePrueba(QStringLiteral("Ana@X.es"), QStringLiteral("12345678"))}}));
        Store s(m.entorno);
        PruebaStore::abrir(s, QStringLiteral("antes@x.es"),
                           QStringLiteral("vieja")); // whatever was open
        if (!sesion.isNull())
            escribir(m.sesion(), sesion);
        else
            QFile::remove(m.sesion());
        const QString estado = s.status();

        PruebaStore::cargarSesion(s);
        QCOMPARE(s.cuentaEmail(), email.isEmpty() ? std::nullopt : std::optional<QString>(email));
        QCOMPARE(s.tokenCasa(), token.isEmpty() ? std::nullopt : std::optional<QString>(token));
        QCOMPARE(s.status(), estado);
        // Even a rejected file stays where it was.
        QCOMPARE(leer(m.sesion()), sesion.isNull() ? QByteArray() : sesion);
    }

    void load_termina_restaurando_la_sesion() {
        Mundo m;
        m.catalogo({pluginDePrueba(QStringLiteral("a"))});
        escribir(m.sesion(), "{\"email\":\"t@x.es\",\"token\":\"abc\"}");
        Store s(m.entorno);
        s.load();
        QCOMPARE(s.cuentaEmail(), std::optional<QString>(QStringLiteral("t@x.es")));
        QCOMPARE(s.tokenCasa(), std::optional<QString>(QStringLiteral("abc")));
    }

    void salir_cierra_y_borra_el_archivo() {
        Mundo m;
        Store s(m.entorno);
        PruebaStore::abrir(s, QStringLiteral("t@x.es"), QStringLiteral("abc"));
        QSignalSpy email(&s, &Store::cuentaEmailChanged);
        QSignalSpy ficha(&s, &Store::tokenCasaChanged);
        s.salir();
        QVERIFY(!s.cuentaEmail());
        QVERIFY(!s.tokenCasa());
        QCOMPARE(email.count(), 1);
        QCOMPARE(ficha.count(), 1);
        QVERIFY(!QFileInfo::exists(m.sesion()));
        QCOMPARE(s.status(), cerrada);

        // Nothing to delete is no error.
        Store t(m.entorno);
        t.salir();
        QCOMPARE(t.status(), cerrada);
        QVERIFY(!t.cuentaEmail());
    }
};

QUELO_PRUEBA(TstSesion)

#include "tst_sesion.moc"
