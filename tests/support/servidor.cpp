// A minimal HTTP/1.1 server over TLS for the tests: enough of the protocol for Qt's client
// (keep-alive, Content-Length bodies), plus the misbehaviours the tests need to provoke: bodies
// without end, dripping, cut short or gzip-encoded.
#include "servidor.h"

#include "certificados.h"

#include <QFile>
#include <QMutex>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslSocket>
#include <QTcpServer>
#include <QThread>
#include <QTimer>

#include <atomic>

#include <zlib.h>

namespace {

using Clave = QPair<QByteArray, QString>;

QByteArray razon(int estado) {
    switch (estado) {
    case 200:
        return "OK";
    case 201:
        return "Created";
    case 204:
        return "No Content";
    case 301:
        return "Moved Permanently";
    case 302:
        return "Found";
    case 303:
        return "See Other";
    case 307:
        return "Temporary Redirect";
    case 308:
        return "Permanent Redirect";
    case 400:
        return "Bad Request";
    case 401:
        return "Unauthorized";
    case 403:
        return "Forbidden";
    case 404:
        return "Not Found";
    case 500:
        return "Internal Server Error";
    case 503:
        return "Service Unavailable";
    default:
        return "Estado";
    }
}

QByteArray leerPem(const QString& ruta) {
    QFile f(ruta);
    if (!f.open(QIODevice::ReadOnly))
        qFatal("servidor de prueba: no se pudo leer %s", qPrintable(ruta));
    return f.readAll();
}

class Escucha : public QTcpServer {
public:
    std::function<void(qintptr)> alLlegar;

protected:
    void incomingConnection(qintptr descriptor) override { alLlegar(descriptor); }
};

} // namespace

// What the listening side and every connection share; guarded by `cerrojo`, since the server
// may serve from a thread of its own while the test reads the record.
struct Compartido {
    mutable QMutex cerrojo;
    QSslConfiguration tls;
    QMap<Clave, Respuesta> rutas;
    QList<Peticion> peticiones;
    std::atomic<qint64> enviados{0};
};

struct ServidorPrueba::Datos {
    Compartido compartido;
    QThread hilo;
    QObject enHilo;                   // lives on `hilo`, to run code there
    std::unique_ptr<Escucha> escucha; // parent of every connection, so they go with it
};

namespace {

QByteArray comprimir(const QByteArray& datos) {
    z_stream z{};
    if (deflateInit2(&z, 6, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        qFatal("servidor de prueba: zlib no arrancó");
    QByteArray salida(qsizetype(deflateBound(&z, uLong(datos.size()))), Qt::Uninitialized);
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(datos.constData()));
    z.avail_in = uInt(datos.size());
    z.next_out = reinterpret_cast<Bytef*>(salida.data());
    z.avail_out = uInt(salida.size());
    if (deflate(&z, Z_FINISH) != Z_STREAM_END) qFatal("servidor de prueba: gzip falló");
    salida.resize(qsizetype(z.total_out));
    deflateEnd(&z);
    return salida;
}

QByteArray leerArchivo(const QString& ruta) {
    QFile f(ruta);
    if (!f.open(QIODevice::ReadOnly))
        qFatal("servidor de prueba: no se pudo abrir %s", qPrintable(ruta));
    return f.readAll();
}

// One client connection: parses requests one at a time and answers each before reading the next.
class Conexion : public QObject {
public:
    Conexion(QSslSocket* socket, Compartido* compartido, QObject* padre)
        : QObject(padre), socket_(socket), c_(compartido) {
        socket_->setParent(this);
        connect(socket_, &QSslSocket::readyRead, this, &Conexion::leer);
        connect(socket_, &QSslSocket::encryptedBytesWritten, this, &Conexion::seguir);
        connect(socket_, &QSslSocket::disconnected, this, &Conexion::cerrada);
        connect(socket_, &QSslSocket::errorOccurred, this, [this] {
            if (socket_->state() == QAbstractSocket::UnconnectedState) cerrada();
        });
        connect(&goteo_, &QTimer::timeout, this, &Conexion::gotear);
    }

private:
    void leer() {
        entrada_ += socket_->readAll();
        while (!ocupada_) {
            const qsizetype fin = entrada_.indexOf("\r\n\r\n");
            if (fin < 0) return;
            const QList<QByteArray> lineas = entrada_.left(fin).split('\n');
            const QList<QByteArray> inicio = lineas.value(0).trimmed().split(' ');
            Peticion p;
            p.metodo = inicio.value(0);
            const QByteArray destino = inicio.value(1);
            const qsizetype pregunta = destino.indexOf('?');
            p.ruta = QString::fromLatin1(pregunta < 0 ? destino : destino.left(pregunta));
            for (qsizetype i = 1; i < lineas.size(); ++i) {
                const qsizetype dos = lineas[i].indexOf(':');
                if (dos > 0)
                    p.cabeceras.insert(lineas[i].left(dos).trimmed().toLower(),
                                       lineas[i].mid(dos + 1).trimmed());
            }
            const qsizetype largo = p.cabeceras.value("content-length").toLongLong();
            if (entrada_.size() < fin + 4 + largo) return;
            p.cuerpo = entrada_.mid(fin + 4, largo);
            p.protocolo = socket_->sslConfiguration().nextNegotiatedProtocol();
            entrada_.remove(0, fin + 4 + largo);

            Respuesta r;
            {
                QMutexLocker cerrojo(&c_->cerrojo);
                indice_ = c_->peticiones.size();
                c_->peticiones.append(p);
                r = c_->rutas.value(Clave(p.metodo, p.ruta), respuestaDesconocida());
            }
            ocupada_ = true;
            if (r.demora.count() > 0)
                QTimer::singleShot(r.demora, this, [this, r] {
                    responder(r);
                    leer();
                });
            else
                responder(r);
        }
    }

    static Respuesta respuestaDesconocida() {
        Respuesta r;
        r.estado = 404;
        r.cuerpo = R"({"error":"ruta desconocida"})";
        r.cabeceras.append(qMakePair(QByteArray("Content-Type"), QByteArray("application/json")));
        return r;
    }

    void responder(const Respuesta& r) {
        resto_ = r.archivo.isEmpty() ? r.cuerpo : QByteArray();
        if (!r.archivo.isEmpty()) {
            if (r.gzip) {
                resto_ = leerArchivo(r.archivo);
            } else {
                archivo_ = std::make_unique<QFile>(r.archivo);
                if (!archivo_->open(QIODevice::ReadOnly))
                    qFatal("servidor de prueba: no se pudo abrir %s", qPrintable(r.archivo));
            }
        }
        if (r.gzip) resto_ = comprimir(resto_);
        molde_ = r.repetir != 0 ? r.cuerpo : QByteArray();
        repeticiones_ = r.repetir;
        if (r.repetir != 0) resto_.clear();
        qint64 largo = resto_.size() + (archivo_ ? archivo_->size() : 0);
        if (r.repetir > 0) largo = molde_.size() * r.repetir;
        const bool sinLongitud = r.sinLongitud || r.repetir < 0;

        QByteArray cabecera =
            "HTTP/1.1 " + QByteArray::number(r.estado) + ' ' + razon(r.estado) + "\r\n";
        for (const auto& [nombre, valor] : r.cabeceras)
            cabecera += nombre + ": " + valor + "\r\n";
        if (r.gzip) cabecera += "Content-Encoding: gzip\r\n";
        if (sinLongitud)
            cabecera += "Connection: close\r\n";
        else
            cabecera += "Content-Length: " + QByteArray::number(largo) + "\r\n";
        cabecera += "\r\n";
        socket_->write(cabecera);
        respondiendo_ = true;
        cerrarAlFinal_ = sinLongitud;

        if (r.colgar || r.cortar) {
            // Half the body, then silence on an open connection (later requests are never
            // read), or the connection closed.
            mandar(siguienteTrozo(largo / 2));
            colgada_ = r.colgar; // still answering: a client that leaves now leaves early
            archivo_.reset();
            resto_.clear();
            repeticiones_ = 0;
            if (r.cortar) {
                respondiendo_ = false;
                socket_->disconnectFromHost();
            }
            return;
        }
        if (r.goteo.count() > 0) {
            goteo_.start(r.goteo);
            return;
        }
        seguir();
    }

    // The next piece of the body still to send, at most `maximo` bytes; empty at its end.
    QByteArray siguienteTrozo(qint64 maximo) {
        if (!resto_.isEmpty()) {
            const QByteArray trozo = resto_.left(maximo);
            resto_.remove(0, trozo.size());
            return trozo;
        }
        if (archivo_) return archivo_->read(maximo);
        if (repeticiones_ == 0 || molde_.isEmpty()) return {};
        if (repeticiones_ > 0) --repeticiones_;
        resto_ = molde_;
        return siguienteTrozo(maximo);
    }

    void mandar(const QByteArray& trozo) {
        socket_->write(trozo);
        c_->enviados += trozo.size();
        QMutexLocker cerrojo(&c_->cerrojo);
        if (indice_ < c_->peticiones.size()) c_->peticiones[indice_].enviados += trozo.size();
    }

    // Feeds the body a piece at a time as the socket drains, so large bodies really stream and
    // a client that stops reading holds the server back.
    void seguir() {
        if (!respondiendo_ || colgada_ || goteo_.isActive()) return;
        while (socket_->bytesToWrite() + socket_->encryptedBytesToWrite() < 256 * 1024) {
            const QByteArray trozo = siguienteTrozo(64 * 1024);
            if (trozo.isEmpty()) {
                terminar();
                return;
            }
            mandar(trozo);
        }
    }

    void gotear() {
        const QByteArray trozo = siguienteTrozo(4);
        if (trozo.isEmpty()) {
            goteo_.stop();
            terminar();
            return;
        }
        mandar(trozo);
    }

    void terminar() {
        archivo_.reset();
        respondiendo_ = false;
        if (cerrarAlFinal_) {
            socket_->disconnectFromHost(); // after the pending bytes are written
            return;
        }
        ocupada_ = false;
    }

    void cerrada() {
        if (respondiendo_) {
            respondiendo_ = false;
            QMutexLocker cerrojo(&c_->cerrojo);
            if (indice_ < c_->peticiones.size()) c_->peticiones[indice_].abandonada = true;
        }
        goteo_.stop();
        deleteLater();
    }

    QSslSocket* socket_;
    Compartido* c_;
    QByteArray entrada_;
    bool ocupada_ = false;
    bool respondiendo_ = false;
    bool cerrarAlFinal_ = false;
    bool colgada_ = false;
    qsizetype indice_ = 0;
    QByteArray resto_;
    std::unique_ptr<QFile> archivo_;
    QByteArray molde_;
    qint64 repeticiones_ = 0;
    QTimer goteo_;
};

} // namespace

ServidorPrueba::ServidorPrueba(Certificado certificado, Hilo hilo, QObject* parent)
    : QObject(parent), d(std::make_unique<Datos>()) {
    const ArchivosCertificados& a = archivosCertificados();
    const bool confiable = certificado == Certificado::DeLaAutoridad;
    const QSslKey clave(leerPem(confiable ? a.clave : a.claveAjena), QSsl::Ec);
    const QList<QSslCertificate> cert =
        QSslCertificate::fromData(leerPem(confiable ? a.certificado : a.ajeno));
    if (clave.isNull() || cert.isEmpty())
        qFatal("servidor de prueba: certificado o clave ilegibles");
    Compartido* c = &d->compartido;
    c->tls = QSslConfiguration::defaultConfiguration();
    c->tls.setLocalCertificate(cert.first());
    c->tls.setPrivateKey(clave);
    c->tls.setPeerVerifyMode(QSslSocket::VerifyNone);
    // Without ALPN Qt's client falls back from HTTP/2 and may send a request twice.
    c->tls.setAllowedNextProtocols({QSslConfiguration::NextProtocolHttp1_1});

    auto escuchar = [this, c] {
        d->escucha = std::make_unique<Escucha>();
        d->escucha->alLlegar = [this, c](qintptr descriptor) {
            auto* socket = new QSslSocket;
            if (!socket->setSocketDescriptor(descriptor)) {
                delete socket;
                return;
            }
            {
                QMutexLocker cerrojo(&c->cerrojo);
                socket->setSslConfiguration(c->tls);
            }
            new Conexion(socket, c, d->escucha.get());
            socket->startServerEncryption();
        };
        if (!d->escucha->listen(QHostAddress::LocalHost, 0))
            qFatal("servidor de prueba: no se pudo escuchar: %s",
                   qPrintable(d->escucha->errorString()));
    };
    if (hilo == Hilo::Este) {
        escuchar();
        return;
    }
    d->enHilo.moveToThread(&d->hilo);
    d->hilo.start();
    QMetaObject::invokeMethod(&d->enHilo, escuchar, Qt::BlockingQueuedConnection);
}

ServidorPrueba::~ServidorPrueba() {
    if (!d->hilo.isRunning()) return;
    // The listener and its connections go on the thread they live on.
    QMetaObject::invokeMethod(
        &d->enHilo, [this] { d->escucha.reset(); }, Qt::BlockingQueuedConnection);
    d->hilo.quit();
    d->hilo.wait();
}

quint16 ServidorPrueba::puerto() const {
    return d->escucha->serverPort();
}

QUrl ServidorPrueba::base() const {
    return QUrl(QStringLiteral("https://127.0.0.1:%1").arg(puerto()));
}

QUrl ServidorPrueba::baseLocalhost() const {
    return QUrl(QStringLiteral("https://localhost:%1").arg(puerto()));
}

void ServidorPrueba::ruta(const QByteArray& metodo, const QString& ruta, Respuesta respuesta) {
    QMutexLocker cerrojo(&d->compartido.cerrojo);
    d->compartido.rutas.insert(Clave(metodo, ruta), std::move(respuesta));
}

QList<Peticion> ServidorPrueba::peticiones() const {
    QMutexLocker cerrojo(&d->compartido.cerrojo);
    return d->compartido.peticiones;
}

void ServidorPrueba::olvidar() {
    QMutexLocker cerrojo(&d->compartido.cerrojo);
    d->compartido.peticiones.clear();
}

qint64 ServidorPrueba::enviados() const {
    return d->compartido.enviados;
}

void ServidorPrueba::ofrecerHttp2() {
    QMutexLocker cerrojo(&d->compartido.cerrojo);
    d->compartido.tls.setAllowedNextProtocols(
        {QSslConfiguration::ALPNProtocolHTTP2, QSslConfiguration::NextProtocolHttp1_1});
}

QList<QSslCertificate> ServidorPrueba::autoridad() {
    return QSslCertificate::fromPath(archivoAutoridad());
}

QString ServidorPrueba::archivoAutoridad() {
    return archivosCertificados().autoridad;
}
QString ServidorPrueba::archivoCertificado() {
    return archivosCertificados().certificado;
}
QString ServidorPrueba::archivoClave() {
    return archivosCertificados().clave;
}
