#pragma once

#include "core/entorno.h"
#include "core/plugin.h"

#include <QByteArray>
#include <QJsonDocument>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <condition_variable>
#include <mutex>
#include <thread>

// The environment of a test world laid out in `raiz`: the application in "Quelo DSP", a home
// and a temporary folder, this system's copy tool. A child process rebuilds it from the path.
Entorno entornoDePrueba(const QString& raiz);

// A temporary world for one test: an application folder, a home and a temporary folder, all
// inside one QTemporaryDir that disappears with it.
struct Mundo {
    QTemporaryDir dir;
    QString proyecto; // the folder holding the application bundle
    Entorno entorno;

    // conProyecto: whether the folder holding the application also holds "Juce Pugins creacion"
    explicit Mundo(bool conProyecto = true);

    // Writes the catalog the application ships.
    void catalogo(const QList<Plugin>& plugins) const;

    // Where the application puts things of this world: a catalog entry's installed bundles in
    // the home, the saved session in the home, and the accounts book in the project folder.
    QString vst3(const Plugin& plugin) const;
    QString au(const Plugin& plugin) const;
    QString sesion() const;
    QString libro() const;
};

// The maker's folder of each format below a home, where a plug-in's bundles are installed (in a
// folder for its category), spelled out here rather than taken from the application's code.
QString fabricanteVst3(const QString& home);
QString fabricanteAu(const QString& home);

// Writes a file with every missing parent folder.
void escribir(const QString& ruta, const QByteArray& contenido);
QByteArray leer(const QString& ruta);

// An executable shell script; its path.
QString guion(const QString& ruta, const QByteArray& cuerpo);

// Every entry below a folder, hidden ones included, sorted.
QStringList todoEn(const QString& carpeta);
// The names in a folder itself, hidden ones included, sorted.
QStringList entradas(const QString& carpeta);

// A bundle-shaped folder: Contents/Info.plist, an executable, and a link inside.
void crearBundle(const QString& ruta);

// A catalog entry with every field filled from its id.
Plugin pluginDePrueba(const QString& id, const QString& category = QStringLiteral("Reverb"));

QByteArray catalogoJson(const QList<Plugin>& plugins,
                        QJsonDocument::JsonFormat forma = QJsonDocument::Indented);

// Something at a path that is not a small regular file, of one of these kinds: "fifo", "cero"
// (a link to /dev/zero), "carpeta", "enorme" (a sparse regular file of `enorme` bytes), "bucle"
// (a link to itself, which cannot be opened).
void crearEspecial(const QString& ruta, const QString& tipo, qint64 enorme = 300 << 20);
QStringList tiposEspeciales();
// What is at a path, in a form that changes if it is replaced, moved, truncated or written.
QString describir(const QString& ruta);

// Watches over a step that must not block on a FIFO: every few seconds while the step runs, it
// opens the FIFO for writing and closes it, which lets a reader stuck in open() or read() go on,
// and remembers that it had to. Nothing happens for anything but a FIFO.
class VigiaDeFifo {
public:
    explicit VigiaDeFifo(const QString& ruta);
    ~VigiaDeFifo();
    // Ends the watch; true when the step had blocked.
    bool terminar();

private:
    QByteArray ruta_;
    std::mutex mutex_;
    std::condition_variable fin_;
    bool terminado_ = false;
    bool disparado_ = false;
    std::thread hilo_;
};
