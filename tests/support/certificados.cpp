// The test certificates: a CA, a server certificate it signs for 127.0.0.1 and localhost, and a
// self-signed one nobody trusts. Made with the openssl command once per process, so no private key
// is ever committed; the folder lives until the process ends.
#include "certificados.h"

#include "core/entorno.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

namespace {

const QStringList claveEc{QStringLiteral("-newkey"), QStringLiteral("ec"),
                          QStringLiteral("-pkeyopt"),
                          QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes")};

void openssl(const QString& carpeta, const QStringList& argumentos) {
    static const QString programa = QStandardPaths::findExecutable(QStringLiteral("openssl"));
    if (programa.isEmpty()) qFatal("certificados de prueba: falta el programa openssl");
    QProcess p;
    p.setWorkingDirectory(carpeta);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(programa, argumentos);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        qFatal("certificados de prueba: openssl %s falló: %s",
               qPrintable(argumentos.join(QLatin1Char(' '))), p.readAll().constData());
}

void escribirTexto(const QString& ruta, const QByteArray& texto) {
    QFile f(ruta);
    if (!f.open(QIODevice::WriteOnly) || f.write(texto) != texto.size())
        qFatal("certificados de prueba: no se pudo escribir %s", qPrintable(ruta));
}

ArchivosCertificados crear() {
    static QTemporaryDir dir; // removed when the process ends
    if (!dir.isValid()) qFatal("certificados de prueba: no hay carpeta temporal");
    const QString c = dir.path();
    const QString dias = QStringLiteral("3650");

    openssl(c, QStringList{QStringLiteral("req"), QStringLiteral("-x509")} + claveEc +
                   QStringList{QStringLiteral("-keyout"), QStringLiteral("ca.key"),
                               QStringLiteral("-out"), QStringLiteral("ca.pem"),
                               QStringLiteral("-days"), dias, QStringLiteral("-subj"),
                               QStringLiteral("/CN=Quelo Pruebas CA"), QStringLiteral("-addext"),
                               QStringLiteral("basicConstraints=critical,CA:TRUE"),
                               QStringLiteral("-addext"),
                               QStringLiteral("keyUsage=critical,keyCertSign,cRLSign")});

    openssl(c, QStringList{QStringLiteral("req")} + claveEc +
                   QStringList{QStringLiteral("-keyout"), QStringLiteral("servidor.key"),
                               QStringLiteral("-out"), QStringLiteral("servidor.csr"),
                               QStringLiteral("-subj"), QStringLiteral("/CN=127.0.0.1")});
    escribirTexto(c + QStringLiteral("/servidor.ext"),
                  "subjectAltName=IP:127.0.0.1,DNS:localhost\n"
                  "basicConstraints=CA:FALSE\n"
                  "keyUsage=critical,digitalSignature,keyEncipherment\n"
                  "extendedKeyUsage=serverAuth\n");
    openssl(c, QStringList{QStringLiteral("x509"), QStringLiteral("-req"), QStringLiteral("-in"),
                           QStringLiteral("servidor.csr"), QStringLiteral("-CA"),
                           QStringLiteral("ca.pem"), QStringLiteral("-CAkey"),
                           QStringLiteral("ca.key"), QStringLiteral("-set_serial"),
                           QStringLiteral("2"), QStringLiteral("-days"), dias,
                           QStringLiteral("-extfile"), QStringLiteral("servidor.ext"),
                           QStringLiteral("-out"), QStringLiteral("servidor.pem")});

    // Same names as the trusted one, so only the missing trust makes it fail.
    openssl(c, QStringList{QStringLiteral("req"), QStringLiteral("-x509")} + claveEc +
                   QStringList{QStringLiteral("-keyout"), QStringLiteral("ajeno.key"),
                               QStringLiteral("-out"), QStringLiteral("ajeno.pem"),
                               QStringLiteral("-days"), dias, QStringLiteral("-subj"),
                               QStringLiteral("/CN=127.0.0.1"), QStringLiteral("-addext"),
                               QStringLiteral("subjectAltName=IP:127.0.0.1,DNS:localhost")});

    return ArchivosCertificados{c + QStringLiteral("/ca.pem"), c + QStringLiteral("/servidor.pem"),
                                c + QStringLiteral("/servidor.key"),
                                c + QStringLiteral("/ajeno.pem"), c + QStringLiteral("/ajeno.key")};
}

} // namespace

const ArchivosCertificados& archivosCertificados() {
    static const ArchivosCertificados archivos = crear();
    return archivos;
}

QList<QSslCertificate> autoridadDePrueba() {
    return QSslCertificate::fromPath(archivosCertificados().autoridad);
}

void servicioDePrueba(Entorno& entorno, const QUrl& base) {
    entorno.servicio = base.toString();
    entorno.autoridades = autoridadDePrueba();
}
