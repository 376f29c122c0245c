// Where the accounts book lives and how the Store writes it.
#include "accounts/cuentas.h"
#include "accounts/sesion.h"
#include "core/archivo.h"
#include "core/store.h"
#include "core/texto.h"

QString Store::archivoDatos(const QString& nombre) const {
    return unir(unir(proyecto(), QStringLiteral("datos")), nombre);
}

bool Store::correoValido(const QString& email) const {
    return correoBienFormado(email);
}

void Store::escribirCuentas(const QList<Cuenta>& cuentas) {
    const QString ruta = archivoDatos(kLibroCuentas);
    guardarArchivo(ruta, codificarLibro(LibroCuentas{cuentas}));
}

void Store::barrerRestos() const {
    // The session's may hold a token; both are only leftovers of a write a crash cut short.
    barrerTemporales(archivoSesion(entorno_.home));
    if (root()) barrerTemporales(archivoDatos(kLibroCuentas));
}
