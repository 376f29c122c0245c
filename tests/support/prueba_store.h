#pragma once

#include "accounts/cuentas.h"
#include "core/store.h"

#include <QCoro/QCoroTask>

#include <functional>

// The tests' one way into the Store's private part (Store names it its friend): to put the
// Store in a state directly, so a view can be shown in it, or to run one of its steps alone.
struct PruebaStore {
    // state
    static void entrar(Store& s, const QString& email) { s.setCuentaEmail(email); }
    static void salir(Store& s) { s.setCuentaEmail(std::nullopt); }
    static void ocupado(Store& s, bool v) { s.setBusy(v); }
    static void instalados(Store& s, QSet<QString> v) { s.setInstalled(std::move(v)); }
    static void progreso(Store& s, std::optional<double> v) { s.setProgreso(v); }
    static void token(Store& s, const std::optional<QString>& t) { s.setTokenCasa(t); }

    // steps
    static void run(Store& s, std::function<QCoro::Task<>()> accion) {
        s.run([accion = std::move(accion)](Cancelacion) { return accion(); });
    }
    static QString archivoDatos(Store& s, const QString& nombre) { return s.archivoDatos(nombre); }
    static void escribirCuentas(Store& s, const QList<Cuenta>& c) { s.escribirCuentas(c); }
    static void abrir(Store& s, const QString& email, const std::optional<QString>& token) {
        s.abrir(email, token);
    }
    static void cargarSesion(Store& s) { s.cargarSesion(); }
    static bool correoValido(Store& s, const QString& email) { return s.correoValido(email); }
    static QUrl servicio(const Store& s) { return s.servicio(); }
};
