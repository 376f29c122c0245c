#pragma once

#include "core/cancelacion.h"
#include "core/entorno.h"
#include "service/integridad.h"

#include <QByteArray>
#include <QCoro/QCoroTask>
#include <QJsonObject>
#include <QList>
#include <QPair>
#include <QSslConfiguration>
#include <QString>
#include <QUrl>

#include <functional>
#include <optional>

// One HTTPS request to the store service or its download house.
struct Pedido {
    QByteArray metodo = "GET";
    QUrl url;
    QList<QPair<QByteArray, QByteArray>> cabeceras;
    QByteArray cuerpo;
    // Asked, the transfer is aborted at once and Cancelado thrown; asked before, nothing is sent.
    Cancelacion cancelacion;
};

// A body read as JSON is kept up to this size. A larger one is abandoned on the way (the
// transfer stops there) and counts as a body that is not a JSON object.
constexpr qint64 limiteJson = 4 * 1024 * 1024;

// What Qt holds of a reply before it stops reading the connection and lets TCP hold the server
// back: all that piles up while the package's writer is behind. Small on purpose: Qt's network
// thread hands every piece it reads to the reply as an event of its own, and a window this size
// makes it wait for the reader and gather what arrived meanwhile into pieces of up to this size.
// Over loopback, 200 MB took Qt's client 0.3 s with it, as curl does, and 0.6 s with 1 MiB; half
// or twice this size were as slow as 1 MiB.
constexpr qint64 bufferLectura = 64 * 1024;

// What came back: the HTTP status (none when the answer was not HTTP) and, unless it was
// streamed to a file, the body (empty when it was larger than limiteJson).
struct Contestacion {
    std::optional<int> estado;
    QByteArray cuerpo;
};

// How much of a body has arrived, and its whole length when known.
struct Progreso {
    qint64 recibidos = 0;
    std::optional<qint64> total;
};
// Told as the body arrives, and none once the transfer is over.
using AvisoProgreso = std::function<void(std::optional<Progreso>)>;

// Sends one request on a session of its own (a new QNetworkAccessManager: no cookie, cache or
// credential outlives it). The certificate is checked against the system's authorities plus
// Entorno::autoridades. A request silent for Entorno::esperaPeticion, or longer than
// Entorno::esperaTotal in all, is aborted and reported as a time-out. Redirects are followed
// only to https; "Authorization" is not carried to another origin, and a body (the sign-in's
// password) is never re-sent to one: such a redirect is refused. The transfer runs on a thread
// of its own (enHiloDeRed): a busy calling thread neither holds it nor is held by it. What Qt
// holds of a reply is bounded whatever the server sends. A transfer the
// network ends with an error (a connection cut short, a body that does not decompress) throws
// ErrorSistema with a Spanish description; any HTTP status is an answer, not an error.
QCoro::Task<Contestacion> pedir(Entorno entorno, Pedido pedido);

// The same, with a body of status 200 streamed into `archivo` (written whole on success,
// absent on failure) and its progress reported as it arrives. The body of any other status is
// kept as pedir keeps it: it is the error message, not the file. The body is checked against
// `esperado` as it arrives: past its length the transfer stops there, and a body that is not
// what was said throws PaqueteDanado, leaving no file. A length said is the progress's total;
// without one, the Content-Length is.
QCoro::Task<Contestacion> pedirAArchivo(Entorno entorno, Pedido pedido, QString archivo,
                                        AvisoProgreso aviso, Integridad esperado = {});

// With extra authorities, reading the system's (a good fraction of a second, once per run) is
// started now beside the calling thread, so that the first request finds them read.
void adelantarAutoridades(const Entorno& entorno);

// The TLS settings of every request: the peer is always verified, against the system's
// authorities plus Entorno::autoridades.
QSslConfiguration configuracionTls(const Entorno& entorno);

// A reply body read as a JSON object; anything else counts as an empty one.
QJsonObject objetoJson(const QByteArray& cuerpo);

// The service's own message of a refusal, its "error" member, when it is a text; `otro` when not.
QString errorDelServicio(const QJsonObject& respuesta, const QString& otro);
