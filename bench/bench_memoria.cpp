// Peak resident memory while a server sends a lot, with the window's thread kept busy: one 1 GB
// package downloaded and installed by bajarComprados, and a 1 GB reply to "v1/salud". The
// server runs on a thread of the parent; the Store runs in a child of its own, so its peak
// resident memory is the download's alone.
#include "certificados.h"
#include "core/store.h"
#include "medir.h"
#include "paquete.h"
#include "proceso.h"
#include "servidor.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>
#include <optional>

// Signs the store in with a token, as a store sign-in would.
struct PruebaStore {
    static void entrar(Store& s) {
        s.setCuentaEmail(QStringLiteral("ana@example.com"));
        s.setTokenCasa(QStringLiteral("tok"));
    }
};

namespace {

constexpr qint64 mega = 1024 * 1024;
constexpr qint64 gigabyte = 1024 * mega;
constexpr int ocupadoMs = 40; // of every 50
const QString ocupacion =
    QStringLiteral("the window's thread kept from its events 40 ms of every 50");

// The child: one bajarComprados on a fresh Store, its window's thread kept busy. Prints its
// time and its peak resident memory, or the status it ended with when that is not `espera`.
int hijo(const QStringList& a) {
    // --hijo SERVICIO CA CARPETA ESPERA
    Store store(entornoDeCliente(a.value(2), a.value(3), a.value(4)));
    store.load();
    PruebaStore::entrar(store);
    const long antes = memoriaKb("VmHWM");

    QTimer ocupado; // a window busy drawing most of the time
    QObject::connect(&ocupado, &QTimer::timeout, [] { QThread::msleep(ocupadoMs); });
    ocupado.start(50);
    QElapsedTimer reloj;
    reloj.start();
    store.bajarComprados();
    esperarLibre(store);
    const double t = reloj.nsecsElapsed() / 1e9;
    if (!store.status().startsWith(a.value(5))) {
        std::printf("failed: %s\n", qPrintable(store.status()));
        return 1;
    }
    std::printf("s %.1f hwm_kb %ld antes_kb %ld\n", t, memoriaKb("VmHWM"), antes);
    return 0;
}

struct Medida {
    double segundos = 0, picoMb = 0, antesMb = 0;
};

std::optional<Medida> correrHijo(const QString& servicio, const QString& carpeta,
                                 const QString& espera, QString* fallo) {
    QProcess p;
    p.start(
        QCoreApplication::applicationFilePath(),
        {QStringLiteral("--hijo"), servicio, archivosCertificados().autoridad, carpeta, espera});
    if (!p.waitForFinished(900000)) {
        *fallo = QStringLiteral("the child did not finish");
        return std::nullopt;
    }
    const QStringList partes =
        QString::fromUtf8(p.readAllStandardOutput()).simplified().split(QLatin1Char(' '));
    if (partes.size() < 6 || partes[0] != QLatin1String("s")) {
        *fallo = partes.join(QLatin1Char(' ')) +
                 QString::fromLocal8Bit(p.readAllStandardError()).trimmed();
        return std::nullopt;
    }
    return Medida{partes[1].toDouble(), partes[3].toDouble() * 1024 / 1e6,
                  partes[5].toDouble() * 1024 / 1e6};
}

QString veredicto(double picoMb) {
    return picoMb <= 100 ? QStringLiteral("met") : QStringLiteral("NOT met");
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (app.arguments().value(1) == QLatin1String("--hijo")) return hijo(app.arguments());

    const QString quePaquete =
        QStringLiteral("Peak memory downloading and installing a 1 GB package over HTTPS on "
                       "loopback, with ") +
        ocupacion;
    const QString queSalud =
        QStringLiteral("Peak memory while a server sends 1 GB to `v1/salud`, with ") + ocupacion;
    const QString objetivo = QStringLiteral("peak ≤ 100 MB");

    QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/quelo-bench-XXXXXX"));
    const QString cliente = dir.filePath(QStringLiteral("cliente"));
    const QString paquete = dir.filePath(QStringLiteral("grande.zip"));
    escribirArchivo(cliente + QStringLiteral("/app/Resources/catalogo.json"),
                    jsonCatalogo({pluginGrande()}));
    escribirPaquete(paquete, gigabyte, 16); // files of 64 MiB

    // The house is the service itself; it serves from a thread of its own.
    ServidorPrueba servidor(ServidorPrueba::Certificado::DeLaAutoridad,
                            ServidorPrueba::Hilo::Propio);
    const QString servicio = servidor.base().toString();
    Pauta salud;
    salud.cuerpo = "{\"descarga\": \"" + servicio.toUtf8() + "\"}";
    servidor.ruta("GET", QStringLiteral("/v1/salud"), salud);
    servidor.ruta("GET", QStringLiteral("/v1/mios"),
                  Pauta{.cuerpo = R"({"ok": true, "plugins": [{"id": "grande"}]})"});
    servidor.ruta("GET", QStringLiteral("/v1/bajar/grande"), Pauta{.archivo = paquete});
    // Another service whose "v1/salud" is a gigabyte long.
    ServidorPrueba enorme(ServidorPrueba::Certificado::DeLaAutoridad, ServidorPrueba::Hilo::Propio);
    Pauta gigante;
    gigante.cuerpo = QByteArray(64 * 1024, ' ');
    gigante.repetir = gigabyte / gigante.cuerpo.size();
    enorme.ruta("GET", QStringLiteral("/v1/salud"), gigante);

    const int veces = 3;
    QString fallo;
    QList<double> picos, antes, tiempos;
    for (int i = 0; i < veces && fallo.isEmpty(); ++i) {
        limpiar(cliente + QStringLiteral("/home"));
        if (const auto m =
                correrHijo(servicio, cliente, QStringLiteral("Listos 1 plugins"), &fallo)) {
            picos.append(m->picoMb);
            antes.append(m->antesMb);
            tiempos.append(m->segundos);
        }
    }
    if (fallo.isEmpty()) {
        const double pico = mediana(picos);
        fila(quePaquete,
             QStringLiteral("peak resident %1 MB (%2 MB before starting); %3 s")
                 .arg(pico, 0, 'f', 1)
                 .arg(mediana(antes), 0, 'f', 1)
                 .arg(mediana(tiempos), 0, 'f', 1),
             objetivo,
             veredicto(pico) + QStringLiteral("; median of %1; uncompressed ZIP package of two "
                                              "bundles, served over HTTP/1.1")
                                   .arg(veces));
    } else {
        fila(quePaquete, QStringLiteral("—"), objetivo, QStringLiteral("NOT measured: ") + fallo);
    }
    limpiar(cliente + QStringLiteral("/home"));

    fallo.clear();
    picos.clear();
    QList<double> enviados;
    for (int i = 0; i < veces && fallo.isEmpty(); ++i) {
        const qint64 antesDeEste = enorme.enviados();
        if (const auto m = correrHijo(enorme.base().toString(), cliente,
                                      QStringLiteral("Esta Mac todavía no publica"), &fallo)) {
            picos.append(m->picoMb);
            enviados.append(double(enorme.enviados() - antesDeEste) / mega);
        }
    }
    if (fallo.isEmpty()) {
        const double pico = mediana(picos);
        fila(queSalud, QStringLiteral("peak resident %1 MB").arg(pico, 0, 'f', 1), objetivo,
             veredicto(pico) + QStringLiteral("; median of %1; the answer is dropped at 4 MiB (the "
                                              "server got to send %2 MB)")
                                   .arg(veces)
                                   .arg(mediana(enviados), 0, 'f', 1));
    } else {
        fila(queSalud, QStringLiteral("—"), objetivo, QStringLiteral("NOT measured: ") + fallo);
    }
    return 0;
}
