#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

#include <optional>

// Each plug-in's package, zipped once and kept with its SHA-256 and length for as long as its
// folder stays as it was, so the list can name what the download then serves and stays quick.
// The zips live in a folder of their own, emptied at start; a changed folder is zipped anew and
// its earlier zip deleted (a download already streaming it keeps reading it).
class PaquetesHechos {
public:
    explicit PaquetesHechos(const QString& carpeta);

    struct Paquete {
        QString archivo;
        QByteArray sha256; // lower-case hexadecimal
        qint64 tamano = 0;
    };
    // The package of a plug-in's folder; none, with `error`, when it cannot be made.
    std::optional<Paquete> de(const QString& origen, QString* error);

private:
    struct Hecho {
        QByteArray huella;
        Paquete paquete;
    };
    QString carpeta_;
    QHash<QString, Hecho> hechos_;
};
