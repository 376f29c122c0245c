// Store sign-in and sign-up against the store service's "v1/cuenta".
#include "core/failure.h"
#include "core/guardia.h"
#include "core/store.h"
#include "service/direccion.h"
#include "service/red.h"

#include <QJsonDocument>

QCoro::Task<QJsonObject> Store::cuentaCasa(QString action, QString email, QString password) {
    Pedido pedido;
    pedido.metodo = "POST";
    const QStringList ruta{QStringLiteral("v1"), QStringLiteral("cuenta")};
    pedido.url = conRuta(servicio(), ruta);
    pedido.cabeceras.append(qMakePair(QByteArray("Content-Type"), QByteArray("application/json")));
    const QJsonObject cuerpo{{QStringLiteral("action"), action},
                             {QStringLiteral("email"), email},
                             {QStringLiteral("password"), password}};
    pedido.cuerpo = QJsonDocument(cuerpo).toJson(QJsonDocument::Compact);
    // The reply object decides, whatever the HTTP status.
    const Contestacion contestacion = co_await pedir(entorno_, std::move(pedido));
    co_return objetoJson(contestacion.cuerpo);
}

void Store::entrarCasa(const QString& email, const QString& password, bool crear) {
    run([this, email = email.trimmed(), password,
         crear](Cancelacion) { return entrarEnCasa(email, password, crear); },
        Alcance::Sesion);
}

QCoro::Task<> Store::entrarEnCasa(QString email, QString password, bool crear) {
    const QPointer<Store> vivo(this);
    const QString accion = crear ? QStringLiteral("crear") : QStringLiteral("entrar");
    const QJsonObject respuesta = co_await cuentaCasa(accion, email, password);
    sigueVivo(vivo);
    const QJsonValue ok = respuesta.value(QLatin1String("ok"));
    const QJsonValue token = respuesta.value(QLatin1String("token"));
    if (ok.isBool() && ok.toBool() && token.isString() && !token.toString().isEmpty()) {
        const QJsonValue correo = respuesta.value(QLatin1String("email"));
        abrir(correo.isString() ? correo.toString() : email, token.toString());
        setStatus(QStringLiteral("Sesión de la tienda abierta. Baja los plugins que compraste."));
        co_return;
    }
    setStatus(errorDelServicio(respuesta, QStringLiteral("No se pudo entrar a la tienda.")));
}
