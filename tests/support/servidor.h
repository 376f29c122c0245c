#pragma once
#include <QByteArray>
#include <QList>
#include <QMap>
#include <QObject>
#include <QString>
#include <QUrl>
#include <chrono>
#include <memory>

// One request as the server received it, and how its answer went.
struct Llegada {
    QByteArray metodo; // "GET", "POST"
    QString ruta;      // the path exactly as received, percent-encoding kept, no query
    QMap<QByteArray, QByteArray> cabeceras; // names lower-cased
    QByteArray cuerpo;
    QByteArray protocolo;    // negotiated with ALPN ("http/1.1", "h2"), empty when none was
    qint64 enviados = 0;     // bytes of the answer's body written to the connection so far
    bool abandonada = false; // the client closed the connection before the answer's end
};

// How the server answers on one route: the status, the body and the manner of sending it.
struct Pauta {
    int estado = 200;
    // The three below are braced so designated initialisers may leave them out under -Wextra.
    QByteArray cuerpo{}; // sent as is
    QString archivo{};   // when not empty: the body is streamed from this file instead
    // extra headers (e.g. "Location", "Content-Type")
    QList<QPair<QByteArray, QByteArray>> cabeceras{};
    bool sinLongitud = false; // omit Content-Length (close the connection to end the body)
    std::chrono::milliseconds demora{0}; // wait this long before answering
    bool colgar = false; // send the headers and half the body, then nothing, never close
    bool cortar = false; // send the headers and half the body, then close the connection
    // When not 0: the body is cuerpo sent this many times in a row (-1: without end, and without
    // Content-Length), written as the client drains the connection.
    qint64 repetir = 0;
    // When set: the body goes out a few bytes at a time, this long apart.
    std::chrono::milliseconds goteo{0};
    bool gzip = false; // the body compressed with gzip and labelled "Content-Encoding: gzip"
};

// An HTTPS server on 127.0.0.1 with a random port, its certificate signed by the test CA
// (subject alt names: IP 127.0.0.1 and DNS localhost), or self-signed and untrusted
// (certificados.h).
class ServidorPrueba : public QObject {
    Q_OBJECT
public:
    enum class Certificado { DeLaAutoridad, NoConfiable };
    // Hilo::Propio serves from a thread of its own, so it keeps sending while the test's
    // thread is busy; programme its routes before the first request.
    enum class Hilo { Este, Propio };
    explicit ServidorPrueba(Certificado = Certificado::DeLaAutoridad, Hilo = Hilo::Este,
                            QObject* parent = nullptr);
    ~ServidorPrueba() override;

    quint16 puerto() const;
    QUrl base() const;          // "https://127.0.0.1:<port>"
    QUrl baseLocalhost() const; // "https://localhost:<port>" — another host, same server

    // Programs the answer for a method and an exact path; unprogrammed paths get 404 with
    // {"error":"ruta desconocida"}. Programming a route again replaces its answer.
    void ruta(const QByteArray& metodo, const QString& ruta, Pauta pauta);
    QList<Llegada> peticiones() const; // every request received, in order
    void olvidar();                    // clears the request record
    qint64 enviados() const;           // bytes of bodies written so far, in all
    // Offers HTTP/2 besides HTTP/1.1 in ALPN to new connections (it still speaks only
    // HTTP/1.1): a client that chooses HTTP/2 shows in Llegada::protocolo and fails.
    void ofrecerHttp2();

private:
    struct Datos;
    std::unique_ptr<Datos> d;
};
