#pragma once

#include "accounts/cuentas.h"
#include "archivos.h"
#include "core/store.h"

#include <QObject>
#include <QString>

#include <memory>

// Tests reach the Store's private account steps through this friend.
struct PruebaStore {
    static QString archivoDatos(Store& s, const QString& n) { return s.archivoDatos(n); }
    static void escribirCuentas(Store& s, const QList<Cuenta>& c) { s.escribirCuentas(c); }
    static void abrir(Store& s, const QString& e, const std::optional<QString>& t) {
        s.abrir(e, t);
    }
    static void cargarSesion(Store& s) { s.cargarSesion(); }
    static bool correoValido(Store& s, const QString& e) { return s.correoValido(e); }
    static QUrl servicio(const Store& s) { return s.servicio(); }
};

// Where the two files of this area land in a test world.
inline QString rutaLibro(const Mundo& m) {
    return m.proyecto + QStringLiteral("/datos/cuentas.json");
}
inline QString rutaSesion(const Mundo& m) {
    return m.entorno.home +
           QStringLiteral("/Library/Application Support/Quelo DSP/instalador-sesion.json");
}

// The permission bits of a file (without following a final link).
int modo(const QString& ruta);

// A complete account record, as the application would have written it.
Cuenta cuentaDePrueba(const QString& email, const QString& password);

// The test classes of this area, run one after the other by main().
std::unique_ptr<QObject> nuevaTstCuentas();
std::unique_ptr<QObject> nuevaTstRegistro();
std::unique_ptr<QObject> nuevaTstSesion();
std::unique_ptr<QObject> nuevaTstArchivos();
