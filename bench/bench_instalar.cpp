// Installing one plug-in from the project folder, two bundles of 200 MB in 2,000 files in all,
// against copying the same two bundles with cp -a; and how long the window's thread goes
// without its events meanwhile.
#include "core/store.h"
#include "install/destinos.h"
#include "install/procesos.h"
#include "medir.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    // The project folder and the home on one file system, as on the maker's machine.
    QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/quelo-bench-XXXXXX"));
    const QString proyecto = dir.filePath(QStringLiteral("proyecto"));
    // The platform's own copy and quarantine tools, as the application runs them.
    Entorno e = Entorno::delSistema();
    e.bundle = proyecto + QStringLiteral("/QueloInstalador");
    e.recursos = e.bundle + QStringLiteral("/Resources");
    e.home = dir.filePath(QStringLiteral("home"));
    e.temporal = dir.filePath(QStringLiteral("tmp"));

    Plugin plugin;
    plugin.id = QStringLiteral("grande");
    plugin.name = QStringLiteral("Grande");
    plugin.category = QStringLiteral("Reverb");
    plugin.manufacturer = QStringLiteral("Quelo DSP");
    plugin.vst3 = QStringLiteral("Juce Pugins creacion/Grande/Grande.vst3");
    plugin.au = QStringLiteral("Juce Pugins creacion/Grande/Grande.component");
    escribirArchivo(e.recursos + QStringLiteral("/catalogo.json"), jsonCatalogo({plugin}));
    const QString vst3 = proyecto + QLatin1Char('/') + plugin.vst3;
    const QString au = proyecto + QLatin1Char('/') + plugin.au;
    crearBundleGrande(vst3, 1);
    crearBundleGrande(au, 2);

    Store store(e);
    store.load();
    const QString destVst3 = *destinoVst3(e.home, plugin), destAu = *destinoAu(e.home, plugin);

    QList<double> instalar, copiar, huecos;
    QString fallo;
    auto porInstalar = [&] {
        limpiar(e.home + QStringLiteral("/Library"));
        Pulso pulso;
        QElapsedTimer reloj;
        reloj.start();
        store.install(store.plugins().first());
        esperarLibre(store);
        instalar.append(reloj.nsecsElapsed() / 1e6);
        huecos.append(pulso.maximoMs());
        if (!store.status().startsWith(QStringLiteral("Grande instalado."))) fallo = store.status();
    };
    auto porCp = [&] {
        limpiar(e.home + QStringLiteral("/Library"));
        QElapsedTimer reloj;
        reloj.start();
        for (const auto& [origen, destino] : {std::pair{vst3, destVst3}, std::pair{au, destAu}}) {
            QDir().mkpath(QFileInfo(destino).absolutePath());
            if (QProcess::execute(QStringLiteral("/bin/cp"),
                                  {QStringLiteral("-a"), origen, destino}))
                fallo = QStringLiteral("cp -a falló");
        }
        copiar.append(reloj.nsecsElapsed() / 1e6);
    };
    // Alternating which goes first, so neither always finds the other's leftovers.
    const int veces = 5;
    for (int i = 0; i < veces; ++i) {
        if (i % 2) {
            porCp();
            porInstalar();
        } else {
            porInstalar();
            porCp();
        }
    }
    limpiar(e.home + QStringLiteral("/Library"));

    const QString que = QStringLiteral(
        "Instalar del proyecto: 2 bundles, 200 MB en 2,000 archivos, frente a `cp -a`");
    if (!fallo.isEmpty()) {
        fila(que, QStringLiteral("—"), QStringLiteral("≤ 1.1× `cp -a`"),
             QStringLiteral("NO se pudo medir: ") + fallo);
        return 1;
    }
    const double t = mediana(instalar), base = mediana(copiar), razon = t / base;
    fila(que,
         QStringLiteral("%1 s frente a %2 s (×%3)")
             .arg(t / 1000, 0, 'f', 2)
             .arg(base / 1000, 0, 'f', 2)
             .arg(razon, 0, 'f', 2),
         QStringLiteral("≤ 1.1× `cp -a`"),
         (razon <= 1.1 ? QStringLiteral("cumple") : QStringLiteral("NO cumple")) +
             QStringLiteral("; mediana de %1 de cada, alternos, con la caché de escritura vaciada "
                            "antes de cada uno")
                 .arg(veces));
    // Judged on the worst round: one long stall is what a user would notice.
    const double peor = *std::max_element(huecos.begin(), huecos.end());
    fila(QStringLiteral("Hueco más largo de un temporizador de 10 ms durante esa instalación"),
         ms(peor), QStringLiteral("≤ 50 ms"),
         (peor <= 50 ? QStringLiteral("cumple") : QStringLiteral("NO cumple")) +
             QStringLiteral("; el peor de %1 instalaciones (mediana %2)")
                 .arg(veces)
                 .arg(ms(mediana(huecos))));
    return 0;
}
