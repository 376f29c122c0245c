// A minimal HTTP/1.1 server over TLS for the tests: enough of the protocol for Qt's client
// (keep-alive, Content-Length bodies), plus the misbehaviours the tests need to provoke.
#include "servidor.h"

#include "certificados.h"

#include <QFile>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslSocket>
#include <QTcpServer>
#include <QTimer>

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

struct ServidorPrueba::Datos {
    Escucha escucha; // parent of every connection, so they go with it
    QSslConfiguration tls;
    QMap<Clave, Respuesta> rutas;
    QList<Peticion> peticiones;
};

namespace {

// One client connection: parses requests one at a time and answers each before reading the next.
class Conexion : public QObject {
public:
    Conexion(QSslSocket* socket, QMap<Clave, Respuesta>* rutas, QList<Peticion>* registro,
             QObject* padre)
        : QObject(padre), socket_(socket), rutas_(rutas), registro_(registro) {
        socket_->setParent(this);
        connect(socket_, &QSslSocket::readyRead, this, &Conexion::leer);
        connect(socket_, &QSslSocket::bytesWritten, this, &Conexion::seguirArchivo);
        connect(socket_, &QSslSocket::disconnected, this, &QObject::deleteLater);
        connect(socket_, &QSslSocket::errorOccurred, this, [this] {
            if (socket_->state() == QAbstractSocket::UnconnectedState) deleteLater();
        });
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
            entrada_.remove(0, fin + 4 + largo);
            registro_->append(p);

            Respuesta r = rutas_->value(Clave(p.metodo, p.ruta), respuestaDesconocida());
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
        QByteArray cuerpo = r.cuerpo;
        qint64 largo = cuerpo.size();
        if (!r.archivo.isEmpty()) {
            archivo_ = std::make_unique<QFile>(r.archivo);
            if (!archivo_->open(QIODevice::ReadOnly))
                qFatal("servidor de prueba: no se pudo abrir %s", qPrintable(r.archivo));
            largo = archivo_->size();
        }
        QByteArray cabecera =
            "HTTP/1.1 " + QByteArray::number(r.estado) + ' ' + razon(r.estado) + "\r\n";
        for (const auto& [nombre, valor] : r.cabeceras)
            cabecera += nombre + ": " + valor + "\r\n";
        if (r.sinLongitud)
            cabecera += "Connection: close\r\n";
        else
            cabecera += "Content-Length: " + QByteArray::number(largo) + "\r\n";
        cabecera += "\r\n";
        socket_->write(cabecera);

        if (r.colgar) {
            // Half the body, then silence on an open connection; later requests are never read.
            const qint64 mitad = largo / 2;
            socket_->write(archivo_ ? archivo_->read(mitad) : cuerpo.left(mitad));
            archivo_.reset();
            return;
        }
        cerrarAlFinal_ = r.sinLongitud;
        if (archivo_) {
            seguirArchivo();
            return;
        }
        socket_->write(cuerpo);
        terminar();
    }

    // Feeds the file a piece at a time as the socket drains, so large bodies really stream.
    void seguirArchivo() {
        if (!archivo_) return;
        while (socket_->bytesToWrite() < 256 * 1024) {
            const QByteArray trozo = archivo_->read(64 * 1024);
            if (trozo.isEmpty()) {
                archivo_.reset();
                terminar();
                return;
            }
            socket_->write(trozo);
        }
    }

    void terminar() {
        if (cerrarAlFinal_) {
            socket_->disconnectFromHost(); // after the pending bytes are written
            return;
        }
        ocupada_ = false;
    }

    QSslSocket* socket_;
    QMap<Clave, Respuesta>* rutas_;
    QList<Peticion>* registro_;
    QByteArray entrada_;
    bool ocupada_ = false;
    bool cerrarAlFinal_ = false;
    std::unique_ptr<QFile> archivo_;
};

} // namespace

ServidorPrueba::ServidorPrueba(Certificado certificado, QObject* parent)
    : QObject(parent), d(std::make_unique<Datos>()) {
    const ArchivosCertificados& a = archivosCertificados();
    const bool confiable = certificado == Certificado::DeLaAutoridad;
    const QSslKey clave(leerPem(confiable ? a.clave : a.claveAjena), QSsl::Ec);
    const QList<QSslCertificate> cert =
        QSslCertificate::fromData(leerPem(confiable ? a.certificado : a.ajeno));
    if (clave.isNull() || cert.isEmpty())
        qFatal("servidor de prueba: certificado o clave ilegibles");
    d->tls = QSslConfiguration::defaultConfiguration();
    d->tls.setLocalCertificate(cert.first());
    d->tls.setPrivateKey(clave);
    d->tls.setPeerVerifyMode(QSslSocket::VerifyNone);
    // Without ALPN Qt's client falls back from HTTP/2 and may send a request twice.
    d->tls.setAllowedNextProtocols({QSslConfiguration::NextProtocolHttp1_1});

    d->escucha.alLlegar = [this](qintptr descriptor) {
        auto* socket = new QSslSocket;
        if (!socket->setSocketDescriptor(descriptor)) {
            delete socket;
            return;
        }
        socket->setSslConfiguration(d->tls);
        new Conexion(socket, &d->rutas, &d->peticiones, &d->escucha);
        socket->startServerEncryption();
    };
    if (!d->escucha.listen(QHostAddress::LocalHost, 0))
        qFatal("servidor de prueba: no se pudo escuchar: %s", qPrintable(d->escucha.errorString()));
}

ServidorPrueba::~ServidorPrueba() = default;

quint16 ServidorPrueba::puerto() const {
    return d->escucha.serverPort();
}

QUrl ServidorPrueba::base() const {
    return QUrl(QStringLiteral("https://127.0.0.1:%1").arg(puerto()));
}

QUrl ServidorPrueba::baseLocalhost() const {
    return QUrl(QStringLiteral("https://localhost:%1").arg(puerto()));
}

void ServidorPrueba::ruta(const QByteArray& metodo, const QString& ruta, Respuesta respuesta) {
    d->rutas.insert(Clave(metodo, ruta), std::move(respuesta));
}

QList<Peticion> ServidorPrueba::peticiones() const {
    return d->peticiones;
}

void ServidorPrueba::olvidar() {
    d->peticiones.clear();
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
