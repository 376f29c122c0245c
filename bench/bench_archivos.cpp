// How long the window's thread spends on the application's own files: the catalog at start, the
// accounts book and the session at a sign-up (read, checked write of both, sync to disk).
#include "accounts/cuentas.h"
#include "core/archivo.h"
#include "core/store.h"
#include "medir.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

namespace {

// "A fraction of a second" for the window's thread.
const QString kObjetivo = QStringLiteral("≤ 250 ms");

QString veredicto(double v) {
    return v <= 250 ? QStringLiteral("met") : QStringLiteral("NOT met");
}

// A book of n accounts, as sign-up writes it.
QByteArray libroDe(int n) {
    LibroCuentas libro;
    const auto [salt, hash] = resumenCuenta(QStringLiteral("a@b.c"), QStringLiteral("x"), {});
    for (int i = 0; i < n; ++i)
        libro.cuentas.append({QStringLiteral("persona%1@ejemplo.com").arg(i), salt, hash,
                              QStringLiteral("correo"), QStringLiteral("2026-01-02T03:04:05Z")});
    return codificarLibro(libro);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    Entorno e;
    e.bundle = dir.filePath(QStringLiteral("Quelo DSP/app"));
    e.recursos = dir.filePath(QStringLiteral("Quelo DSP/app/Resources"));
    e.home = dir.filePath(QStringLiteral("home"));
    QDir().mkpath(dir.filePath(QStringLiteral("Quelo DSP/Juce Pugins creacion")));
    const QString catalogo = e.recursos + QStringLiteral("/catalogo.json");
    escribirArchivo(catalogo, jsonCatalogo(catalogoSintetico(10000)));
    {
        qint64 tamano = 0;
        const double t = medianaMs(
            11, [&] { tamano = leerArchivoLimitado(catalogo, qint64(64) << 20)->size(); });
        fila(QStringLiteral("Reading the 10,000-entry catalog (%1 KiB), not decoding it")
                 .arg(tamano / 1024),
             ms(t), QStringLiteral("—"), QStringLiteral("median of 11"));
    }
    {
        Store store(e);
        const double t = medianaMs(11, [&] { store.load(); });
        fila(QStringLiteral("`load()`: reading and decoding a 10,000-entry catalog"), ms(t),
             kObjetivo, veredicto(t) + QStringLiteral("; median of 11"));
    }
    // 15,000 accounts are about the 4 MiB the book may have.
    for (int n : {100, 15000}) {
        const QByteArray libro = libroDe(n);
        const QString ruta = dir.filePath(QStringLiteral("Quelo DSP/datos/cuentas.json"));
        escribirArchivo(ruta, libro);
        Store store(e);
        int i = 0;
        const double t = medianaMs(11, [&] {
            store.crearCuenta(QStringLiteral("nueva%1@ejemplo.com").arg(i++),
                              QStringLiteral("Clave segura 1"), QStringLiteral("Clave segura 1"));
        });
        if (store.status() != QStringLiteral("Cuenta creada.")) {
            fila(QStringLiteral("Local sign-up, book of %L1 accounts").arg(n), QStringLiteral("—"),
                 kObjetivo, QStringLiteral("NOT measured: ") + store.status());
            continue;
        }
        fila(QStringLiteral("Local sign-up: reading the book of %L1 accounts (%2 KiB), saving it "
                            "checked and saving the session")
                 .arg(n)
                 .arg(libro.size() / 1024),
             ms(t), n == 100 ? kObjetivo : QStringLiteral("—"),
             (n == 100 ? veredicto(t) + QStringLiteral("; ")
                       : QStringLiteral("the largest book accepted, not a real size; ")) +
                 QStringLiteral("median of 11, with fsync"));
    }
    return 0;
}
