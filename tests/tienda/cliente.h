#pragma once

#include <QByteArray>
#include <QList>
#include <QNetworkReply>
#include <QUrl>
#include <chrono>

// What a plain Qt client saw of one exchange.
struct Recibido {
    bool terminado = false; // finished within the wait
    QNetworkReply::NetworkError error = QNetworkReply::NoError;
    int estado = 0;
    QList<QPair<QByteArray, QByteArray>> cabeceras;
    QByteArray cuerpo; // everything read, also when the transfer was cut
    QUrl url;          // where it ended, after redirects
};

// An address below a base, taken as written.
QUrl en(const QUrl& base, const QString& ruta);

// A request through a fresh QNetworkAccessManager that trusts the test CA besides the system's
// (never ignoring certificate errors), waited for on the event loop. A zero tiempoLimite keeps
// Qt's default transfer time-out.
Recibido
pedir(const QByteArray& metodo, const QUrl& url, const QByteArray& cuerpo = {},
      const QList<QPair<QByteArray, QByteArray>>& cabeceras = {},
      std::chrono::milliseconds tiempoLimite = std::chrono::milliseconds(0),
      QNetworkRequest::RedirectPolicy redirecciones = QNetworkRequest::NoLessSafeRedirectPolicy);
