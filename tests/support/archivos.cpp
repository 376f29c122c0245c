#include "archivos.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

QString Mundo::vst3(const Plugin& plugin) const {
    return fabricanteVst3(entorno.home) + QLatin1Char('/') + plugin.category + QLatin1Char('/') +
           QFileInfo(plugin.vst3).fileName();
}

QString Mundo::au(const Plugin& plugin) const {
    return fabricanteAu(entorno.home) + QLatin1Char('/') + plugin.category + QLatin1Char('/') +
           QFileInfo(plugin.au).fileName();
}

QString Mundo::sesion() const {
    return entorno.home +
           QStringLiteral("/Library/Application Support/Quelo DSP/instalador-sesion.json");
}

QString Mundo::libro() const {
    return proyecto + QStringLiteral("/datos/cuentas.json");
}

QString fabricanteVst3(const QString& home) {
    return home + QStringLiteral("/Library/Audio/Plug-Ins/VST3/Quelo DSP");
}

QString fabricanteAu(const QString& home) {
    return home + QStringLiteral("/Library/Audio/Plug-Ins/Components/Quelo DSP");
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

QStringList todoEn(const QString& carpeta) {
    QStringList rutas;
    QDirIterator it(carpeta, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        rutas.append(it.next());
    rutas.sort();
    return rutas;
}

QStringList entradas(const QString& carpeta) {
    return QDir(carpeta).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
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

QByteArray catalogoJson(const QList<Plugin>& plugins, QJsonDocument::JsonFormat forma) {
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
    return QJsonDocument(QJsonObject{{QStringLiteral("plugins"), lista}}).toJson(forma);
}

void crearEspecial(const QString& ruta, const QString& tipo, qint64 enorme) {
    QDir().mkpath(QFileInfo(ruta).absolutePath());
    const QByteArray nativa = QFile::encodeName(ruta);
    if (tipo == QLatin1String("fifo")) {
        QVERIFY(::mkfifo(nativa.constData(), 0644) == 0);
    } else if (tipo == QLatin1String("cero")) {
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), ruta));
    } else if (tipo == QLatin1String("carpeta")) {
        QVERIFY(QDir().mkpath(ruta));
    } else if (tipo == QLatin1String("enorme")) {
        QFile archivo(ruta);
        QVERIFY(archivo.open(QIODevice::WriteOnly));
        QVERIFY(archivo.resize(enorme));
    } else {
        QCOMPARE(tipo, QStringLiteral("bucle"));
        QVERIFY(::symlink(nativa.constData(), nativa.constData()) == 0);
    }
}

QStringList tiposEspeciales() {
    return {QStringLiteral("fifo"), QStringLiteral("cero"), QStringLiteral("carpeta"),
            QStringLiteral("enorme"), QStringLiteral("bucle")};
}

QString describir(const QString& ruta) {
    struct stat info;
    if (::lstat(QFile::encodeName(ruta).constData(), &info) != 0) return QStringLiteral("nada");
    QString tipo = S_ISFIFO(info.st_mode) ? QStringLiteral("fifo")
                   : S_ISLNK(info.st_mode)
                       ? QStringLiteral("enlace a ") + QFileInfo(ruta).symLinkTarget()
                   : S_ISDIR(info.st_mode)
                       ? QStringLiteral("carpeta de ") +
                             QString::number(QDir(ruta)
                                                 .entryList(QDir::AllEntries | QDir::Hidden |
                                                            QDir::NoDotAndDotDot)
                                                 .size())
                       : QStringLiteral("archivo");
    return tipo + QStringLiteral(", ") + QString::number(info.st_size) +
           QStringLiteral(" bytes, ") + QString::number(info.st_mtime) + QLatin1Char('.') +
           QString::number(info.st_ino);
}

VigiaDeFifo::VigiaDeFifo(const QString& ruta) : ruta_(QFile::encodeName(ruta)) {
    hilo_ = std::thread([this] {
        std::unique_lock cerrojo(mutex_);
        // Again and again: the step may open the FIFO more than once.
        while (!fin_.wait_for(cerrojo, std::chrono::seconds(3), [this] { return terminado_; })) {
            struct stat info;
            if (::lstat(ruta_.constData(), &info) != 0 || !S_ISFIFO(info.st_mode)) continue;
            disparado_ = true;
            const int fd = ::open(ruta_.constData(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0) ::close(fd);
        }
    });
}

VigiaDeFifo::~VigiaDeFifo() {
    terminar();
}

bool VigiaDeFifo::terminar() {
    {
        std::lock_guard cerrojo(mutex_);
        terminado_ = true;
    }
    fin_.notify_all();
    if (hilo_.joinable()) hilo_.join();
    return disparado_;
}
