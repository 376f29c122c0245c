// GoldButton and the display face.
#include "ejecutable.h"
#include "ui/botones.h"
#include "ui/tema.h"

#include <QFontInfo>
#include <QSignalSpy>
#include <QtTest>

namespace {
// The button alone on a clear ground, so that its own opacity shows in the alpha channel.
QImage pintado(QWidget& w) {
    QImage img(w.size(), QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    w.render(&img, {}, {}, QWidget::DrawChildren);
    return img;
}
} // namespace

class TstBotones : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void relleno_y_contorno_miden_lo_mismo_y_llevan_su_marco() {
        QWidget marco; // a window always paints its ground; a child does not
        GoldButton lleno(QStringLiteral("Instalar"), GoldButton::Relleno::Lleno, &marco);
        GoldButton vacio(QStringLiteral("Instalar"), GoldButton::Relleno::Vacio, &marco);
        QCOMPARE(lleno.sizeHint(), vacio.sizeHint());
        const QFontMetrics fm(tema::sistema(13, QFont::DemiBold));
        QCOMPARE(lleno.sizeHint(),
                 QSize(fm.horizontalAdvance(QStringLiteral("Instalar")) + 28, fm.height() + 16));
        lleno.resize(lleno.sizeHint());
        vacio.resize(vacio.sizeHint());

        const QImage a = pintado(lleno), b = pintado(vacio);
        const QRgb oro = tema::gold().rgb();
        // the frame is on the outermost pixels, inside the button's bounds
        for (const QImage& img : {a, b}) {
            QCOMPARE(img.pixel(0, 0), oro);
            QCOMPARE(img.pixel(img.width() - 1, img.height() - 1), oro);
        }
        // inside the frame, beside the label: gold face or clear ground
        QCOMPARE(a.pixel(3, 3), oro);
        QCOMPARE(qAlpha(b.pixel(3, 3)), 0);
    }

    void pulsado_se_ve_a_siete_decimos_e_inactivo_igual_que_activo() {
        QWidget marco;
        GoldButton boton(QStringLiteral("Bajar comprados"), GoldButton::Relleno::Lleno, &marco);
        boton.resize(boton.sizeHint());
        const QImage normal = pintado(boton);
        boton.setDown(true);
        QVERIFY(qAbs(qAlpha(pintado(boton).pixel(3, 3)) - 0.7 * 255) <= 1);
        boton.setDown(false);
        boton.setEnabled(false);
        QCOMPARE(pintado(boton), normal);

        GoldButton contorno(QStringLiteral("Quitar del sistema"), GoldButton::Relleno::Vacio,
                            &marco);
        contorno.resize(contorno.sizeHint());
        const QImage activo = pintado(contorno);
        contorno.setEnabled(false);
        QCOMPARE(pintado(contorno), activo);
    }

    void soltar_fuera_no_dispara_y_devuelve_la_opacidad() {
        QWidget marco;
        marco.resize(300, 100);
        auto* boton =
            new GoldButton(QStringLiteral("Instalar"), GoldButton::Relleno::Lleno, &marco);
        boton->move(10, 10);
        boton->resize(boton->sizeHint());
        marco.show();
        QVERIFY(QTest::qWaitForWindowExposed(&marco));
        QSignalSpy clics(boton, &QAbstractButton::clicked);

        QTest::mousePress(boton, Qt::LeftButton, {}, boton->rect().center());
        QVERIFY(boton->isDown());
        QTest::mouseMove(boton, QPoint(boton->width() + 40, boton->height() + 40));
        QVERIFY(!boton->isDown());
        QTest::mouseRelease(boton, Qt::LeftButton, {},
                            QPoint(boton->width() + 40, boton->height() + 40));
        QCOMPARE(clics.count(), 0);
        QCOMPARE(qAlpha(pintado(*boton).pixel(3, 3)), 255);

        QTest::mouseClick(boton, Qt::LeftButton, {}, boton->rect().center());
        QCOMPARE(clics.count(), 1);
    }

    void didot_llega_a_una_cara_con_serifas() {
        // "Didot" itself or its substitute, never the sans fallback
        const QString familia = QFontInfo(tema::didot(28)).family();
        QVERIFY2(familia.contains(QStringLiteral("Didot")), qPrintable(familia));
    }
};

QUELO_PRUEBA(TstBotones)

#include "tst_botones.moc"
