// The detail pane, the status bar and the root view.
#include "servidor.h"
#include "ui/botones.h"
#include "ui/captura.h"
#include "ventana.h"

#include <QProgressBar>

namespace {
QWidget* detalle(const Ventana& v) {
    return v.parte(QStringLiteral("detail"));
}

Captura* captura(const Ventana& v) {
    const auto todas = detalle(v)->findChildren<Captura*>(QStringLiteral("screenshot"));
    return todas.size() == 1 ? todas.first() : nullptr;
}

QProgressBar* barra(const Ventana& v) {
    return v.parte(QStringLiteral("footer"))->findChild<QProgressBar*>();
}
} // namespace

class TstDetalle : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void sin_seleccion_solo_pide_elegir() {
        Ventana v({});
        PruebaStore::entrar(v.store(), QStringLiteral("ana@quelo.com"));
        QCOMPARE(textos(detalle(v)), QStringList{"Elige un plugin."});
        QVERIFY(detalle(v)->findChildren<GoldButton*>().isEmpty() ||
                !detalle(v)->findChildren<GoldButton*>().first()->isVisible());
        QLabel* elige = detalle(v)->findChild<QLabel*>();
        const QPoint centro = elige->mapTo(detalle(v), elige->rect().center());
        QVERIFY(qAbs(centro.x() - detalle(v)->width() / 2) <= 2);
        QVERIFY(qAbs(centro.y() - detalle(v)->height() / 2) <= 2);
    }

    void un_plugin_sin_instalar_se_muestra_entero_con_instalar() {
        const QList<Plugin> catalogo = catalogoBase();
        Ventana v(catalogo);
        v.captura(catalogo[0], {400, 100});
        PruebaStore::entrar(v.store(), QStringLiteral("ana@quelo.com"));
        v.store().setSelectedID(QStringLiteral("eco")); // redraw with the picture now on disk
        v.store().setSelectedID(QStringLiteral("brisa"));
        QCOMPARE(textos(detalle(v)),
                 (QStringList{"Brisa", "REVERB DE PLACA", "Da aire a las voces.", "REQUISITOS",
                              "·  macOS 12", "·  Apple Silicon o Intel", "·  Formatos: AU y VST3",
                              "·  Carpeta de fabricante en Ableton: Quelo DSP"}));
        auto* instalar = qobject_cast<GoldButton*>(boton(detalle(v), "Instalar"));
        QVERIFY(instalar && instalar->filled() && instalar->isEnabled());
        QVERIFY(!boton(detalle(v), "Reinstalar"));
        QVERIFY(!boton(detalle(v), "Quitar del sistema"));
        // the picture across the pane's content width, at its own aspect ratio
        Captura* c = captura(v);
        QVERIFY(c && !c->esMarcador());
        QCOMPARE(c->height(), qRound(c->width() / 4.0));
        QCOMPARE(c->width(), c->parentWidget()->width() - 2 * 28); // the padded content
    }

    void un_plugin_instalado_ofrece_reinstalar_y_quitar() {
        Ventana v(catalogoBase());
        PruebaStore::entrar(v.store(), QStringLiteral("ana@quelo.com"));
        PruebaStore::instalados(v.store(), {QStringLiteral("brisa")});
        QVERIFY(!boton(detalle(v), "Instalar"));
        auto* reinstalar = qobject_cast<GoldButton*>(boton(detalle(v), "Reinstalar"));
        auto* quitar = qobject_cast<GoldButton*>(boton(detalle(v), "Quitar del sistema"));
        QVERIFY(reinstalar && reinstalar->filled());
        QVERIFY(quitar && !quitar->filled());

        PruebaStore::ocupado(v.store(), true);
        QVERIFY(!reinstalar->isEnabled() && !quitar->isEnabled());
        PruebaStore::ocupado(v.store(), false);
        QVERIFY(reinstalar->isEnabled() && quitar->isEnabled());

        PruebaStore::instalados(v.store(), {});
        QVERIFY(boton(detalle(v), "Instalar"));
        QVERIFY(!boton(detalle(v), "Quitar del sistema"));
    }

    void sin_imagen_se_ve_el_marcador_con_el_nombre_data() {
        QTest::addColumn<bool>("proyecto");
        QTest::addColumn<QString>("ruta");
        QTest::addColumn<bool>("escribir");
        QTest::newRow("ruta vacía") << true << QString() << false;
        QTest::newRow("archivo ausente") << true << QStringLiteral("Capturas/x.png") << false;
        QTest::newRow("sin carpeta de proyecto")
            << false << QStringLiteral("Capturas/x.png") << true;
    }
    void sin_imagen_se_ve_el_marcador_con_el_nombre() {
        QFETCH(bool, proyecto);
        QFETCH(QString, ruta);
        QFETCH(bool, escribir);
        QList<Plugin> catalogo = catalogoBase();
        catalogo[0].screenshot = ruta;
        Ventana v(catalogo, proyecto);
        if (escribir) v.captura(catalogo[0]);
        PruebaStore::entrar(v.store(), QStringLiteral("ana@quelo.com"));
        v.store().setSelectedID(QStringLiteral("eco"));
        v.store().setSelectedID(QStringLiteral("brisa"));
        Captura* c = captura(v);
        QVERIFY(c && c->esMarcador());
        QCOMPARE(c->height(), 220);
        // the name is painted in gold on the dark box
        const QImage img = c->grab().toImage();
        int doradas = 0;
        for (int x = 0; x < img.width(); ++x)
            doradas += qRed(img.pixel(x, img.height() / 2)) > 150 ? 1 : 0;
        QVERIFY(doradas > 0);
    }

    void sin_requisitos_la_cabecera_va_seguida_de_los_formatos() {
        QList<Plugin> catalogo = catalogoBase();
        catalogo[0].requirements.clear();
        Ventana v(catalogo);
        PruebaStore::entrar(v.store(), QStringLiteral("ana@quelo.com"));
        const QStringList t = textos(detalle(v));
        const auto i = t.indexOf(QStringLiteral("REQUISITOS"));
        QVERIFY(i >= 0);
        QCOMPARE(t.value(i + 1), QStringLiteral("·  Formatos: AU y VST3"));
    }

    void un_proposito_largo_crece_y_se_desplaza() {
        QList<Plugin> catalogo = catalogoBase();
        catalogo[0].purpose =
            QStringLiteral("Una frase larga sobre lo que hace el plugin. ").repeated(60);
        Ventana v(catalogo);
        PruebaStore::entrar(v.store(), QStringLiteral("ana@quelo.com"));
        QLabel* proposito = nullptr;
        for (QLabel* l : detalle(v)->findChildren<QLabel*>())
            if (l->text() == catalogo[0].purpose) proposito = l;
        QVERIFY(proposito);
        QTRY_VERIFY(proposito->height() >= proposito->heightForWidth(proposito->width()));
        QVERIFY(proposito->height() > 10 * proposito->fontMetrics().height());
        QVERIFY(boton(detalle(v), "Instalar")); // still there, below it
    }

    void el_pie_muestra_el_estado_y_la_barra_solo_mientras_trabaja() {
        Ventana v(catalogoBase());
        Store& s = v.store();
        PruebaStore::entrar(s, QStringLiteral("ana@quelo.com"));
        QWidget* pie = v.parte(QStringLiteral("footer"));
        QLabel* estado = pie->findChild<QLabel*>(QStringLiteral("estado"));
        QVERIFY(pie->isVisible());
        QCOMPARE(estado->text(), s.status());
        QVERIFY(!barra(v)->isVisible());

        PruebaStore::ocupado(s, true);
        s.setStatus(QStringLiteral("Copiando Brisa.vst3…"));
        QCOMPARE(estado->text(), QStringLiteral("Copiando Brisa.vst3…"));
        QVERIFY(barra(v)->isVisible());
        QCOMPARE(barra(v)->maximum(), 0); // no known size: running
        PruebaStore::progreso(s, 0.25);
        QVERIFY(barra(v)->maximum() > 0);
        QCOMPARE(double(barra(v)->value()) / barra(v)->maximum(), 0.25);
        PruebaStore::progreso(s, std::nullopt);
        QCOMPARE(barra(v)->maximum(), 0);
        PruebaStore::ocupado(s, false);
        QVERIFY(!barra(v)->isVisible());

        // a long message wraps inside the column, from its leading edge
        s.setStatus(
            QStringLiteral("No se pudo copiar el bundle a la carpeta de destino. ").repeated(8));
        QTRY_VERIFY(estado->height() > 2 * estado->fontMetrics().height());
        QVERIFY(estado->alignment() & Qt::AlignLeft);
        QVERIFY(pie->width() <= v.vista->width() - 250);
    }

    void el_pie_ofrece_cancelar_y_cuenta_el_avance_de_una_bajada() {
        // a store whose package stops half-way, so the run waits until it is cancelled
        ServidorPrueba servidor;
        servidor.ruta(
            "GET", "/v1/salud",
            {.cuerpo = "{\"descarga\": \"" + servidor.base().toString().toUtf8() + "\"}"});
        servidor.ruta("GET", "/v1/mios",
                      {.cuerpo = R"({"ok": true, "plugins": [{"id": "brisa", "size": 500000},)"
                                 R"( {"id": "eco"}]})"});
        servidor.ruta("GET", "/v1/bajar/brisa",
                      {.cuerpo = QByteArray(500000, 'z'), .colgar = true});
        Ventana v(catalogoBase(), false, true, [&servidor](Mundo& m) {
            m.entorno.servicio = servidor.base().toString();
            m.entorno.autoridades = ServidorPrueba::autoridad();
            escribir(m.entorno.home + "/Library/Application Support/Quelo DSP/"
                                      "instalador-sesion.json",
                     R"({"email": "ana@ejemplo.com", "token": "tok"})");
        });
        Store& s = v.store();
        QWidget* pie = v.parte(QStringLiteral("footer"));
        QLabel* avance = pie->findChild<QLabel*>(QStringLiteral("avance"));
        QVERIFY(s.tokenCasa());
        QVERIFY(!boton(pie, "Cancelar"));
        QVERIFY(!avance->isVisible());
        const int alto = pie->height();

        boton(v.parte(QStringLiteral("header")), "Bajar comprados")->click();
        auto* cancelar = qobject_cast<GoldButton*>(boton(pie, "Cancelar"));
        QVERIFY(cancelar && !cancelar->filled());
        QTRY_COMPARE_WITH_TIMEOUT(avance->text(), QStringLiteral("1 de 2 · 0,2 MB de 0,5 MB"),
                                  20000);
        QVERIFY(avance->isVisible());
        QCOMPARE(s.status(), QStringLiteral("Bajando plugin…"));
        // beside the bar, right of it, and nothing moved when they appeared
        QVERIFY(avance->geometry().left() > barra(v)->geometry().right());
        QVERIFY(qAbs(avance->geometry().center().y() - barra(v)->geometry().center().y()) <= 1);
        QCOMPARE(pie->height(), alto);

        cancelar->click();
        QTRY_VERIFY_WITH_TIMEOUT(!s.busy(), 20000);
        QCOMPARE(s.status(),
                 QStringLiteral("Cancelado. Lo que ya estaba instalado sigue en su sitio."));
        QVERIFY(!boton(pie, "Cancelar"));
        QVERIFY(!avance->isVisible() && !barra(v)->isVisible());
        QCOMPARE(pie->height(), alto);
        QTRY_VERIFY(servidor.peticiones().value(2).abandonada);
    }

    void la_vista_raiz_carga_una_vez_y_no_baja_del_minimo() {
        Ventana v(catalogoBase());
        QCOMPARE(v.vista->minimumSize(), QSize(1180, 760));
        QCOMPARE(v.store().plugins().size(), 3); // loaded when first shown
        Store* antes = &v.store();
        v.store().setSelectedID(QStringLiteral("eco"));
        v.vista->hide();
        v.vista->show();
        QCOMPARE(&v.store(), antes);
        QCOMPARE(v.store().selectedID(), std::optional<QString>(QStringLiteral("eco")));
    }
};

int probarDetalle(int argc, char** argv) {
    TstDetalle t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_detalle.moc"
