#include "core/entorno.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifndef QUELO_SERVICIO
#define QUELO_SERVICIO "https://tienda.quelodsp.com"
#endif
#ifndef QUELO_CA_EXTRA
#define QUELO_CA_EXTRA ""
#endif

// The one place that asks which platform this is; everything else reads the values.

Entorno Entorno::delSistema() {
    Entorno e;
    const QString ejecutable = QCoreApplication::applicationDirPath();
#ifdef Q_OS_MACOS
    // Contents/MacOS/<exe> inside the .app
    e.bundle = QDir::cleanPath(ejecutable + QStringLiteral("/../.."));
    e.recursos = e.bundle + QStringLiteral("/Contents/Resources");
    e.copiador = {QStringLiteral("/usr/bin/ditto")};
    e.cuarentena = {QStringLiteral("/usr/bin/xattr"), QStringLiteral("-dr"),
                    QStringLiteral("com.apple.quarantine")};
#else
    e.bundle = QDir::cleanPath(ejecutable);
    e.recursos = e.bundle + QStringLiteral("/Resources");
    e.copiador = {QStringLiteral("/bin/cp"), QStringLiteral("-a")};
#endif
    e.home = QDir::homePath();
    e.temporal = QDir::tempPath();
    e.servicio = QStringLiteral(QUELO_SERVICIO);
    const QString ca = QStringLiteral(QUELO_CA_EXTRA);
    if (!ca.isEmpty()) e.autoridades = QSslCertificate::fromPath(ca, QSsl::Pem);
    return e;
}

bool sigueSinVentana() {
#ifdef Q_OS_MACOS
    return true;
#else
    return false;
#endif
}
