// The access form and the switch between it and the catalog window.
#include "core/texto.h"
#include "ui/botones.h"
#include "ventana.h"

#include <QLineEdit>
#include <QStackedLayout>

namespace {
const QString notaEntrar = QStringLiteral("Entra con el correo y la contraseña que elegiste.");

QLineEdit* campo(const Ventana& v, const QString& nombre) {
    return v.vista->findChild<QLineEdit*>(nombre);
}

QString titulo(const Ventana& v) {
    return v.parte(QStringLiteral("acceso"))->findChild<QLabel*>(QStringLiteral("titulo"))->text();
}

// Whether the access form is what the window shows (and the catalog window is not).
bool enAcceso(const Ventana& v) {
    return v.parte(QStringLiteral("acceso"))->isVisible() &&
           !v.parte(QStringLiteral("sidebar"))->isVisible();
}
} // namespace

class TstAcceso : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void primera_vista_en_modo_crear_cuenta() {
        Ventana v(catalogoBase());
        QVERIFY(enAcceso(v));
        QWidget* acceso = v.parte(QStringLiteral("acceso"));
        const QLabel* logo = acceso->findChild<QLabel*>(QStringLiteral("logo"));
        QVERIFY(logo);
        QTRY_VERIFY(!logo->pixmap().isNull()); // decoded beside the window's thread
        QCOMPARE(titulo(v), QStringLiteral("CREAR CUENTA"));
        for (const QString& nombre : {QStringLiteral("correo"), QStringLiteral("contrasena"),
                                      QStringLiteral("repeticion")}) {
            QLineEdit* c = campo(v, nombre);
            QVERIFY2(c && c->isVisible() && c->text().isEmpty(), qPrintable(nombre));
            QCOMPARE(c->width(), 360);
        }
        QCOMPARE(campo(v, QStringLiteral("correo"))->echoMode(), QLineEdit::Normal);
        QCOMPARE(campo(v, QStringLiteral("contrasena"))->echoMode(), QLineEdit::Password);
        QCOMPARE(campo(v, QStringLiteral("repeticion"))->echoMode(), QLineEdit::Password);
        const QStringList vistos = textos(acceso);
        for (const QString& t :
             {QStringLiteral("Quelo DSP"), QStringLiteral("CORREO"), QStringLiteral("CONTRASEÑA"),
              QStringLiteral("REPITE LA CONTRASEÑA")})
            QVERIFY2(vistos.contains(t), qPrintable(t));
        auto* principal = qobject_cast<GoldButton*>(boton(acceso, QStringLiteral("Crear cuenta")));
        QVERIFY(principal && principal->filled() && principal->isEnabled());
        QVERIFY(boton(acceso, QStringLiteral("Ya tengo cuenta")));
        // the status line shows the store's prompt as it is
        QCOMPARE(acceso->findChild<QLabel*>(QStringLiteral("estado"))->text(), v.store().status());
    }

    void sin_logo_la_forma_empieza_por_la_marca() {
        Ventana v(catalogoBase(), true, false);
        QVERIFY(!v.vista->findChild<QLabel*>(QStringLiteral("logo")));
        QCOMPARE(textos(v.parte(QStringLiteral("acceso"))).first(), QStringLiteral("Quelo DSP"));
    }

    void un_logo_ilegible_deja_su_sitio_libre() {
        Ventana v(catalogoBase(), true, false, [](Mundo& m) {
            escribir(unir(m.entorno.recursos, QStringLiteral("Logo.png")), "no es un PNG");
        });
        QTRY_COMPARE(textos(v.parte(QStringLiteral("acceso"))).first(),
                     QStringLiteral("Quelo DSP"));
        for (const QLabel* logo : v.vista->findChildren<QLabel*>(QStringLiteral("logo")))
            QVERIFY(logo->isHidden());
    }

    void el_cambio_de_modo_va_y_vuelve_sin_borrar_lo_escrito() {
        Ventana v(catalogoBase());
        QWidget* acceso = v.parte(QStringLiteral("acceso"));
        QTest::keyClicks(campo(v, QStringLiteral("correo")), QStringLiteral("ana@quelo.com"));
        QTest::keyClicks(campo(v, QStringLiteral("contrasena")), QStringLiteral("secreta1"));
        QTest::keyClicks(campo(v, QStringLiteral("repeticion")), QStringLiteral("secreta1"));

        QTest::mouseClick(boton(acceso, QStringLiteral("Ya tengo cuenta")), Qt::LeftButton);
        QCOMPARE(titulo(v), QStringLiteral("ENTRAR"));
        QVERIFY(!campo(v, QStringLiteral("repeticion"))->isVisible());
        QVERIFY(boton(acceso, QStringLiteral("Entrar")));
        QVERIFY(boton(acceso, QStringLiteral("Crear cuenta"))); // now the toggle
        QVERIFY(!qobject_cast<GoldButton*>(boton(acceso, QStringLiteral("Crear cuenta"))));
        QCOMPARE(v.store().status(), notaEntrar);
        QCOMPARE(acceso->findChild<QLabel*>(QStringLiteral("estado"))->text(), notaEntrar);
        QCOMPARE(campo(v, QStringLiteral("correo"))->text(), QStringLiteral("ana@quelo.com"));

        QTest::mouseClick(boton(acceso, QStringLiteral("Crear cuenta")), Qt::LeftButton);
        QCOMPARE(titulo(v), QStringLiteral("CREAR CUENTA"));
        QVERIFY(campo(v, QStringLiteral("repeticion"))->isVisible());
        QCOMPARE(campo(v, QStringLiteral("repeticion"))->text(), QStringLiteral("secreta1"));
        QCOMPARE(campo(v, QStringLiteral("contrasena"))->text(), QStringLiteral("secreta1"));
        QVERIFY(v.store().status() != notaEntrar);
        QVERIFY(v.store().status().contains(QStringLiteral("contraseña")));
        QVERIFY(qobject_cast<GoldButton*>(boton(acceso, QStringLiteral("Crear cuenta"))));
    }

    void return_en_un_campo_no_envia_nada() {
        Ventana v(catalogoBase());
        const QString antes = v.store().status();
        for (const QString& nombre : {QStringLiteral("correo"), QStringLiteral("contrasena"),
                                      QStringLiteral("repeticion")}) {
            QTest::keyClicks(campo(v, nombre), QStringLiteral("x"));
            QTest::keyClick(campo(v, nombre), Qt::Key_Return);
        }
        QCOMPARE(v.store().status(), antes);
        QVERIFY(enAcceso(v));
        QCOMPARE(campo(v, QStringLiteral("contrasena"))->text(), QStringLiteral("x"));
    }

    void mientras_trabaja_el_boton_principal_no_responde_y_el_cambio_si() {
        Ventana v(catalogoBase());
        QWidget* acceso = v.parte(QStringLiteral("acceso"));
        PruebaStore::ocupado(v.store(), true);
        QVERIFY(!boton(acceso, QStringLiteral("Crear cuenta"))->isEnabled());
        QTest::mouseClick(boton(acceso, QStringLiteral("Ya tengo cuenta")), Qt::LeftButton);
        QCOMPARE(titulo(v), QStringLiteral("ENTRAR"));
        QVERIFY(!boton(acceso, QStringLiteral("Entrar"))->isEnabled());
        QVERIFY(campo(v, QStringLiteral("correo"))->isEnabled());
        PruebaStore::ocupado(v.store(), false);
        QVERIFY(boton(acceso, QStringLiteral("Entrar"))->isEnabled());
    }

    void el_estado_largo_se_parte_dentro_de_460() {
        Ventana v(catalogoBase());
        QLabel* estado =
            v.parte(QStringLiteral("acceso"))->findChild<QLabel*>(QStringLiteral("estado"));
        v.store().setStatus(QString(QStringLiteral("No se pudo entrar a la tienda. ")).repeated(8));
        QTRY_VERIFY(estado->height() > 2 * estado->fontMetrics().height());
        QVERIFY(estado->width() <= 460);
        QVERIFY(estado->alignment() & Qt::AlignHCenter);
    }

    void la_cuenta_cambia_de_pantalla_y_la_navegacion_se_conserva() {
        Ventana v(catalogoBase());
        Store& s = v.store();
        PruebaStore::entrar(s, QStringLiteral("ana@quelo.com"));
        QVERIFY(!enAcceso(v));
        QWidget* barra = v.parte(QStringLiteral("sidebar"));
        QVERIFY(textos(barra).contains(QStringLiteral("ana@quelo.com")));
        QVERIFY(boton(barra, QStringLiteral("Cerrar sesión")));

        QTest::mouseClick(boton(barra, QStringLiteral("Reverb")), Qt::LeftButton);
        QTest::keyClicks(v.vista->findChild<QLineEdit*>(QStringLiteral("buscar")),
                         QStringLiteral("cat"));
        s.setSelectedID(QStringLiteral("catedral"));

        PruebaStore::salir(s);
        QVERIFY(enAcceso(v));
        PruebaStore::entrar(s, QStringLiteral("ana@quelo.com"));
        QVERIFY(!enAcceso(v));
        QCOMPARE(v.vista->findChild<QLineEdit*>(QStringLiteral("buscar"))->text(),
                 QStringLiteral("cat"));
        QCOMPARE(
            v.parte(QStringLiteral("header"))->findChild<QLabel*>(QStringLiteral("titulo"))->text(),
            QStringLiteral("Reverb"));
        QVERIFY(textos(v.parte(QStringLiteral("detail"))).contains(QStringLiteral("Catedral")));
    }

    void los_botones_llevan_a_las_acciones_del_store() {
        // sign up on the form, install and remove from the detail pane, sign out, sign in
        const QList<Plugin> catalogo = catalogoBase();
        Ventana v(catalogo);
        crearBundle(unir(v.mundo.proyecto, catalogo[0].vst3));
        crearBundle(unir(v.mundo.proyecto, catalogo[0].au));
        QWidget* acceso = v.parte(QStringLiteral("acceso"));
        QTest::keyClicks(campo(v, QStringLiteral("correo")), QStringLiteral("ana@quelo.com"));
        QTest::keyClicks(campo(v, QStringLiteral("contrasena")), QStringLiteral("secreta123"));
        QTest::keyClicks(campo(v, QStringLiteral("repeticion")), QStringLiteral("secreta123"));
        QTest::mouseClick(boton(acceso, QStringLiteral("Crear cuenta")), Qt::LeftButton);
        QVERIFY(v.store().cuentaEmail());
        QVERIFY(!enAcceso(v));

        QWidget* detalle = v.parte(QStringLiteral("detail"));
        QTest::mouseClick(boton(detalle, QStringLiteral("Instalar")), Qt::LeftButton);
        QVERIFY(v.store().busy());
        QVERIFY(esperarFin(v.store()));
        QVERIFY(v.store().status().startsWith(QStringLiteral("Brisa instalado.")));
        QVERIFY(boton(detalle, QStringLiteral("Reinstalar")));
        QTest::mouseClick(boton(detalle, QStringLiteral("Quitar del sistema")), Qt::LeftButton);
        QVERIFY(esperarFin(v.store()));
        QVERIFY(boton(detalle, QStringLiteral("Instalar")));

        QTest::mouseClick(
            boton(v.parte(QStringLiteral("sidebar")), QStringLiteral("Cerrar sesión")),
            Qt::LeftButton);
        QVERIFY(enAcceso(v));
        QTest::mouseClick(boton(acceso, QStringLiteral("Ya tengo cuenta")), Qt::LeftButton);
        QTest::mouseClick(boton(acceso, QStringLiteral("Entrar")), Qt::LeftButton);
        QVERIFY(!enAcceso(v));
    }

    void cerrar_sesion_vuelve_al_acceso() {
        Ventana v(catalogoBase());
        PruebaStore::entrar(v.store(), QStringLiteral("ana@quelo.com"));
        QTest::mouseClick(
            boton(v.parte(QStringLiteral("sidebar")), QStringLiteral("Cerrar sesión")),
            Qt::LeftButton);
        QVERIFY(enAcceso(v));
        QCOMPARE(v.store().status(), QStringLiteral("Sesión cerrada."));
    }
};

QUELO_PRUEBA(TstAcceso)

#include "tst_acceso.moc"
