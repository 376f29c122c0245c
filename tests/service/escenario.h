#pragma once

#include "archivos.h"
#include "core/store.h"
#include "esperar.h"
#include "servidor.h"

#include <memory>

// A Store on a temporary world whose built-in service is the test server, trusting the test
// authority, with a catalog loaded and every status it shows recorded.
struct Escenario {
    ServidorPrueba servidor;
    Mundo mundo;
    std::unique_ptr<Store> store;
    QStringList mensajes; // every status text shown since the Store was made, in order

    explicit Escenario(const QList<Plugin>& catalogo = {}, bool conProyecto = false,
                       ServidorPrueba::Certificado = ServidorPrueba::Certificado::DeLaAutoridad);

    // Builds the Store again after the world changed (a shorter time-out, say).
    void rehacer();
    // Presses "Bajar comprados" and waits for the run to end; whether it ran (busy at once) and
    // ended.
    [[nodiscard]] bool bajarComprados();
    // "v1/salud" naming the test server itself as the download house.
    void conCasa();
    void mios(const QByteArray& json, int estado = 200);
    void paquete(const QString& id, const QString& zip);
    // Requests received for a path.
    QList<Llegada> a(const QString& ruta) const;
    // What is left in the temporary folder.
    QStringList temporales() const;
    // A store session with the token "tok".
    void conSesion();
};

Pauta json(const QByteArray& cuerpo, int estado = 200);

// A package holding the given bundles (paths inside it), each made with crearBundle.
QString zipConBundles(const Mundo& mundo, const QString& nombre, const QStringList& bundles);

// Incompressible bytes, the same for the same seed.
QByteArray alAzar(qsizetype tamano, quint32 semilla);

// A package holding the bundle "brisa.vst3" with `datos` as Contents/Resources/grande.bin, and
// where that file lands once installed (for brisa in the category "Reverb").
QString zipGrande(const Mundo& mundo, const QByteArray& datos);
QString grandeInstalado(const Mundo& mundo);
