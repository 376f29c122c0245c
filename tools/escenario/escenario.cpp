#include "escenario.h"

#include "core/texto.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QSaveFile>

namespace {

bool guardar(const QString& ruta, const QByteArray& contenido) {
    if (!QDir().mkpath(QFileInfo(ruta).absolutePath())) return false;
    QSaveFile archivo(ruta);
    if (!archivo.open(QIODevice::WriteOnly)) return false;
    archivo.write(contenido);
    return archivo.commit();
}

QString sinExtension(const QString& nombre) {
    return QFileInfo(nombre).completeBaseName();
}

} // namespace

bool crearBundleDemo(const QString& ruta, const Plugin& plugin) {
    const QString nombre = sinExtension(ultimoComponente(ruta));
    const QString plist =
        QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                       "<plist version=\"1.0\">\n<dict>\n"
                       "  <key>CFBundleIdentifier</key><string>com.quelodsp.%1</string>\n"
                       "  <key>CFBundleName</key><string>%2</string>\n"
                       "  <key>CFBundleExecutable</key><string>%3</string>\n"
                       "  <key>CFBundleShortVersionString</key><string>1.0.0</string>\n"
                       "</dict>\n</plist>\n")
            .arg(plugin.id, plugin.name.toHtmlEscaped(), nombre);
    const QString ejecutable = ruta + QStringLiteral("/Contents/MacOS/") + nombre;
    if (!guardar(ruta + QStringLiteral("/Contents/Info.plist"), plist.toUtf8()) ||
        !guardar(ejecutable, "#!/bin/sh\n# " + plugin.name.toUtf8() + " demo build\nexit 0\n") ||
        !guardar(ruta + QStringLiteral("/Contents/Resources/") + nombre + QStringLiteral(".json"),
                 "{\"presets\": []}\n") ||
        !guardar(ruta + QStringLiteral("/Contents/PkgInfo"), "BNDL????"))
        return false;
    return QFile::setPermissions(ejecutable, QFile::permissions(ejecutable) |
                                                 QFileDevice::ExeOwner | QFileDevice::ExeGroup |
                                                 QFileDevice::ExeOther);
}

bool crearCaptura(const QString& ruta, const Plugin& plugin) {
    QImage imagen(960, 540, QImage::Format_RGB32);
    imagen.fill(QColor::fromRgbF(0.07f, 0.066f, 0.06f));
    QPainter p(&imagen);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor oro = QColor::fromRgbF(0.831f, 0.706f, 0.514f);
    p.setPen(QPen(oro, 2));
    p.drawRect(imagen.rect().adjusted(12, 12, -13, -13));
    // a row of knobs, as a plug-in's panel would show
    for (int i = 0; i < 4; ++i) {
        const QPointF centro(180 + i * 200, 330);
        p.setPen(QPen(oro.darker(140), 3));
        p.drawEllipse(centro, 52, 52);
        p.setPen(QPen(oro, 4));
        p.drawLine(centro, centro + QPointF(30 * std::cos(0.8 + i), -30 * std::sin(0.8 + i)));
    }
    QFont titulo(QStringLiteral("Didot"), 44);
    p.setFont(titulo);
    p.setPen(oro);
    p.drawText(QRect(0, 60, imagen.width(), 90), Qt::AlignCenter, plugin.name);
    QFont sub(QStringLiteral("DejaVu Sans"), 14);
    p.setFont(sub);
    p.setPen(QColor::fromRgbF(0.93f, 0.9f, 0.84f));
    p.drawText(QRect(0, 140, imagen.width(), 40), Qt::AlignCenter, plugin.subtitle.toUpper());
    p.end();
    if (!QDir().mkpath(QFileInfo(ruta).absolutePath())) return false;
    return imagen.save(ruta, "PNG");
}

bool prepararProyecto(const Catalog& catalogo, const QString& carpeta) {
    if (!QDir().mkpath(carpeta + QStringLiteral("/Juce Pugins creacion"))) return false;
    for (const Plugin& p : catalogo.plugins) {
        for (const QString& ruta : {p.vst3, p.au})
            if (!ruta.isEmpty() && !crearBundleDemo(unir(carpeta, ruta), p)) return false;
        if (!p.screenshot.isEmpty() && !crearCaptura(unir(carpeta, p.screenshot), p)) return false;
    }
    return true;
}

bool prepararPaquetes(const Catalog& catalogo, const QString& carpeta) {
    for (const Plugin& p : catalogo.plugins) {
        const QString paquete = unir(carpeta, p.id.toLower());
        for (const QString& ruta : {p.vst3, p.au})
            if (!ruta.isEmpty() && !crearBundleDemo(unir(paquete, ultimoComponente(ruta)), p))
                return false;
    }
    return true;
}
