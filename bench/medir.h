#pragma once

#include "core/entorno.h"
#include "core/plugin.h"

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>

class Store;

// Median wall time of a function, in milliseconds, over a number of runs.
double medianaMs(int veces, const std::function<void()>& f);
double mediana(QList<double> valores);
// The median of each round's own ratio uno[i] / otro[i]: what the disk's state or the machine's
// load did to a round, it did to both sides of it, and so cancels out.
double razonPareada(const QList<double>& uno, const QList<double>& otro);

// The median of several runs and the quartiles around it (linear between the nearest runs).
struct Reparto {
    double q1 = 0, mediana = 0, q3 = 0;
};
Reparto reparto(QList<double> valores);
// "1.23 (1.20–1.30)": the median, then the quartiles, each divided by `escala`.
QString conReparto(const Reparto& r, double escala, int decimales);

// A synthetic catalog of n plausible entries over a handful of categories, and its JSON as the
// application ships it.
QList<Plugin> catalogoSintetico(int n);
QByteArray jsonCatalogo(const QList<Plugin>& plugins);

// The plug-in the download benchmarks fetch: id "grande", bundles "Grande.vst3" and
// "Grande.component" in the category "Reverb".
Plugin pluginGrande();

// The world of a download benchmark's child process: the application, its home and its
// temporary folder under `carpeta`, the given service and extra authority (a PEM file).
Entorno entornoDeCliente(const QString& servicio, const QString& autoridad, const QString& carpeta);

// A plug-in bundle of `archivos` incompressible files of `bytes` in all, a hundred to a
// sub-folder, as a large sample library would be. With `llenos` set, only that many files, spread
// evenly, carry the bytes and the rest are empty: on a disk mounted with `discard` every freed
// block waits for the device, which would make a delete of many small files measure the disk
// rather than the program.
void crearBundle(const QString& ruta, qint64 bytes, int archivos, quint32 semilla, int llenos = 0);

// Removes what earlier rounds left at a path and writes out what they left dirty in the page
// cache, so no round pays for the one before.
void limpiar(const QString& ruta);

// Writes a file whole, with every missing parent folder.
void escribirArchivo(const QString& ruta, const QByteArray& contenido);

// Runs a program to its end (at most ten minutes) and gives its standard output. A failure to
// start, a crash or a non-zero exit is written to `fallo` unless it already holds one.
QByteArray correr(const QString& programa, const QStringList& argumentos, QString* fallo);

// Runs the event loop until the store's asynchronous action has finished (busy false again).
void esperarLibre(Store& store);

// The longest gap between ticks of a 10 ms timer on the calling thread while it lives: how
// long the window's thread was kept from its events.
class Pulso : public QObject {
public:
    Pulso();
    double maximoMs() const;

private:
    QTimer timer_;
    QElapsedTimer reloj_;
    qint64 ultimo_ = 0;
    qint64 maximo_ = 0;
};

// One row of the results table, printed to stdout for scripts/bench to collect:
// | what | measured | target | verdict or note |
void fila(const QString& que, const QString& medido, const QString& objetivo, const QString& nota);

// "12.3 ms", with three decimals below one millisecond.
QString ms(double v);
