#include "pantalla.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

QByteArray Pantalla::herramienta(const QString& programa, const QStringList& argumentos) const {
    QProcess p;
    QProcessEnvironment entorno = QProcessEnvironment::systemEnvironment();
    entorno.insert(QStringLiteral("DISPLAY"), nombre());
    p.setProcessEnvironment(entorno);
    p.start(programa, argumentos);
    p.waitForFinished(20000);
    return p.readAllStandardOutput();
}

Pantalla::Ventana Pantalla::esperarVentana(const QString& nombre, int milisegundos) const {
    // xwininfo lists every window with its name and absolute geometry; the application's own
    // window is the largest viewable one of that name (Qt also makes small helper windows).
    const QRegularExpression linea(
        QStringLiteral(
            "^\\s*(0x[0-9a-f]+) "
            "\"([^\"]*)\".*\\s(\\d+)x(\\d+)\\+-?\\d+\\+-?\\d+\\s+\\+(-?\\d+)\\+(-?\\d+)\\s*$"),
        QRegularExpression::MultilineOption);
    const QDeadlineTimer plazo(milisegundos);
    while (!plazo.hasExpired()) {
        const QString arbol = QString::fromUtf8(herramienta(
            QStringLiteral("xwininfo"), {QStringLiteral("-root"), QStringLiteral("-tree")}));
        Ventana mejor;
        for (auto it = linea.globalMatch(arbol); it.hasNext();) {
            const auto m = it.next();
            if (!m.captured(2).contains(nombre)) continue;
            const QRect g(m.captured(5).toInt(), m.captured(6).toInt(), m.captured(3).toInt(),
                          m.captured(4).toInt());
            if (g.width() * g.height() > mejor.geometria.width() * mejor.geometria.height())
                mejor = {m.captured(1), g};
        }
        if (mejor.geometria.width() > 100) return mejor;
        QThread::msleep(200);
    }
    return {};
}

QImage Pantalla::captura() const {
    QTemporaryDir dir;
    const QString ruta = dir.filePath(QStringLiteral("pantalla.png"));
    herramienta(QStringLiteral("import"),
                {QStringLiteral("-window"), QStringLiteral("root"), ruta});
    return QImage(ruta);
}

bool Pantalla::esperarCaptura(const std::function<bool(const QImage&)>& prueba,
                              int milisegundos) const {
    const QDeadlineTimer plazo(milisegundos);
    do {
        if (prueba(captura())) return true;
        QThread::msleep(100);
    } while (!plazo.hasExpired());
    return false;
}

int pixelesDorados(const QImage& imagen, const QRect& zona) {
    const QColor oro = QColor::fromRgbF(0.831f, 0.706f, 0.514f);
    int n = 0;
    const QRect dentro = zona.intersected(imagen.rect());
    for (int y = dentro.top(); y <= dentro.bottom(); ++y)
        for (int x = dentro.left(); x <= dentro.right(); ++x) {
            const QColor c = imagen.pixelColor(x, y);
            if (qAbs(c.red() - oro.red()) < 24 && qAbs(c.green() - oro.green()) < 24 &&
                qAbs(c.blue() - oro.blue()) < 24)
                ++n;
        }
    return n;
}
