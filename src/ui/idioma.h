#pragma once

#include <QString>

// Loads Qt's own Spanish texts (network, TLS, processes, the fields' context menu) from the
// application's resource folder and installs them, in place of any loaded before. False when
// the file is missing or unreadable: Qt's messages then stay in English.
bool cargarIdioma(const QString& recursos);
