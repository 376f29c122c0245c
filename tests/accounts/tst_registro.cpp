// Local sign-up and sign-in on a temporary project folder and home.
#include "core/archivo.h"
#include "ejecutable.h"
#include "esperar.h"
#include "prueba.h"
#include "prueba_store.h"
#include "textos_cuenta.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLockFile>
#include <QRegularExpression>
#include <QtTest>

#include <atomic>
#include <thread>

namespace {

using namespace textos_cuenta;

const QString clave = QStringLiteral("Clave segura 1");

void guardarLibro(const Mundo& m, const QList<Cuenta>& cuentas) {
    escribir(m.libro(), codificarLibro(LibroCuentas{cuentas}));
}

QList<Cuenta> cuentasEn(const Mundo& m) {
    return leerLibro(m.libro()).cuentas;
}

QStringList apartados(const Mundo& m) {
    return QDir(m.proyecto + QStringLiteral("/datos"))
        .entryList({QStringLiteral("cuentas.json.ilegible-*")}, QDir::Files);
}

bool sinSesion(const Store& s) {
    return !s.cuentaEmail() && !s.tokenCasa();
}

} // namespace

class TstRegistro : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void alta_comprueba_en_orden_data() {
        QTest::addColumn<QString>("correo");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("repeticion");
        QTest::addColumn<QString>("mensaje");
        QTest::newRow("correo antes que longitud") << "ana"
                                                   << "corta"
                                                   << "otra" << correoInvalido;
        QTest::newRow("longitud antes que repetición") << "ana@x.es"
                                                       << "1234567"
                                                       << "7654321" << corta;
        QTest::newRow("repetición") << "ana@x.es"
                                    << "12345678"
                                    << "87654321" << distintas;
        QTest::newRow("7 caracteres con acentos combinados")
            << "ana@x.es"
            << "a\u0301e\u0301i\u0301o\u0301u\u0301n\u0303e\u0301"
            << "a\u0301e\u0301i\u0301o\u0301u\u0301n\u0303e\u0301" << corta;
        QTest::newRow("7 emojis largos")
            << "ana@x.es" << repetirEmoji(7) << repetirEmoji(7) << corta;
        QTest::newRow("repetición con otra forma canónica") << "ana@x.es"
                                                            << "contraseña"
                                                            << "contrasen\u0303a" << distintas;
        QTest::newRow("repetición con espacio final") << "ana@x.es"
                                                      << "12345678"
                                                      << "12345678 " << distintas;
    }
    void alta_comprueba_en_orden() {
        QFETCH(QString, correo);
        QFETCH(QString, password);
        QFETCH(QString, repeticion);
        QFETCH(QString, mensaje);
        Mundo m;
        Store s(m.entorno);
        s.crearCuenta(correo, password, repeticion);
        QCOMPARE(s.status(), mensaje);
        QVERIFY(sinSesion(s));
        QVERIFY(!s.busy());
        QVERIFY(!QFileInfo::exists(m.proyecto + QStringLiteral("/datos")));
        QVERIFY(!QFileInfo::exists(m.sesion()));
    }

    void alta_guarda_el_correo_recortado_y_abre_sesion() {
        Mundo m;
        guardarLibro(m, {cuentaDePrueba(QStringLiteral("otra@x.es"), QStringLiteral("12345678"))});
        Store s(m.entorno);
        // 8 user-perceived characters, more code units: long enough.
        const QString ocho = QStringLiteral("\U0001F1EA\U0001F1F8e\u0301 a b c");
        s.crearCuenta(QStringLiteral(" \tAna.Perez@Ejemplo.com\n"), ocho, ocho);
        QCOMPARE(s.status(), creada);
        QCOMPARE(s.cuentaEmail(), std::optional<QString>(QStringLiteral("Ana.Perez@Ejemplo.com")));
        QVERIFY(!s.tokenCasa());

        const QList<Cuenta> cuentas = cuentasEn(m);
        QCOMPARE(cuentas.size(), 2);
        QCOMPARE(cuentas[0].email, QStringLiteral("otra@x.es")); // appended, not sorted
        const Cuenta& nueva = cuentas[1];
        QCOMPARE(nueva.email, QStringLiteral("Ana.Perez@Ejemplo.com"));
        QCOMPARE(nueva.proveedor, QStringLiteral("correo"));
        QVERIFY(QRegularExpression(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}T\\d{2}:\\d{2}:\\d{2}Z$"))
                    .match(nueva.createdAt)
                    .hasMatch());
        QCOMPARE(QByteArray::fromBase64(nueva.salt.toLatin1()).size(), 16);
        QCOMPARE(resumenCuenta(QStringLiteral("ana.perez@ejemplo.com"), ocho, nueva.salt).second,
                 nueva.passHash);

        QCOMPARE(leer(m.sesion()), QByteArray("{\"email\":\"Ana.Perez@Ejemplo.com\"}"));
        QCOMPARE(modo(m.sesion()), 0600);
        QVERIFY(apartados(m).isEmpty());
    }

    void alta_de_un_correo_que_ya_tiene_cuenta() {
        Mundo m;
        guardarLibro(
            m, {cuentaDePrueba(QStringLiteral("Ana@Ejemplo.com"), QStringLiteral("12345678"))});
        const QByteArray antes = leer(m.libro());
        Store s(m.entorno);
        s.crearCuenta(QStringLiteral("  aNA@ejemplo.COM "), QStringLiteral("otra clave"),
                      QStringLiteral("otra clave"));
        QCOMPARE(s.status(), yaTiene);
        QVERIFY(sinSesion(s));
        QCOMPARE(leer(m.libro()), antes);
        QVERIFY(!QFileInfo::exists(m.sesion()));
        QVERIFY(!QFileInfo::exists(m.libro() + QStringLiteral(".lock"))); // released
    }

    void alta_aparta_un_libro_ilegible_en_vez_de_perderlo() {
        Mundo m;
        const QByteArray roto = "{\"cuentas\": [{\"email\": \"vieja@x.es\"}]}";
        escribir(m.libro(), roto);
        Store s(m.entorno);
        s.crearCuenta(QStringLiteral("nueva@x.es"), QStringLiteral("12345678"),
                      QStringLiteral("12345678"));
        QCOMPARE(s.status(), creada);
        const QStringList aparte = apartados(m);
        QCOMPARE(aparte.size(), 1);
        QVERIFY(QRegularExpression(QStringLiteral("^cuentas\\.json\\.ilegible-\\d{8}T\\d{6}Z$"))
                    .match(aparte.first())
                    .hasMatch());
        QCOMPARE(leer(m.proyecto + QStringLiteral("/datos/") + aparte.first()), roto);
        QCOMPARE(cuentasEn(m).size(), 1);
        QCOMPARE(cuentasEn(m).first().email, QStringLiteral("nueva@x.es"));
    }

    void alta_no_pierde_la_cuenta_que_otra_copia_guarda_a_la_vez() {
        Mundo m;
        QDir().mkpath(m.proyecto + QStringLiteral("/datos"));
        std::atomic<bool> listo{false};
        bool cerrado = false;
        // The other copy: holds the lock across its own read, change and write.
        std::thread otra([&] {
            QLockFile cerrojo(m.libro() + QStringLiteral(".lock"));
            cerrado = cerrojo.tryLock(5000);
            QList<Cuenta> cuentas = leerLibro(m.libro()).cuentas;
            listo = true;
            // Holds it a while: the point is that the sign-up meanwhile waits, not fails.
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            cuentas.append(cuentaDePrueba(QStringLiteral("otra@x.es"), QStringLiteral("12345678")));
            guardarArchivo(m.libro(), codificarLibro(LibroCuentas{cuentas}));
        });
        while (!listo)
            std::this_thread::yield();
        Store s(m.entorno);
        s.crearCuenta(QStringLiteral("ana@x.es"), QStringLiteral("12345678"),
                      QStringLiteral("12345678"));
        otra.join();
        QVERIFY(cerrado);
        QCOMPARE(s.status(), creada);
        QStringList correos;
        for (const Cuenta& c : cuentasEn(m))
            correos.append(c.email);
        QCOMPARE(correos, (QStringList{QStringLiteral("otra@x.es"), QStringLiteral("ana@x.es")}));
    }

    void alta_con_el_libro_tomado_por_otra_copia_se_explica() {
        Mundo m;
        QDir().mkpath(m.proyecto + QStringLiteral("/datos"));
        QLockFile otra(m.libro() + QStringLiteral(".lock")); // held for the whole sign-up
        QVERIFY(otra.tryLock(0));
        Store s(m.entorno);
        s.crearCuenta(QStringLiteral("ana@x.es"), QStringLiteral("12345678"),
                      QStringLiteral("12345678"));
        QCOMPARE(s.status(), QStringLiteral("Otra copia de Quelo Instalador está guardando una "
                                            "cuenta. Prueba otra vez."));
        QVERIFY(!s.cuentaEmail());
        QVERIFY(cuentasEn(m).isEmpty());
    }

    void alta_sin_proyecto_pasa_a_la_tienda() {
        Mundo m(false);
        Store s(m.entorno);
        s.crearCuenta(QStringLiteral(" ana@x.es "), QStringLiteral("12345678"),
                      QStringLiteral("12345678"));
        QVERIFY(s.busy());
        QVERIFY(esperarFin(s));
        QVERIFY(!QFileInfo::exists(m.proyecto + QStringLiteral("/datos")));
    }

    void alta_que_no_puede_escribir_el_libro() {
        Mundo m;
        escribir(m.proyecto + QStringLiteral("/datos"), "un archivo donde va la carpeta");
        Store s(m.entorno);
        s.crearCuenta(QStringLiteral("ana@x.es"), QStringLiteral("12345678"),
                      QStringLiteral("12345678"));
        QVERIFY(s.status().startsWith(QStringLiteral("No se pudo crear la carpeta")));
        QVERIFY(sinSesion(s));
        QVERIFY(!QFileInfo::exists(m.sesion()));
    }

    void alta_cuya_sesion_no_se_guarda_deja_la_cuenta() {
        Mundo m;
        // A file where the session's folder must go.
        escribir(QFileInfo(m.sesion()).path(), "estorbo");
        Store s(m.entorno);
        s.crearCuenta(QStringLiteral("Ana@x.es"), QStringLiteral("12345678"),
                      QStringLiteral("12345678"));
        QVERIFY(s.status().startsWith(QStringLiteral("No se pudo crear la carpeta")));
        QVERIFY(sinSesion(s));
        QCOMPARE(cuentasEn(m).size(), 1);

        QFile::remove(QFileInfo(m.sesion()).path());
        s.entrar(QStringLiteral("ana@x.es"), QStringLiteral("12345678"));
        QCOMPARE(s.status(), abierta);
        QCOMPARE(s.cuentaEmail(), std::optional<QString>(QStringLiteral("Ana@x.es")));
    }

    void entrar_en_otro_caso_muestra_el_correo_guardado() {
        Mundo m;
        Store s(m.entorno);
        s.crearCuenta(QStringLiteral("Ana.Perez@Ejemplo.com"), QStringLiteral("Clave segura 1"),
                      QStringLiteral("Clave segura 1"));
        s.salir();
        s.entrar(QStringLiteral("\n ana.PEREZ@ejemplo.com  "), QStringLiteral("Clave segura 1"));
        QCOMPARE(s.status(), abierta);
        QCOMPARE(s.cuentaEmail(), std::optional<QString>(QStringLiteral("Ana.Perez@Ejemplo.com")));
        QVERIFY(!s.tokenCasa());
        QCOMPARE(leer(m.sesion()), QByteArray("{\"email\":\"Ana.Perez@Ejemplo.com\"}"));
        QCOMPARE(modo(m.sesion()), 0600);
    }

    void entrar_rechaza_data() {
        QTest::addColumn<QString>("correo");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("mensaje");
        QTest::newRow("correo inválido") << "ana@x" << clave << correoInvalido;
        QTest::newRow("contraseña vacía") << "ana@x.es"
                                          << ""
                                          << "Escribe la contraseña.";
        QTest::newRow("otra contraseña") << "ana@x.es"
                                         << "Clave segura 2" << noCoincide;
        QTest::newRow("otra mayúscula") << "ana@x.es"
                                        << "clave segura 1" << noCoincide;
        QTest::newRow("espacio final") << "ana@x.es" << clave + QStringLiteral(" ") << noCoincide;
        QTest::newRow("solo espacios") << "ana@x.es"
                                       << "   " << noCoincide;
        QTest::newRow("sin contraseña guardada")
            << "sin@x.es" << clave << "Esa cuenta entra con Google.";
        QTest::newRow("sin contraseña guardada, ni escrita") << "sin@x.es"
                                                             << " "
                                                             << "Esa cuenta entra con Google.";
        QTest::newRow("sal ilegible") << "rota@x.es" << clave << noCoincide;
    }
    void entrar_rechaza() {
        QFETCH(QString, correo);
        QFETCH(QString, password);
        QFETCH(QString, mensaje);
        Mundo m;
        Cuenta rota = cuentaDePrueba(QStringLiteral("rota@x.es"), clave);
        rota.salt = QStringLiteral("no es base64");
        guardarLibro(m, {cuentaDePrueba(QStringLiteral("Ana@x.es"), clave),
                         {QStringLiteral("sin@x.es"), QStringLiteral("AAECAwQFBgcICQoLDA0ODw=="),
                          QStringLiteral(""), QStringLiteral("google"), QStringLiteral("t")},
                         rota});
        Store s(m.entorno);
        s.entrar(correo, password);
        QCOMPARE(s.status(), mensaje);
        QVERIFY(!s.busy());
        QVERIFY(sinSesion(s));
        QVERIFY(!QFileInfo::exists(m.sesion()));
    }

    void entrar_sin_contrasena_no_lee_el_libro() {
        Mundo m;
        QDir().mkpath(m.libro()); // reading it would fail and go to the store
        Store s(m.entorno);
        s.entrar(QStringLiteral("ana@x.es"), QStringLiteral(""));
        QCOMPARE(s.status(), QStringLiteral("Escribe la contraseña."));
        QVERIFY(!s.busy());
    }

    void entrar_sin_respuesta_local_pasa_a_la_tienda_data() {
        QTest::addColumn<bool>("proyecto");
        QTest::addColumn<QByteArray>("libro"); // null: no file; "<carpeta>": a folder there
        QTest::newRow("sin carpeta del proyecto") << false << QByteArray();
        QTest::newRow("sin libro") << true << QByteArray();
        QTest::newRow("libro sin ese correo")
            << true << codificarLibro({{cuentaDePrueba(QStringLiteral("otra@x.es"), clave)}});
        QTest::newRow("libro ilegible") << true << QByteArray("{\"cuentas\": 3}");
        QTest::newRow("libro que no se puede leer") << true << QByteArray("<carpeta>");
    }
    void entrar_sin_respuesta_local_pasa_a_la_tienda() {
        QFETCH(bool, proyecto);
        QFETCH(QByteArray, libro);
        Mundo m(proyecto);
        if (libro == "<carpeta>")
            QDir().mkpath(m.libro());
        else if (!libro.isNull())
            escribir(m.libro(), libro);
        Store s(m.entorno);
        s.entrar(QStringLiteral(" ana@x.es "), clave);
        QVERIFY(s.busy());
        QVERIFY(esperarFin(s));
        QVERIFY(apartados(m).isEmpty()); // sign-in never moves or rewrites the book
        if (!libro.isNull() && libro != "<carpeta>") QCOMPARE(leer(m.libro()), libro);
    }

private:
    static QString repetirEmoji(int n) {
        QString r;
        for (int i = 0; i < n; ++i)
            r += QStringLiteral("\U0001F469\U0001F3FD\u200D\U0001F4BB"); // one character each
        return r;
    }
};

QUELO_PRUEBA(TstRegistro)

#include "tst_registro.moc"
