// quelo-capturas CARPETA: renders the access screen, the catalog window and the detail of an
// installed plug-in to PNG files, on a staged project folder built from the shipped catalog.
#include "archivos.h"
#include "core/store.h"
#include "core/texto.h"
#include "install/destinos.h"
#include "prueba_store.h"
#include "ui/contentview.h"
#include "ui/tema.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <QtMath>

#include <cmath>

namespace {

bool guardar(const QString& ruta, const QByteArray& contenido) {
    QDir().mkpath(QFileInfo(ruta).absolutePath());
    QSaveFile f(ruta);
    return f.open(QIODevice::WriteOnly) && f.write(contenido) == contenido.size() && f.commit();
}

bool bundle(const QString& ruta) {
    return guardar(ruta + QStringLiteral("/Contents/Info.plist"), "<plist version=\"1.0\"/>\n") &&
           guardar(ruta + QStringLiteral("/Contents/MacOS/demo"), "#!/bin/sh\nexit 0\n");
}

// A plug-in window as its screenshot would show it: a dark panel with knobs and a meter.
QImage pantallaDe(const Plugin& p, int semilla) {
    QImage img(1200, 640, QImage::Format_RGB32);
    img.fill(QColor(26, 24, 22));
    QPainter g(&img);
    g.setRenderHint(QPainter::Antialiasing);
    const QColor oro = tema::gold();
    QLinearGradient luz(0, 0, 0, img.height());
    luz.setColorAt(0, QColor(44, 40, 35));
    luz.setColorAt(1, QColor(18, 17, 15));
    g.fillRect(img.rect().adjusted(16, 16, -16, -16), luz);
    g.setPen(QPen(tema::line(), 2));
    g.drawRect(img.rect().adjusted(16, 16, -17, -17));
    g.setFont(tema::didot(54));
    g.setPen(oro);
    g.drawText(QRect(48, 36, 700, 80), Qt::AlignLeft | Qt::AlignVCenter, p.name);
    g.setFont(tema::sistema(18, QFont::DemiBold, 3));
    g.setPen(tema::con(tema::ink(), 0.6));
    g.drawText(QRect(52, 108, 900, 30), Qt::AlignLeft | Qt::AlignVCenter, p.subtitle.toUpper());
    const QStringList nombres{QStringLiteral("ENTRADA"), QStringLiteral("TONO"),
                              QStringLiteral("MEZCLA"), QStringLiteral("SALIDA")};
    for (int i = 0; i < 4; ++i) {
        const QPointF c(170 + i * 220, 360);
        g.setPen(Qt::NoPen);
        g.setBrush(QColor(12, 11, 10));
        g.drawEllipse(c, 78, 78);
        g.setPen(QPen(tema::line(), 6, Qt::SolidLine, Qt::RoundCap));
        g.setBrush(Qt::NoBrush);
        const QRectF arco(c.x() - 92, c.y() - 92, 184, 184);
        g.drawArc(arco, -45 * 16, 270 * 16);
        const qreal valor = 0.25 + 0.6 * std::fmod((semilla + 1) * 0.37 * (i + 1), 1.0);
        g.setPen(QPen(oro, 6, Qt::SolidLine, Qt::RoundCap));
        g.drawArc(arco, 225 * 16, -int(270 * 16 * valor));
        const qreal angulo = qDegreesToRadians(225 - 270 * valor);
        g.drawLine(c, c + QPointF(58 * std::cos(angulo), -58 * std::sin(angulo)));
        g.setFont(tema::sistema(14, QFont::Bold, 2));
        g.setPen(tema::con(tema::ink(), 0.7));
        g.drawText(QRectF(c.x() - 100, c.y() + 104, 200, 24), Qt::AlignCenter, nombres[i]);
    }
    // the output meter
    for (int k = 0; k < 24; ++k) {
        const QColor color = k < 16 ? oro : (k < 21 ? QColor(222, 160, 80) : QColor(210, 90, 60));
        g.fillRect(QRectF(1040, 520 - k * 15, 44, 11),
                   k < 10 + (semilla * 5) % 12 ? color : tema::con(color, 0.15));
    }
    return img;
}

void preparar(const QString& proyecto, const QString& home, const QList<Plugin>& plugins,
              const QStringList& instalados) {
    QDir().mkpath(proyecto + QStringLiteral("/Juce Pugins creacion"));
    int semilla = 0;
    for (const Plugin& p : plugins) {
        ++semilla;
        if (!p.screenshot.isEmpty()) {
            const QString ruta = unir(proyecto, p.screenshot);
            QDir().mkpath(QFileInfo(ruta).absolutePath());
            pantallaDe(p, semilla).save(ruta, "PNG");
        }
        if (!instalados.contains(p.id)) continue;
        if (const auto d = destinoVst3(home, p)) bundle(*d);
        if (const auto d = destinoAu(home, p)) bundle(*d);
    }
}

void esperar() {
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    tema::instalarFuentes();
    QTextStream err(stderr);
    if (app.arguments().size() != 2) {
        err << "uso: quelo-capturas CARPETA\n";
        return 2;
    }
    const QString salida = app.arguments()[1];
    QDir().mkpath(salida);

    QTemporaryDir dir;
    const Entorno entorno = entornoDePrueba(dir.path());
    const QString proyecto = dir.filePath(QStringLiteral("Quelo DSP"));
    QDir().mkpath(entorno.recursos);
    for (const QString& nombre : {QStringLiteral("catalogo.json"), QStringLiteral("Logo.png")})
        QFile::copy(QStringLiteral(QUELO_RECURSOS "/") + nombre, unir(entorno.recursos, nombre));

    QFile archivo(unir(entorno.recursos, QStringLiteral("catalogo.json")));
    archivo.open(QIODevice::ReadOnly);
    const auto catalogo = decodificarCatalogo(archivo.readAll());
    if (!catalogo) {
        err << "No se pudo leer el catálogo.\n";
        return 1;
    }
    preparar(proyecto, entorno.home, catalogo->plugins,
             {QStringLiteral("brisa"), QStringLiteral("catedral"), QStringLiteral("prensa"),
              QStringLiteral("lupa")});

    ContentView ventana(entorno);
    ventana.resize(1280, 800);
    ventana.show();
    Store& store = ventana.store();
    // The catalog comes in beside the window's thread after the first frame.
    QElapsedTimer reloj;
    reloj.start();
    // So does the emblem, decoded beside it.
    auto sinLogo = [&ventana] {
        for (const QLabel* logo : ventana.findChildren<QLabel*>(QStringLiteral("logo")))
            if (logo->pixmap().isNull()) return true;
        return false;
    };
    while ((store.busy() || sinLogo()) && reloj.elapsed() < 30000)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    esperar();
    bool ok = ventana.grab().save(salida + QStringLiteral("/acceso.png"));

    // signed in without an account book: the pictures show the window, not the sign-in
    PruebaStore::entrar(store, QStringLiteral("ana@quelodsp.com"));
    store.setSelectedID(QStringLiteral("prensa"));
    store.setStatus(
        QStringLiteral("Prensa instalado. En Ableton: Preferencias > Plug-ins > Rescan. "
                       "Carpeta: Quelo DSP"));
    esperar();
    ok = ventana.grab().save(salida + QStringLiteral("/ventana.png")) && ok;

    ventana.resize(1280, 920); // the whole pane, down to its buttons
    store.setCategory(QStringLiteral("Reverb"));
    store.setSelectedID(QStringLiteral("catedral"));
    esperar();
    QWidget* detalle = ventana.findChild<QWidget*>(QStringLiteral("detail"));
    ok = detalle && detalle->grab().save(salida + QStringLiteral("/detalle.png")) && ok;
    if (!ok) {
        err << "No se pudieron guardar las capturas en " << salida << ".\n";
        return 1;
    }
    return 0;
}
