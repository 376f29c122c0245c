// Store sign-in and sign-up against the store service's "v1/cuenta".
#include "core/failure.h"
#include "core/store.h"
#include "service/direccion.h"
#include "service/red.h"

#include <QJsonDocument>
#include <QTimer>

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
    setBusy(true);
    // Posted, so the request starts after entrarCasa has returned.
    QTimer::singleShot(0, this, [this, email = email.trimmed(), password, crear] {
        entrarEnCasa(QPointer<Store>(this), email, password, crear);
    });
}

QCoro::Task<> Store::entrarEnCasa(QPointer<Store> store, QString email, QString password,
                                  bool crear) {
    // Nobody awaits this coroutine: everything it throws is caught here, and every way
    // through it ends with exactly one status message and busy cleared.
    QString mensaje;
    try {
        const QString accion = crear ? QStringLiteral("crear") : QStringLiteral("entrar");
        const QJsonObject respuesta = co_await store->cuentaCasa(accion, email, password);
        if (!store) co_return;
        const QJsonValue ok = respuesta.value(QLatin1String("ok"));
        const QJsonValue token = respuesta.value(QLatin1String("token"));
        if (ok.isBool() && ok.toBool() && token.isString() && !token.toString().isEmpty()) {
            const QJsonValue correo = respuesta.value(QLatin1String("email"));
            store->abrir(correo.isString() ? correo.toString() : email, token.toString());
            mensaje =
                QStringLiteral("Sesión de la tienda abierta. Baja los plugins que compraste.");
        } else {
            const QJsonValue error = respuesta.value(QLatin1String("error"));
            mensaje = error.isString() ? error.toString()
                                       : QStringLiteral("No se pudo entrar a la tienda.");
        }
    } catch (...) {
        mensaje = descripcionDe(std::current_exception());
    }
    if (!store) co_return;
    store->setStatus(mensaje);
    store->setBusy(false);
}
