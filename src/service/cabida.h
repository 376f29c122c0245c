#pragma once

#include <QString>

// What a package may take on the disk of a folder, downloaded or unpacked: a few GiB at most,
// and never the last of the disk, which the user's other programs need too.
struct Cabida {
    qint64 bytes = 0;      // at most this much (zero or less: nothing fits)
    bool porDisco = false; // set by the disk's free space, not by the largest package there is
};

Cabida cabidaEn(const QString& carpeta);
