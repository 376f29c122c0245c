#pragma once

#include "datos.h"
#include "paquetes.h"
#include "tokens.h"

#include <QAbstractHttpServer>
#include <QJsonObject>

class QHttpServerResponder;

// The store service over HTTPS: accounts, the download-house address and the account's
// packages, each listed with its SHA-256 and length. Tokens are kept in the data folder, so a
// restart signs no client out; packages are zipped into its hidden folder ".zips".
class ServicioTienda : public QAbstractHttpServer {
public:
    explicit ServicioTienda(DatosTienda datos, QObject* parent = nullptr);
    quint16 puerto = 0; // where it listens, for the address it publishes

protected:
    bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override;
    void missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) override;

private:
    void cuenta(const QHttpServerRequest& request, QHttpServerResponder& responder);
    void salud(const QHttpServerRequest& request, QHttpServerResponder& responder);
    void mios(const QHttpServerRequest& request, QHttpServerResponder& responder);
    void bajar(const QHttpServerRequest& request, const QString& id,
               QHttpServerResponder& responder);
    // The e-mail the request's bearer token belongs to, or empty.
    QString titular(const QHttpServerRequest& request) const;

    DatosTienda datos_;
    TokensTienda tokens_;
    PaquetesHechos paquetes_;
};
