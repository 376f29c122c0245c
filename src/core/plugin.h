#pragma once

#include <QByteArray>
#include <QHashFunctions>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The category that stands for every plug-in: where browsing starts and the sidebar's first row.
inline constexpr QLatin1String kTodas("Todas");

// One entry of the maker's catalog. A plain value: equal when all eleven fields are.
struct Plugin {
    QString id, name, subtitle, purpose, category, blurb, manufacturer, screenshot, vst3, au;
    QStringList requirements;

    friend bool operator==(const Plugin&, const Plugin&) = default;
};

size_t qHash(const Plugin& p, size_t seed = 0) noexcept;

struct Catalog {
    QList<Plugin> plugins;

    friend bool operator==(const Catalog&, const Catalog&) = default;
};

// Strict decoding of the shipped catalog: every key required at both levels, a null or a value
// of another JSON type rejects the whole file, unknown keys are ignored. None when it does not
// decode.
std::optional<Catalog> decodificarCatalogo(const QByteArray& json);
// The same, of the file's top-level object already parsed.
std::optional<Catalog> decodificarCatalogo(const QJsonObject& objeto);
