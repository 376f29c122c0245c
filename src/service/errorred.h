#pragma once

#include "core/failure.h"

#include <QNetworkReply>
#include <QSslError>
#include <QString>

#include <optional>

// Transfer failures in the user's language: the application's own sentences for what a user
// meets, naming the server. Qt's own texts are partly untranslated ("Decompression failed: ",
// even with its Spanish catalogue loaded) or say nothing ("Unknown error").

// `certificado` is the first complaint about the server's certificate, when there was one.
ErrorSistema errorDeRed(QNetworkReply::NetworkError error, const QString& servidor,
                        std::optional<QSslError::SslError> certificado);

// A request silent for too long, or a transfer longer than allowed in all.
QString textoTiempoAgotado();
