#include "estatico.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

namespace {

// A port nobody listens on right now.
quint16 puertoLibre() {
    QTcpServer prueba;
    if (!prueba.listen(QHostAddress::LocalHost, 0)) return 0;
    return prueba.serverPort();
}

bool responde(quint16 puerto) {
    QTcpSocket s;
    s.connectToHost(QHostAddress::LocalHost, puerto);
    return s.waitForConnected(200);
}

} // namespace

ServidorEstatico::ServidorEstatico(const QString& carpeta, const QString& certificado,
                                   const QString& clave)
    : raiz_(carpeta + QStringLiteral("/www")) {
    const QString nginx = QStandardPaths::findExecutable(
        QStringLiteral("nginx"), {QStringLiteral("/usr/sbin"), QStringLiteral("/usr/local/sbin"),
                                  QStringLiteral("/usr/bin")});
    if (nginx.isEmpty()) {
        fallo_ = QStringLiteral("nginx is missing (scripts/setup installs it)");
        return;
    }
    const quint16 puerto = puertoLibre();
    QDir().mkpath(raiz_);
    QDir().mkpath(carpeta + QStringLiteral("/temporal"));
    // One process that does everything itself: no workers under another user, who could not
    // read a private temporary folder, and nothing left behind when it is stopped.
    const QString t = carpeta + QStringLiteral("/temporal");
    const QByteArray conf = QStringLiteral(R"(daemon off;
master_process off;
worker_processes 1;
pid %1/nginx.pid;
error_log %1/error.log;
events { worker_connections 64; }
http {
    access_log off;
    default_type application/octet-stream;
    client_body_temp_path %2/cuerpo;
    proxy_temp_path %2/proxy;
    fastcgi_temp_path %2/fastcgi;
    uwsgi_temp_path %2/uwsgi;
    scgi_temp_path %2/scgi;
    server {
        listen 127.0.0.1:%3 ssl;
        ssl_certificate %4;
        ssl_certificate_key %5;
        root %6;
        location /v1/ { default_type application/json; }
        location /v1/bajar/ { default_type application/zip; }
    }
}
)")
                                .arg(carpeta, t)
                                .arg(puerto)
                                .arg(certificado, clave, raiz_)
                                .toUtf8();
    const QString archivo = carpeta + QStringLiteral("/nginx.conf");
    QFile f(archivo);
    if (!f.open(QIODevice::WriteOnly) || f.write(conf) != conf.size() || !f.flush()) {
        fallo_ = QStringLiteral("cannot write ") + archivo;
        return;
    }
    f.close();
    nginx_.setProcessChannelMode(QProcess::MergedChannels);
    nginx_.start(nginx, {QStringLiteral("-p"), carpeta, QStringLiteral("-e"),
                         carpeta + QStringLiteral("/error.log"), QStringLiteral("-c"), archivo});
    QElapsedTimer reloj;
    reloj.start();
    while (reloj.elapsed() < 10000) {
        if (nginx_.state() == QProcess::NotRunning) break;
        if (responde(puerto)) {
            base_ = QStringLiteral("https://127.0.0.1:%1").arg(puerto);
            return;
        }
        QThread::msleep(20);
    }
    nginx_.waitForFinished(100);
    QFile log(carpeta + QStringLiteral("/error.log"));
    log.open(QIODevice::ReadOnly);
    fallo_ = QStringLiteral("nginx did not start: ") +
             QString::fromLocal8Bit(nginx_.readAll() + log.readAll()).simplified();
}

ServidorEstatico::~ServidorEstatico() {
    if (nginx_.state() == QProcess::NotRunning) return;
    nginx_.terminate();
    if (!nginx_.waitForFinished(5000)) {
        nginx_.kill();
        nginx_.waitForFinished(5000);
    }
}
