#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

#include <optional>

// An absolute address whose scheme is written exactly "https", with a host. Text that is not a
// valid URL (spaces, say), another scheme, or the right one in capitals gives none.
std::optional<QUrl> direccionHttps(const QString& texto);

// The base address with path segments appended: each segment percent-encoded as one component,
// the base's own path kept in front, no doubled "/". Query and fragment of the base are dropped.
QUrl conRuta(QUrl base, const QStringList& segmentos);
