#include "archivos.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

Entorno entornoDePrueba(const QString& raiz) {
    Entorno entorno;
    entorno.bundle = raiz + QStringLiteral("/Quelo DSP/Quelo Instalador.app");
    entorno.recursos = entorno.bundle + QStringLiteral("/Contents/Resources");
    entorno.home = raiz + QStringLiteral("/home");
    entorno.temporal = raiz + QStringLiteral("/tmp");
    entorno.servicio = QStringLiteral("https://127.0.0.1:1");
    // This system's flavour of the tools on every system; herramientasDeApple gives the other.
    entorno.copiador = {QStringLiteral("/bin/cp"), QStringLiteral("-a")};
    return entorno;
}

Mundo::Mundo(bool conProyecto) {
    QVERIFY(dir.isValid());
    proyecto = dir.filePath(QStringLiteral("Quelo DSP"));
    entorno = entornoDePrueba(dir.path());
    QDir().mkpath(entorno.recursos);
    QDir().mkpath(entorno.home);
    QDir().mkpath(entorno.temporal);
    if (conProyecto) QDir().mkpath(proyecto + QStringLiteral("/Juce Pugins creacion"));
}

void Mundo::catalogo(const QList<Plugin>& plugins) const {
    escribir(entorno.recursos + QStringLiteral("/catalogo.json"), catalogoJson(plugins));
}

void escribir(const QString& ruta, const QByteArray& contenido) {
    QDir().mkpath(QFileInfo(ruta).absolutePath());
    QFile f(ruta);
    QVERIFY2(f.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(ruta));
    f.write(contenido);
}

QByteArray leer(const QString& ruta) {
    QFile f(ruta);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

QString guion(const QString& ruta, const QByteArray& cuerpo) {
    escribir(ruta, "#!/bin/sh\n" + cuerpo + "\n");
    QFile::setPermissions(ruta, QFile::permissions(ruta) | QFileDevice::ExeOwner);
    return ruta;
}

void crearBundle(const QString& ruta) {
    escribir(ruta + QStringLiteral("/Contents/Info.plist"), "<plist/>");
    const QString exe = ruta + QStringLiteral("/Contents/MacOS/binario");
    escribir(exe, "#!/bin/sh\nexit 0\n");
    QFile::setPermissions(exe, QFile::permissions(exe) | QFileDevice::ExeOwner |
                                   QFileDevice::ExeGroup | QFileDevice::ExeOther);
    escribir(ruta + QStringLiteral("/Contents/Resources/datos.bin"), QByteArray(4096, 'q'));
    QFile::link(QStringLiteral("Resources/datos.bin"), ruta + QStringLiteral("/Contents/enlace"));
}

Plugin pluginDePrueba(const QString& id, const QString& category) {
    Plugin p;
    p.id = id;
    p.name = QStringLiteral("Nombre ") + id;
    p.subtitle = QStringLiteral("Subtítulo ") + id;
    p.purpose = QStringLiteral("Para qué sirve ") + id;
    p.category = category;
    p.blurb = QStringLiteral("Texto largo ") + id;
    p.manufacturer = QStringLiteral("Quelo DSP");
    p.screenshot = QStringLiteral("Capturas/") + id + QStringLiteral(".png");
    p.vst3 = QStringLiteral("Juce Pugins creacion/") + id + QStringLiteral("/") + id +
             QStringLiteral(".vst3");
    p.au = QStringLiteral("Juce Pugins creacion/") + id + QStringLiteral("/") + id +
           QStringLiteral(".component");
    p.requirements = {QStringLiteral("macOS 12")};
    return p;
}

QByteArray catalogoJson(const QList<Plugin>& plugins) {
    QJsonArray lista;
    for (const Plugin& p : plugins) {
        lista.append(QJsonObject{
            {QStringLiteral("id"), p.id},
            {QStringLiteral("name"), p.name},
            {QStringLiteral("subtitle"), p.subtitle},
            {QStringLiteral("purpose"), p.purpose},
            {QStringLiteral("category"), p.category},
            {QStringLiteral("blurb"), p.blurb},
            {QStringLiteral("manufacturer"), p.manufacturer},
            {QStringLiteral("screenshot"), p.screenshot},
            {QStringLiteral("vst3"), p.vst3},
            {QStringLiteral("au"), p.au},
            {QStringLiteral("requirements"), QJsonArray::fromStringList(p.requirements)},
        });
    }
    return QJsonDocument(QJsonObject{{QStringLiteral("plugins"), lista}}).toJson();
}
