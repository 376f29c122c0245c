// Installing from the project folder in the real window, against doing the same by hand: a
// plug-in of two bundles, 200 MB in 2,000 files, against `cp -a`; reinstalling it, and a plug-in
// whose VST3 bundle holds 20,000 files, against a copy beside it, the swap and the delete of the
// old one by hand; removing that plug-in against `rm -rf`. Each with the longest gap of a 10 ms
// timer on the window's thread.
#include "core/store.h"
#include "install/destinos.h"
#include "medir.h"
#include "ventana.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <unistd.h>

namespace {

constexpr qint64 megabyte = 1000 * 1000;

struct Medida {
    QList<double> app, mano, huecos;
};

QString veredicto(bool cumple) {
    return cumple ? QStringLiteral("met") : QStringLiteral("NOT met");
}

void filas(const QString& que, const QString& frente, double tope, const Medida& m, int veces,
           const QString& nota) {
    const double razon = razonPareada(m.app, m.mano);
    const double peor = std::ranges::max(m.huecos);
    // Without a bound of time (tope 0) only the window's gap is judged.
    const QString objetivo =
        tope > 0 ? QStringLiteral("≤ %1× %2; gap ≤ 50 ms").arg(tope, 0, 'f', 1).arg(frente)
                 : QStringLiteral("gap ≤ 50 ms");
    fila(que,
         QStringLiteral("%1 s vs %2 s (×%3); longest gap %4 ms (worst %5 ms)")
             .arg(conReparto(reparto(m.app), 1000, 2), conReparto(reparto(m.mano), 1000, 2))
             .arg(razon, 0, 'f', 2)
             .arg(conReparto(reparto(m.huecos), 1, 1))
             .arg(peor, 0, 'f', 1),
         objetivo,
         veredicto((tope <= 0 || razon <= tope) && peor <= 50) +
             QStringLiteral("; median (quartiles) of %1 each, alternating; the ratio is the "
                            "median of the rounds' own ratios; ")
                 .arg(veces) +
             nota);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // The project folder and the home on one file system, as on the maker's machine.
    QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/quelo-bench-XXXXXX"));
    const QString proyecto = dir.filePath(QStringLiteral("proyecto"));
    const QString mano = dir.filePath(QStringLiteral("mano"));
    // The platform's own copy and quarantine tools, as the application runs them.
    Entorno e = Entorno::delSistema();
    e.bundle = proyecto + QStringLiteral("/QueloInstalador");
    e.recursos = e.bundle + QStringLiteral("/Resources");
    e.home = dir.filePath(QStringLiteral("home"));
    e.temporal = dir.filePath(QStringLiteral("tmp"));

    auto plugin = [](const QString& id, const QString& nombre) {
        Plugin p;
        p.id = id;
        p.name = nombre;
        p.category = QStringLiteral("Reverb");
        p.manufacturer = QStringLiteral("Quelo DSP");
        p.vst3 = QStringLiteral("Juce Pugins creacion/%1/%1.vst3").arg(nombre);
        p.au = QStringLiteral("Juce Pugins creacion/%1/%1.component").arg(nombre);
        return p;
    };
    const Plugin grande = plugin(QStringLiteral("grande"), QStringLiteral("Grande"));
    const Plugin enorme = plugin(QStringLiteral("enorme"), QStringLiteral("Enorme"));
    escribirArchivo(e.recursos + QStringLiteral("/catalogo.json"), jsonCatalogo({grande, enorme}));
    auto origen = [&](const QString& ruta) -> QString {
        return proyecto + QLatin1Char('/') + ruta;
    };
    crearBundle(origen(grande.vst3), 100 * megabyte, 1000, 1);
    crearBundle(origen(grande.au), 100 * megabyte, 1000, 2);
    crearBundle(origen(enorme.vst3), 100 * megabyte, 20000, 3, 200);
    crearBundle(origen(enorme.au), 2 * megabyte, 200, 4);
    const QList<std::pair<QString, QString>> copiasGrande{
        {origen(grande.vst3), *destinoVst3(e.home, grande)},
        {origen(grande.au), *destinoAu(e.home, grande)}};
    const QList<std::pair<QString, QString>> copiasEnorme{
        {origen(enorme.vst3), *destinoVst3(e.home, enorme)},
        {origen(enorme.au), *destinoAu(e.home, enorme)}};

    VentanaReal ventana(e);
    ventana.entrar(QStringLiteral("ana@example.com"), std::nullopt);
    Store& store = ventana.store();

    QString fallo;
    auto porMano = [&](const QString& programa, const QStringList& args) {
        correr(programa, args, &fallo);
    };
    auto cpA = [&](const QString& desde, const QString& hasta) {
        QDir().mkpath(QFileInfo(hasta).absolutePath());
        porMano(QStringLiteral("/bin/cp"), {QStringLiteral("-a"), desde, hasta});
    };
    auto medir = [](QList<double>& tiempos, auto&& paso) {
        QElapsedTimer reloj;
        reloj.start();
        paso();
        tiempos.append(reloj.nsecsElapsed() / 1e6);
    };
    // One action through the window's own button; its time and the window's longest gap.
    auto porVentana = [&](Medida& m, const Plugin& p, const QString& boton, const QString& espera) {
        store.refreshInstalled();
        ventana.elegir(p.id);
        Pulso pulso;
        medir(m.app, [&] {
            if (!ventana.pulsar(boton)) fallo = QStringLiteral("no button ") + boton;
            esperarLibre(store);
        });
        m.huecos.append(pulso.maximoMs());
        if (!store.status().startsWith(espera)) fallo = store.status();
    };
    // Alternating which goes first, so neither always finds the other's leftovers.
    auto alternar = [&](int veces, const std::function<void()>& antes,
                        const std::function<void()>& conApp, const std::function<void()>& aMano) {
        for (int i = 0; i < veces && fallo.isEmpty(); ++i) {
            for (const auto& f : i % 2 ? QList{aMano, conApp} : QList{conApp, aMano}) {
                antes();
                ::sync(); // nothing of the round before is left to write
                f();
            }
        }
    };
    // Rounds of the 2,000-file plug-in take a second: more of them steady the medians. The
    // 20,000-file ones take half a minute.
    const int vecesCortas = 15, veces = 7;

    Medida instalar;
    alternar(
        vecesCortas, [&] { limpiar(e.home + QStringLiteral("/Library")); },
        [&] {
            porVentana(instalar, grande, QStringLiteral("Instalar"),
                       QStringLiteral("Grande instalado."));
        },
        [&] {
            medir(instalar.mano, [&] {
                for (const auto& [desde, hasta] : copiasGrande)
                    cpA(desde, hasta);
            });
        });
    if (fallo.isEmpty())
        filas(QStringLiteral("Install from the project in the real window: 2 bundles, 200 MB in "
                             "2,000 files, vs `cp -a`"),
              QStringLiteral("`cp -a`"), 1.0, instalar, vecesCortas,
              QStringLiteral("nothing installed before"));

    // A reinstall by hand: a copy beside the installed bundle, the swap, and the delete of the
    // old one, whose time is returned apart.
    auto reinstalarAMano = [&](const QList<std::pair<QString, QString>>& copias,
                               QList<double>& tiempos) {
        double borrado = 0;
        medir(tiempos, [&] {
            for (const auto& [desde, hasta] : copias) {
                const QFileInfo info(hasta);
                const QString nuevo = info.absolutePath() + QStringLiteral("/.nuevo");
                const QString viejo = info.absolutePath() + QStringLiteral("/.viejo");
                cpA(desde, nuevo);
                porMano(QStringLiteral("/bin/mv"), {hasta, viejo});
                porMano(QStringLiteral("/bin/mv"), {nuevo, hasta});
                QElapsedTimer reloj;
                reloj.start();
                porMano(QStringLiteral("/bin/rm"), {QStringLiteral("-rf"), viejo});
                borrado += reloj.nsecsElapsed() / 1e6;
            }
        });
        return borrado;
    };

    // The same plug-in over itself, as after every new build; it is in place from the rows above.
    Medida reinstalarGrande;
    alternar(
        vecesCortas, [] {},
        [&] {
            porVentana(reinstalarGrande, grande, QStringLiteral("Reinstalar"),
                       QStringLiteral("Grande instalado."));
        },
        [&] { reinstalarAMano(copiasGrande, reinstalarGrande.mano); });
    if (fallo.isEmpty())
        filas(QStringLiteral("Reinstall from the project in the real window: the same 2 bundles, "
                             "200 MB in 2,000 files, vs copy beside + swap + delete of the old "
                             "one by hand"),
              QStringLiteral("`cp -a` + `mv` + `mv` + `rm -rf`"), 1.1, reinstalarGrande,
              vecesCortas, QStringLiteral("with the plug-in installed already"));

    // Reinstalling and removing the plug-in of 20,000 files, in rounds that start with it in
    // place: both reinstalls, then the removal, then it is copied back for the next round. The
    // old bundle's rm -rf inside the reinstall by hand is the removal's yardstick.
    Medida reinstalar, quitar;
    auto reponer = [&] {
        for (const auto& [desde, hasta] : copiasEnorme)
            cpA(desde, hasta);
    };
    limpiar(e.home + QStringLiteral("/Library"));
    reponer();
    auto aManoReinstalar = [&] {
        quitar.mano.append(reinstalarAMano(copiasEnorme, reinstalar.mano));
    };
    auto enVentanaReinstalar = [&] {
        porVentana(reinstalar, enorme, QStringLiteral("Reinstalar"),
                   QStringLiteral("Enorme instalado."));
    };
    for (int i = 0; i < veces && fallo.isEmpty(); ++i) {
        for (const auto& f :
             i % 2 ? QList<std::function<void()>>{aManoReinstalar, enVentanaReinstalar}
                   : QList<std::function<void()>>{enVentanaReinstalar, aManoReinstalar}) {
            ::sync(); // nothing of the step before is left to write
            f();
        }
        ::sync();
        porVentana(quitar, enorme, QStringLiteral("Quitar del sistema"),
                   QStringLiteral("Enorme se quitó"));
        reponer();
    }
    if (fallo.isEmpty()) {
        filas(QStringLiteral("Reinstall from the project in the real window: a bundle of 20,000 "
                             "files (100 MB in 200 of them, the rest empty) and one of 200, vs "
                             "copy beside + swap + delete of the "
                             "old one by hand"),
              QStringLiteral("`cp -a` + `mv` + `mv` + `rm -rf`"), 1.1, reinstalar, veces,
              QStringLiteral("with the plug-in installed already"));
        filas(
            QStringLiteral("Removal (Quitar del sistema) in the real window: the same plug-in, vs "
                           "`rm -rf` of its bundles"),
            QStringLiteral("`rm -rf`"), 0, quitar, veces,
            QStringLiteral("the `rm -rf` is the old bundle's within the reinstall by hand"));
    }
    limpiar(e.home + QStringLiteral("/Library"));

    if (!fallo.isEmpty()) {
        fila(QStringLiteral("Install, reinstall and remove from the project"), QStringLiteral("—"),
             QStringLiteral("—"), QStringLiteral("NOT measured: ") + fallo);
        return 1;
    }
    return 0;
}
