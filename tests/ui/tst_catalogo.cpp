// The side bar, the header and the plug-in list.
#include "ui/botones.h"
#include "ui/lista.h"
#include "ui/recortado.h"
#include "ventana.h"

#include <QLineEdit>
#include <QScrollBar>

namespace {
BotonCategoria* entrada(const Ventana& v, const QString& texto) {
    return qobject_cast<BotonCategoria*>(boton(v.parte(QStringLiteral("sidebar")), texto));
}

QString tituloCabecera(const Ventana& v) {
    return v.parte(QStringLiteral("header"))->findChild<QLabel*>(QStringLiteral("titulo"))->text();
}

ListaPlugins* lista(const Ventana& v) {
    return v.vista->findChild<ListaPlugins*>(QStringLiteral("list"));
}

QStringList filas(const Ventana& v) {
    QStringList r;
    const auto* m = lista(v)->modelo();
    for (int i = 0; i < m->rowCount(); ++i)
        r.append(m->index(i).data(ModeloPlugins::RolId).toString());
    return r;
}

// The list as painted: the colour just inside the leading edge of a row.
QRgb colorDeFila(const Ventana& v, int fila) {
    ListaPlugins* l = lista(v);
    const QRect r = l->visualRect(l->modelo()->index(fila));
    return l->viewport()->grab().toImage().pixel(3, r.center().y());
}

Plugin de(const QString& id, const QString& categoria) {
    return pluginDePrueba(id, categoria);
}
} // namespace

class TstCatalogo : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void toda_la_suite_primero_y_el_titulo_sigue_a_la_categoria() {
        Ventana v(catalogoBase());
        PruebaStore::entrar(v.store(), QStringLiteral("ana@quelo.com"));
        QWidget* barra = v.parte(QStringLiteral("sidebar"));
        QCOMPARE(barra->width(), 250);
        const auto todas = barra->findChildren<BotonCategoria*>();
        QCOMPARE(todas.size(), 3);
        QCOMPARE(todas[0]->text(), QStringLiteral("Toda la suite"));
        QCOMPARE(todas[1]->text(), QStringLiteral("Reverb"));
        QCOMPARE(todas[2]->text(), QStringLiteral("Delay"));
        QVERIFY(todas[0]->elegida() && !todas[1]->elegida());
        QCOMPARE(tituloCabecera(v), QStringLiteral("Suite completa"));
        QVERIFY(textos(barra).contains(QStringLiteral("3 plugins")));

        QTest::mouseClick(entrada(v, QStringLiteral("Delay")), Qt::LeftButton);
        QCOMPARE(v.store().category(), QStringLiteral("Delay"));
        QCOMPARE(tituloCabecera(v), QStringLiteral("Delay"));
        QVERIFY(entrada(v, QStringLiteral("Delay"))->elegida() &&
                !entrada(v, QStringLiteral("Toda la suite"))->elegida());
        QCOMPARE(filas(v), QStringList{QStringLiteral("eco")});

        QTest::mouseClick(entrada(v, QStringLiteral("Toda la suite")), Qt::LeftButton);
        QCOMPARE(v.store().category(), QStringLiteral("Todas"));
        QCOMPARE(tituloCabecera(v), QStringLiteral("Suite completa"));
        QCOMPARE(filas(v), (QStringList{QStringLiteral("brisa"), QStringLiteral("eco"),
                                        QStringLiteral("catedral")}));
    }

    void las_cuentas_comparan_categorias_exactamente() {
        const QString compuesta = QStringLiteral("Dinámica");
        const QString descompuesta = compuesta.normalized(QString::NormalizationForm_D);
        Ventana v({de(QStringLiteral("a"), QStringLiteral("Reverb")),
                   de(QStringLiteral("b"), QStringLiteral("reverb")),
                   de(QStringLiteral("c"), QStringLiteral("Reverb")),
                   de(QStringLiteral("d"), compuesta),
                   de(QStringLiteral("e"), QStringLiteral("Dinamica")),
                   de(QStringLiteral("f"), descompuesta)});
        PruebaStore::entrar(v.store(), QStringLiteral("ana@quelo.com"));
        QCOMPARE(entrada(v, QStringLiteral("Toda la suite"))->cuenta(), 6);
        QCOMPARE(entrada(v, QStringLiteral("Reverb"))->cuenta(), 2);
        QCOMPARE(entrada(v, QStringLiteral("reverb"))->cuenta(), 1);
        QCOMPARE(entrada(v, compuesta)->cuenta(), 2); // the same text in either form
        QCOMPARE(entrada(v, QStringLiteral("Dinamica"))->cuenta(), 1);
        QCOMPARE(v.parte(QStringLiteral("sidebar"))->findChildren<BotonCategoria*>().size(), 5);
    }

    void un_nombre_largo_ocupa_dos_lineas_como_mucho() {
        const QString largo = QStringLiteral("Procesadores de dinámica y de espacio para mezclas "
                                             "de orquesta y de coro en salas muy grandes");
        Ventana v(
            {de(QStringLiteral("a"), largo), de(QStringLiteral("b"), QStringLiteral("Corta"))});
        PruebaStore::entrar(v.store(), QStringLiteral("ana@quelo.com"));
        BotonCategoria* e = entrada(v, largo);
        QVERIFY(e);
        QCOMPARE(e->lineasTitulo(), 2);
        QCOMPARE(entrada(v, QStringLiteral("Corta"))->lineasTitulo(), 1);
        QVERIFY(e->height() > entrada(v, QStringLiteral("Corta"))->height());
        QCOMPARE(e->height(), e->heightForWidth(e->width()));
    }

    void una_busqueda_sin_resultados_vacia_la_lista_y_apaga_instalar_todos() {
        Ventana v(catalogoBase());
        PruebaStore::entrar(v.store(), QStringLiteral("ana@quelo.com"));
        QWidget* cabecera = v.parte(QStringLiteral("header"));
        auto* buscar = v.vista->findChild<QLineEdit*>(QStringLiteral("buscar"));
        QCOMPARE(buscar->placeholderText(), QStringLiteral("Buscar plugin"));
        QCOMPARE(buscar->width(), 220);
        QAbstractButton* todos = boton(cabecera, QStringLiteral("Instalar todos"));
        QAbstractButton* bajar = boton(cabecera, QStringLiteral("Bajar comprados"));
        QVERIFY(todos && bajar && todos->isEnabled());

        QTest::keyClicks(buscar, QStringLiteral("zzz"));
        QCOMPARE(v.store().query(), QStringLiteral("zzz"));
        QCOMPARE(lista(v)->modelo()->rowCount(), 0);
        QVERIFY(!todos->isEnabled());
        QVERIFY(bajar->isEnabled());

        QTest::keyClick(buscar, Qt::Key_Backspace);
        QTest::keyClick(buscar, Qt::Key_Backspace);
        QTest::keyClick(buscar, Qt::Key_Backspace);
        QCOMPARE(lista(v)->modelo()->rowCount(), 3);
        QVERIFY(todos->isEnabled());

        PruebaStore::ocupado(v.store(), true);
        QVERIFY(!todos->isEnabled() && !bajar->isEnabled());
        QVERIFY(buscar->isEnabled() && lista(v)->isEnabled());
        PruebaStore::ocupado(v.store(), false);
        QVERIFY(todos->isEnabled() && bajar->isEnabled());

        // a query set elsewhere shows in the field
        v.store().setQuery(QStringLiteral("Eco"));
        QCOMPARE(buscar->text(), QStringLiteral("Eco"));
    }

    void elegir_una_fila_la_resalta_y_el_resaltado_sobrevive_al_filtro() {
        Ventana v(catalogoBase());
        PruebaStore::entrar(v.store(), QStringLiteral("ana@quelo.com"));
        ListaPlugins* l = lista(v);
        QCOMPARE(l->width(), 280);
        const QRgb normal = colorDeFila(v, 1);
        QVERIFY(colorDeFila(v, 0) != normal); // the first plug-in starts selected

        QTest::mouseClick(l->viewport(), Qt::LeftButton, {},
                          l->visualRect(l->modelo()->index(2)).center());
        QCOMPARE(v.store().selectedID(), std::optional<QString>(QStringLiteral("catedral")));
        const QRgb resaltada = colorDeFila(v, 2);
        QVERIFY(resaltada != normal);
        QCOMPARE(colorDeFila(v, 0), normal);

        QTest::keyClicks(v.vista->findChild<QLineEdit*>(QStringLiteral("buscar")),
                         QStringLiteral("reverb"));
        QCOMPARE(filas(v), (QStringList{QStringLiteral("brisa"), QStringLiteral("catedral")}));
        QCOMPARE(colorDeFila(v, 1), resaltada);
        QCOMPARE(colorDeFila(v, 0), normal);

        // hidden by the filter it stays selected, with no row lit
        v.store().setQuery(QStringLiteral("Eco"));
        QCOMPARE(filas(v), QStringList{QStringLiteral("eco")});
        QCOMPARE(colorDeFila(v, 0), normal);
        QVERIFY(textos(v.parte(QStringLiteral("detail"))).contains(QStringLiteral("Catedral")));

        // with no chosen id the first listed plug-in is the selected one, whatever the filter
        v.store().setSelectedID(std::nullopt);
        QVERIFY(colorDeFila(v, 0) != normal);
        v.store().setQuery(QStringLiteral("reverb"));
        QCOMPARE(filas(v), (QStringList{QStringLiteral("brisa"), QStringLiteral("catedral")}));
        QVERIFY(colorDeFila(v, 0) != normal);
        QCOMPARE(colorDeFila(v, 1), normal);
    }

    void la_insignia_sigue_a_los_instalados() {
        Ventana v(catalogoBase());
        PruebaStore::entrar(v.store(), QStringLiteral("ana@quelo.com"));
        const auto* m = lista(v)->modelo();
        QVERIFY(!m->index(1).data(ModeloPlugins::RolInstalado).toBool());
        const QImage antes = lista(v)->viewport()->grab().toImage();
        PruebaStore::instalados(v.store(), {QStringLiteral("eco")});
        QVERIFY(m->index(1).data(ModeloPlugins::RolInstalado).toBool());
        QVERIFY(!m->index(0).data(ModeloPlugins::RolInstalado).toBool());
        QVERIFY(lista(v)->viewport()->grab().toImage() != antes);
    }

    void con_la_barra_el_fondo_y_las_filas_llegan_al_borde() {
        QList<Plugin> muchos;
        for (int i = 0; i < 200; ++i)
            muchos.append(de(QStringLiteral("p%1").arg(i), QStringLiteral("Reverb")));
        Ventana v(muchos);
        PruebaStore::entrar(v.store(), QStringLiteral("ana@quelo.com"));
        ListaPlugins* l = lista(v);
        QVERIFY(l->indicador()->isVisible());
        v.store().setSelectedID(QStringLiteral("p8")); // below the indicator's handle
        const QImage img = l->grab().toImage();
        const int borde = l->width() - 1;
        for (int fila : {8, 9}) { // lit and plain
            const int y =
                l->viewport()->mapTo(l, l->visualRect(l->modelo()->index(fila)).center()).y();
            QCOMPARE(img.pixel(borde, y), img.pixel(3, y));
        }
    }

    void los_textos_largos_se_recortan_sin_empujar_a_los_demas() {
        const QString largo = QStringLiteral("Una categoría con un nombre tan largo que no cabe de "
                                             "ninguna manera en la cabecera de la ventana");
        Ventana v({de(QStringLiteral("a"), largo)});
        const QString correo =
            QStringLiteral("una.direccion.muy.larga.de.verdad@un-dominio-larguisimo.example.com");
        PruebaStore::entrar(v.store(), correo);
        v.store().setCategory(largo);
        QWidget* cabecera = v.parte(QStringLiteral("header"));
        auto* titulo = cabecera->findChild<TextoRecortado*>(QStringLiteral("titulo"));
        auto* buscar = cabecera->findChild<QLineEdit*>(QStringLiteral("buscar"));
        QTRY_VERIFY(titulo->width() < titulo->sizeHint().width());
        QCOMPARE(titulo->text(), largo); // whole for screen readers
        QVERIFY(titulo->geometry().right() < buscar->geometry().left());
        QCOMPARE(boton(cabecera, QStringLiteral("Instalar todos"))->geometry().right(),
                 cabecera->width() - 1 - 18);

        auto* cuenta = v.parte(QStringLiteral("sidebar"))
                           ->findChild<TextoRecortado*>(QStringLiteral("cuenta"));
        QVERIFY(cuenta->width() < cuenta->sizeHint().width() && cuenta->width() <= 250 - 2 * 16);
        QCOMPARE(cuenta->text(), correo);
    }

    void diez_mil_entradas_se_listan_y_filtran() {
        QList<Plugin> muchos;
        for (int i = 0; i < 10000; ++i)
            muchos.append(de(QStringLiteral("p%1").arg(i), QStringLiteral("C%1").arg(i % 7)));
        Ventana v(muchos);
        PruebaStore::entrar(v.store(), QStringLiteral("ana@quelo.com"));
        QCOMPARE(lista(v)->modelo()->rowCount(), 10000);
        QTest::keyClicks(v.vista->findChild<QLineEdit*>(QStringLiteral("buscar")),
                         QStringLiteral("p999"));
        QCOMPARE(
            filas(v),
            (QStringList{QStringLiteral("p999"), QStringLiteral("p9990"), QStringLiteral("p9991"),
                         QStringLiteral("p9992"), QStringLiteral("p9993"), QStringLiteral("p9994"),
                         QStringLiteral("p9995"), QStringLiteral("p9996"), QStringLiteral("p9997"),
                         QStringLiteral("p9998"), QStringLiteral("p9999")}));
        QCOMPARE(entrada(v, QStringLiteral("C3"))->cuenta(), 1429);
    }
};

QUELO_PRUEBA(TstCatalogo)

#include "tst_catalogo.moc"
