// tienda-local: a store service for the tests and the demo, over HTTPS on 127.0.0.1.
//   tienda-local --puerto N --certificado cert.pem --clave key.pem --datos CARPETA
#include "servicio.h"

#include <QCoreApplication>
#include <QFile>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>

#include <cstdio>

namespace {

[[noreturn]] void salir(const QString& texto) {
    std::fprintf(stderr, "tienda-local: %s\n", qPrintable(texto));
    std::exit(2);
}

// A certificate or key file: small, so anything larger is not one.
QByteArray leer(const QString& ruta) {
    constexpr qint64 tamanoMaximo = 1 << 20;
    QFile f(ruta);
    if (!f.open(QIODevice::ReadOnly)) salir(ruta + QStringLiteral(": ") + f.errorString());
    QByteArray contenido = f.read(tamanoMaximo + 1);
    if (contenido.size() > tamanoMaximo) salir(ruta + QStringLiteral(": too large for a PEM file"));
    return contenido;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QString certificado, clave, datos;
    int puerto = 0;
    const QStringList args = app.arguments();
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString valor = args.value(i + 1);
        if (i + 1 >= args.size()) salir(QStringLiteral("missing value for ") + args[i]);
        bool numero = true;
        if (args[i] == QLatin1String("--puerto"))
            puerto = valor.toInt(&numero);
        else if (args[i] == QLatin1String("--certificado"))
            certificado = valor;
        else if (args[i] == QLatin1String("--clave"))
            clave = valor;
        else if (args[i] == QLatin1String("--datos"))
            datos = valor;
        else
            salir(QStringLiteral("unknown argument: ") + args[i]);
        if (!numero || puerto < 0 || puerto > 65535) salir(QStringLiteral("not a port: ") + valor);
        ++i;
    }
    if (certificado.isEmpty() || clave.isEmpty() || datos.isEmpty())
        salir(QStringLiteral("usage: tienda-local [--puerto N] --certificado PEM --clave PEM "
                             "--datos CARPETA"));

    const QList<QSslCertificate> cadena = QSslCertificate::fromData(leer(certificado));
    const QByteArray pemClave = leer(clave);
    QSslKey llave(pemClave, QSsl::Rsa);
    if (llave.isNull()) llave = QSslKey(pemClave, QSsl::Ec);
    if (cadena.isEmpty() || llave.isNull()) salir(QStringLiteral("unreadable certificate or key"));

    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    tls.setLocalCertificateChain(cadena);
    tls.setPrivateKey(llave);
    tls.setPeerVerifyMode(QSslSocket::VerifyNone);
    // Offer HTTP/1.1 by name: without ALPN Qt's client falls back from HTTP/2 and may send a
    // request twice.
    tls.setAllowedNextProtocols({QSslConfiguration::NextProtocolHttp1_1});

    ServicioTienda servicio{DatosTienda(datos)};
    servicio.sslSetup(tls);
    servicio.puerto = servicio.listen(QHostAddress::LocalHost, quint16(puerto));
    if (servicio.puerto == 0)
        salir(QStringLiteral("cannot listen on port ") + QString::number(puerto));

    std::printf("tienda-local listening on https://127.0.0.1:%u\n", unsigned(servicio.puerto));
    std::fflush(stdout);
    return app.exec();
}
