#pragma once

#include <QList>
#include <QSslCertificate>
#include <QString>
#include <QStringList>

#include <chrono>

// Every place the system touches outside itself. Tests build one on temporary folders and a
// loopback server; the running application uses delSistema().
// clang-format off
struct Entorno {
    QString bundle;      // the running application's bundle: the .app on Apple, elsewhere the folder holding the executable
    QString recursos;    // the bundle's resource folder (catalogo.json, Logo.png)
    QString home;        // the user's home folder
    QString temporal;    // the system's temporary folder
    QString servicio;    // the built-in default service endpoint, "https://host" without a path
    QList<QSslCertificate> autoridades;  // CA certificates trusted besides the system's (empty in the shipped app)
    QStringList copiador;    // the bundle copy command, source and destination appended: {"/usr/bin/ditto"} on Apple, {"/bin/cp", "-a"} elsewhere
    QStringList cuarentena;  // the quarantine command, destination appended: {"/usr/bin/xattr", "-dr", "com.apple.quarantine"} on Apple; empty: removed in-process
    std::chrono::milliseconds esperaPeticion{60000};   // a request silent this long is aborted
    std::chrono::milliseconds esperaTotal{600000};     // a transfer longer than this in all is aborted
    static Entorno delSistema();  // what the running application uses
};
// clang-format on

// Whether the application keeps running once its last window is closed, and shows the window
// again when reopened from the dock: Apple's default. Elsewhere closing the window quits.
bool sigueSinVentana();
