#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The service configuration a project folder may carry in config/marca.json.
struct Licencias {
    QString url;
};
struct MarcaServicio {
    Licencias licencias;
};

// Typed decoding: "licencias" must be an object holding a string "url"; other members are
// ignored; anything else does not decode.
std::optional<MarcaServicio> decodificarMarca(const QByteArray& datos);
