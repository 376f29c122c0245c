// Downloading one 200 MB package from the local store service over loopback HTTPS, with
// bajarComprados, against curl + bsdtar + cp -a of the same package. The Store runs in a child
// process of its own, so its peak resident memory is the download's alone.
#include "core/store.h"
#include "install/destinos.h"
#include "install/procesos.h"
#include "medir.h"
#include "proceso.h"

#include <QCoreApplication>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSslCertificate>
#include <QTemporaryDir>

#include <cstdio>

// Signs the store in with a token the service gave, as a store sign-in would.
struct PruebaStore {
    static void entrar(Store& s, const QString& email, const QString& token) {
        s.setCuentaEmail(email);
        s.setTokenCasa(token);
    }
};

namespace {

const QString correo = QStringLiteral("ana@example.com");

// The child: one bajarComprados on a fresh Store. Prints its time, its peak resident memory and
// the longest gap of a 10 ms timer, or the status it ended with.
int hijo(const QStringList& a) {
    // --hijo SERVICIO CA TOKEN CARPETA
    Store store(entornoDeCliente(a.value(2), a.value(3), a.value(5)));
    store.load();
    PruebaStore::entrar(store, correo, a.value(4));
    const long antes = memoriaKb("VmHWM");
    Pulso pulso;
    QElapsedTimer reloj;
    reloj.start();
    store.bajarComprados();
    esperarLibre(store);
    const double t = reloj.nsecsElapsed() / 1e6;
    if (!store.status().startsWith(QStringLiteral("Listos 1 plugins"))) {
        std::printf("fallo %s\n", qPrintable(store.status()));
        return 1;
    }
    std::printf("ms %.1f hwm_kb %ld antes_kb %ld hueco_ms %.1f\n", t, memoriaKb("VmHWM"), antes,
                pulso.maximoMs());
    return 0;
}

QByteArray correr(const QString& programa, const QStringList& argumentos, QString* fallo) {
    QProcess p;
    p.setProcessChannelMode(QProcess::SeparateChannels);
    p.start(programa, argumentos);
    if (!p.waitForFinished(600000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        if (fallo && fallo->isEmpty())
            *fallo = programa + QStringLiteral(": ") +
                     QString::fromLocal8Bit(p.readAllStandardError()).trimmed() +
                     QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
    }
    return p.readAllStandardOutput();
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (app.arguments().value(1) == QLatin1String("--hijo")) return hijo(app.arguments());

    const QString que = QStringLiteral(
        "Bajar comprados: un paquete de 200 MB de `tienda-local` por HTTPS en loopback, frente a "
        "`curl -o` + `bsdtar -xf` + `cp -a`");
    auto noMedido = [&](const QString& por) {
        fila(que, QStringLiteral("—"), QStringLiteral("≤ 1.2×; pico ≤ 100 MB"),
             QStringLiteral("NO se pudo medir: ") + por);
        return 1;
    };

    // Everything on one file system: the store's data, the downloads and the home.
    QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/quelo-bench-XXXXXX"));
    const QString datos = dir.filePath(QStringLiteral("tienda"));
    const QString cliente = dir.filePath(QStringLiteral("cliente"));
    const QString home = cliente + QStringLiteral("/home");
    const QString temporal = cliente + QStringLiteral("/tmp");
    const Plugin plugin = pluginGrande();
    crearBundleGrande(datos + QStringLiteral("/paquetes/grande/Grande.vst3"), 1);
    crearBundleGrande(datos + QStringLiteral("/paquetes/grande/Grande.component"), 2);
    escribirArchivo(datos + QStringLiteral("/compras.json"),
                    QJsonDocument(QJsonObject{{correo, QJsonArray{plugin.id}}}).toJson());
    escribirArchivo(cliente + QStringLiteral("/app/Resources/catalogo.json"),
                    jsonCatalogo({plugin}));

    // A self-signed certificate for 127.0.0.1, trusted by the client as its extra authority.
    QString fallo;
    const QString certificado = dir.filePath(QStringLiteral("certificado.pem"));
    const QString clave = dir.filePath(QStringLiteral("clave.pem"));
    correr(QStringLiteral("openssl"),
           {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
            QStringLiteral("ec"), QStringLiteral("-pkeyopt"),
            QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes"),
            QStringLiteral("-days"), QStringLiteral("2"), QStringLiteral("-subj"),
            QStringLiteral("/CN=127.0.0.1"), QStringLiteral("-addext"),
            QStringLiteral("subjectAltName=IP:127.0.0.1,DNS:localhost"), QStringLiteral("-keyout"),
            clave, QStringLiteral("-out"), certificado},
           &fallo);
    if (!fallo.isEmpty()) return noMedido(fallo);

    QProcess tienda;
    tienda.setStandardErrorFile(QProcess::nullDevice());
    tienda.start(QStringLiteral(QUELO_TIENDA_LOCAL),
                 {QStringLiteral("--puerto"), QStringLiteral("0"), QStringLiteral("--certificado"),
                  certificado, QStringLiteral("--clave"), clave, QStringLiteral("--datos"), datos});
    if (!tienda.waitForReadyRead(20000)) return noMedido(QStringLiteral("tienda-local no arrancó"));
    const QString linea = QString::fromUtf8(tienda.readLine()).trimmed();
    const QString servicio = linea.section(QLatin1Char(' '), -1);
    if (!servicio.startsWith(QStringLiteral("https://127.0.0.1:")))
        return noMedido(QStringLiteral("tienda-local dijo: ") + linea);

    // An account made through the service itself, and its bearer token.
    const QByteArray alta =
        QJsonDocument(
            QJsonObject{{"action", "crear"}, {"email", correo}, {"password", "contrasena-larga"}})
            .toJson(QJsonDocument::Compact);
    const QByteArray respuesta = correr(
        QStringLiteral("curl"),
        {QStringLiteral("-sS"), QStringLiteral("--cacert"), certificado, QStringLiteral("-H"),
         QStringLiteral("Content-Type: application/json"), QStringLiteral("--data-binary"),
         QString::fromUtf8(alta), servicio + QStringLiteral("/v1/cuenta")},
        &fallo);
    const QString token = QJsonDocument::fromJson(respuesta).object().value("token").toString();
    if (token.isEmpty()) return noMedido(QStringLiteral("sin cuenta en la tienda: ") + fallo);

    const QString destVst3 = *destinoDescarga(home, plugin.category, plugin.vst3);
    const QString destAu = *destinoDescarga(home, plugin.category, plugin.au);
    QList<double> app_, base, huecos, picos, primerByte;
    auto porStore = [&] {
        limpiar(cliente + QStringLiteral("/home/Library"));
        const QStringList partes =
            QString::fromUtf8(
                correr(QCoreApplication::applicationFilePath(),
                       {QStringLiteral("--hijo"), servicio, certificado, token, cliente}, &fallo))
                .simplified()
                .split(QLatin1Char(' '));
        if (partes.size() < 8 || partes[0] != QLatin1String("ms")) {
            if (fallo.isEmpty()) fallo = partes.join(QLatin1Char(' '));
            return;
        }
        app_.append(partes[1].toDouble());
        picos.append(partes[3].toDouble() * 1024 / 1e6);
        huecos.append(partes[7].toDouble());
    };
    auto porHerramientas = [&] {
        limpiar(cliente + QStringLiteral("/home/Library"));
        limpiar(temporal);
        QDir().mkpath(temporal + QStringLiteral("/x"));
        QDir().mkpath(QFileInfo(destVst3).absolutePath());
        QDir().mkpath(QFileInfo(destAu).absolutePath());
        const QString zip = temporal + QStringLiteral("/grande.zip");
        QElapsedTimer reloj;
        reloj.start();
        const QByteArray curl =
            correr(QStringLiteral("curl"),
                   {QStringLiteral("-sS"), QStringLiteral("--cacert"), certificado,
                    QStringLiteral("-H"), QStringLiteral("Authorization: Bearer ") + token,
                    QStringLiteral("-w"), QStringLiteral("%{time_starttransfer}"),
                    QStringLiteral("-o"), zip, servicio + QStringLiteral("/v1/bajar/grande")},
                   &fallo);
        correr(QStringLiteral("bsdtar"),
               {QStringLiteral("-xf"), zip, QStringLiteral("-C"), temporal + QStringLiteral("/x")},
               &fallo);
        correr(QStringLiteral("/bin/cp"),
               {QStringLiteral("-a"), temporal + QStringLiteral("/x/Grande.vst3"), destVst3},
               &fallo);
        correr(QStringLiteral("/bin/cp"),
               {QStringLiteral("-a"), temporal + QStringLiteral("/x/Grande.component"), destAu},
               &fallo);
        base.append(reloj.nsecsElapsed() / 1e6);
        primerByte.append(curl.toDouble() * 1000);
    };
    const int veces = 3;
    for (int i = 0; i < veces && fallo.isEmpty(); ++i) {
        if (i % 2) {
            porHerramientas();
            porStore();
        } else {
            porStore();
            porHerramientas();
        }
    }
    tienda.terminate();
    tienda.waitForFinished(5000);
    if (!fallo.isEmpty() || app_.isEmpty() || base.isEmpty()) return noMedido(fallo);

    const double t = mediana(app_), b = mediana(base), razon = t / b, pico = mediana(picos);
    const bool cumple = razon <= 1.2 && pico <= 100;
    fila(que,
         QStringLiteral("%1 s frente a %2 s (×%3); pico residente %4 MB")
             .arg(t / 1000, 0, 'f', 2)
             .arg(b / 1000, 0, 'f', 2)
             .arg(razon, 0, 'f', 2)
             .arg(pico, 0, 'f', 1),
         QStringLiteral("≤ 1.2×; pico ≤ 100 MB"),
         (cumple ? QStringLiteral("cumple") : QStringLiteral("NO cumple")) +
             QStringLiteral("; mediana de %1 de cada, alternos; la tienda tarda %2 s en "
                            "empaquetar antes del primer byte, igual para los dos")
                 .arg(veces)
                 .arg(mediana(primerByte) / 1000, 0, 'f', 2));
    const double peor = *std::max_element(huecos.begin(), huecos.end());
    fila(QStringLiteral("Hueco más largo de un temporizador de 10 ms durante esa descarga"),
         ms(peor), QStringLiteral("≤ 50 ms"),
         (peor <= 50 ? QStringLiteral("cumple") : QStringLiteral("NO cumple")) +
             QStringLiteral("; el peor de %1 descargas (mediana %2)")
                 .arg(veces)
                 .arg(ms(mediana(huecos))));
    return 0;
}
