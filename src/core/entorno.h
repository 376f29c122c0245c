#pragma once

#include <QList>
#include <QSslCertificate>
#include <QString>

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
    QString copiador;    // absolute path of the bundle copy tool: "/usr/bin/ditto" on Apple, "/bin/cp" (run as cp -a) elsewhere
    std::chrono::milliseconds esperaPeticion{60000};   // a request silent this long is aborted
    std::chrono::milliseconds esperaTotal{600000};     // a transfer longer than this in all is aborted
    static Entorno delSistema();  // what the running application uses
};
// clang-format on
