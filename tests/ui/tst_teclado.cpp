// The window by keyboard alone: the Tab order, the focus frame, the list's keys and Space.
#include "core/texto.h"
#include "ui/botones.h"
#include "ui/foco.h"
#include "ui/lista.h"
#include "ui/tema.h"
#include "ventana.h"

#include <QApplication>
#include <QLineEdit>

namespace {
// How a test names the control that has the focus: a button by its text, anything else by
// its object name.
QString nombreDe(const QWidget* w) {
    if (!w) return QStringLiteral("(nada)");
    if (const auto* b = qobject_cast<const QAbstractButton*>(w)) return b->text();
    return w->objectName();
}

// From where the screen puts the keyboard, Tab after Tab.
QStringList recorrerConTab(int pasos) {
    QStringList vistos{nombreDe(QApplication::focusWidget())};
    for (int i = 0; i < pasos; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        vistos.append(nombreDe(QApplication::focusWidget()));
    }
    return vistos;
}

ListaPlugins* lista(const Ventana& v) {
    return v.vista->findChild<ListaPlugins*>(QStringLiteral("list"));
}

MarcoFoco* marco(const Ventana& v) {
    return v.vista->findChild<MarcoFoco*>();
}

// The button and the band around it the focus frame takes, as the window shows them.
QImage alrededor(QWidget& ventana, const QWidget* boton) {
    const int g = MarcoFoco::alcance;
    return ventana.grab(boton->geometry().adjusted(-g, -g, g, g)).toImage();
}
} // namespace

class TstTeclado : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void tab_sigue_el_orden_de_la_pantalla_data() {
        QTest::addColumn<bool>("dentro");
        QTest::addColumn<QStringList>("orden");
        QTest::newRow("acceso") << false << QStringList{QStringLiteral("correo"),
                                                        QStringLiteral("contrasena"),
                                                        QStringLiteral("repeticion"),
                                                        QStringLiteral("Crear cuenta"),
                                                        QStringLiteral("Ya tengo cuenta"),
                                                        QStringLiteral("correo")};
        QTest::newRow("ventana principal") << true
                                           << QStringList{QStringLiteral("list"),
                                                          QStringLiteral("Reinstalar"),
                                                          QStringLiteral("Quitar del sistema"),
                                                          QStringLiteral("Cerrar sesión"),
                                                          QStringLiteral("Toda la suite"),
                                                          QStringLiteral("Reverb"),
                                                          QStringLiteral("Delay"),
                                                          QStringLiteral("buscar"),
                                                          QStringLiteral("Bajar comprados"),
                                                          QStringLiteral("Instalar todos"),
                                                          QStringLiteral("list")};
    }
    void tab_sigue_el_orden_de_la_pantalla() {
        QFETCH(bool, dentro);
        QFETCH(QStringList, orden);
        Ventana v(catalogoBase());
        if (dentro) {
            PruebaStore::entrar(v.store(), QStringLiteral("ana@quelo.com"));
            PruebaStore::instalados(v.store(), {QStringLiteral("brisa")});
        }
        v.activar();
        QCOMPARE(recorrerConTab(int(orden.size()) - 1), orden);
    }

    void el_marco_de_foco_rodea_al_boton_solo_con_el_teclado() {
        QWidget ventana;
        ventana.resize(320, 140);
        auto* campo = new QLineEdit(&ventana);
        campo->setGeometry(20, 80, 200, 30);
        auto* boton =
            new GoldButton(QStringLiteral("Instalar"), GoldButton::Relleno::Lleno, &ventana);
        boton->move(20, 20);
        boton->resize(boton->sizeHint());
        auto* foco = new MarcoFoco(&ventana);
        ventana.show();
        ventana.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&ventana));

        campo->setFocus(Qt::MouseFocusReason);
        QCOMPARE(foco->rodeado(), campo); // a field shows it even when clicked
        const QImage sinFoco = alrededor(ventana, boton);
        const QImage aspecto = boton->grab().toImage();

        QTest::keyClick(campo, Qt::Key_Backtab);
        QVERIFY(boton->hasFocus());
        QCOMPARE(foco->rodeado(), boton);
        const QImage conFoco = alrededor(ventana, boton);
        QVERIFY(conFoco != sinFoco);
        // a gold ring apart from the button, the button itself as it was
        const QRgb oro = tema::gold().rgb();
        const int medio = conFoco.height() / 2;
        QCOMPARE(conFoco.pixel(0, medio), oro);
        QCOMPARE(conFoco.pixel(MarcoFoco::grosor - 1, medio), oro);
        QCOMPARE(conFoco.pixel(conFoco.width() / 2, 0), oro);
        QCOMPARE(conFoco.pixel(MarcoFoco::grosor, medio), sinFoco.pixel(MarcoFoco::grosor, medio));
        QCOMPARE(boton->size(), boton->sizeHint());
        QCOMPARE(boton->grab().toImage(), aspecto);

        QTest::mouseClick(boton, Qt::LeftButton);
        QVERIFY(boton->hasFocus());
        QVERIFY(!foco->rodeado());
        QCOMPARE(alrededor(ventana, boton), sinFoco);
    }

    void la_lista_cambia_la_eleccion_con_las_teclas_data() {
        QTest::addColumn<QList<int>>("teclas");
        QTest::addColumn<QString>("elegido");
        using L = QList<int>;
        QTest::newRow("abajo") << L{Qt::Key_Down} << "p1";
        QTest::newRow("abajo y arriba") << L{Qt::Key_Down, Qt::Key_Down, Qt::Key_Up} << "p1";
        QTest::newRow("arriba en la primera") << L{Qt::Key_Up} << "p0";
        QTest::newRow("fin") << L{Qt::Key_End} << "p199";
        QTest::newRow("fin e inicio") << L{Qt::Key_End, Qt::Key_Home} << "p0";
        QTest::newRow("página abajo") << L{Qt::Key_PageDown} << "";
        QTest::newRow("fin y página arriba") << L{Qt::Key_End, Qt::Key_PageUp} << "";
    }
    void la_lista_cambia_la_eleccion_con_las_teclas() {
        QFETCH(QList<int>, teclas);
        QFETCH(QString, elegido);
        QList<Plugin> muchos;
        for (int i = 0; i < 200; ++i)
            muchos.append(pluginDePrueba(QStringLiteral("p%1").arg(i)));
        Ventana v(muchos);
        PruebaStore::entrar(v.store(), QStringLiteral("ana@quelo.com"));
        v.activar();
        ListaPlugins* l = lista(v);
        QVERIFY(l->hasFocus()); // where the keyboard starts after signing in
        for (int tecla : teclas)
            QTest::keyClick(l, Qt::Key(tecla));
        QCOMPARE(marco(v)->rodeado(), l);

        const auto id = v.store().selectedID();
        QVERIFY(id);
        if (!elegido.isEmpty()) {
            QCOMPARE(*id, elegido);
        } else { // a page: neither the first nor the last row, several rows away
            const int fila = id->mid(1).toInt();
            QVERIFY2(fila > 3 && fila < 196, qPrintable(*id));
        }
        // the chosen row is lit and in view
        const QModelIndex indice = l->modelo()->elegido();
        QCOMPARE(indice.data(ModeloPlugins::RolId).toString(), *id);
        QVERIFY(l->viewport()->rect().contains(l->visualRect(indice)));
    }

    void espacio_pulsa_lo_enfocado_y_el_foco_sigue_en_su_panel() {
        const QList<Plugin> catalogo = catalogoBase();
        Ventana v(catalogo);
        crearBundle(unir(v.mundo.proyecto, catalogo[0].vst3));
        crearBundle(unir(v.mundo.proyecto, catalogo[0].au));
        PruebaStore::entrar(v.store(), QStringLiteral("ana@quelo.com"));
        v.activar();
        QAbstractButton* reverb =
            boton(v.parte(QStringLiteral("sidebar")), QStringLiteral("Reverb"));
        reverb->setFocus(Qt::TabFocusReason);
        QTest::keyClick(reverb, Qt::Key_Space);
        QCOMPARE(v.store().category(), QStringLiteral("Reverb"));

        QAbstractButton* instalar =
            boton(v.parte(QStringLiteral("detail")), QStringLiteral("Instalar"));
        instalar->setFocus(Qt::TabFocusReason);
        QTest::keyClick(instalar, Qt::Key_Space);
        QVERIFY(v.store().busy());
        QVERIFY(esperarFin(v.store()));
        QVERIFY(v.store().status().startsWith(QStringLiteral("Brisa instalado.")));
        // disabled and rebuilt meanwhile, the pane hands the focus and its frame to the new button
        QCOMPARE(nombreDe(QApplication::focusWidget()), QStringLiteral("Reinstalar"));
        QCOMPARE(marco(v)->rodeado(), QApplication::focusWidget());
    }
};

QUELO_PRUEBA(TstTeclado)

#include "tst_teclado.moc"
