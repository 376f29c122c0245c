#include "cliente.h"

#include "certificados.h"

#include <QNetworkAccessManager>
#include <QSignalSpy>
#include <QSslConfiguration>

QUrl en(const QUrl& base, const QString& ruta) {
    return QUrl(base.toString() + ruta, QUrl::StrictMode);
}

Recibido pedir(const QByteArray& metodo, const QUrl& url, const QByteArray& cuerpo,
               const QList<QPair<QByteArray, QByteArray>>& cabeceras,
               std::chrono::milliseconds tiempoLimite,
               QNetworkRequest::RedirectPolicy redirecciones) {
    QNetworkAccessManager red;
    QNetworkRequest peticion(url);
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    tls.addCaCertificates(autoridadDePrueba());
    peticion.setSslConfiguration(tls);
    for (const auto& [nombre, valor] : cabeceras)
        peticion.setRawHeader(nombre, valor);
    peticion.setAttribute(QNetworkRequest::RedirectPolicyAttribute, redirecciones);
    if (tiempoLimite.count() > 0) peticion.setTransferTimeout(int(tiempoLimite.count()));

    QNetworkReply* reply = metodo == "GET"    ? red.get(peticion)
                           : metodo == "POST" ? red.post(peticion, cuerpo)
                                              : red.sendCustomRequest(peticion, metodo, cuerpo);
    Recibido r;
    QObject::connect(reply, &QNetworkReply::readyRead, reply,
                     [reply, &r] { r.cuerpo += reply->readAll(); });
    QSignalSpy fin(reply, &QNetworkReply::finished);
    r.terminado = fin.wait(20000);
    QObject::disconnect(reply, &QNetworkReply::readyRead, reply, nullptr);
    if (reply->isOpen()) r.cuerpo += reply->readAll();
    r.error = reply->error();
    r.estado = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    r.cabeceras = reply->rawHeaderPairs();
    r.url = reply->url();
    return r;
}
