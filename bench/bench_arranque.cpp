// Start-up to the first painted frame: the real application (its own main()) against a bare
// Qt Widgets window, each started afresh as a child process on a virtual X display; and the real
// application with a catalog of 10,000 entries, also until its list holds them.
#include "medir.h"
#include "pantalla_virtual.h"
#include "proceso.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QTemporaryDir>

namespace {

struct Medida {
    double ms = -1;       // from the moment the parent starts the child to the flushed frame
    double msNucleo = -1; // the child's own figure, from the kernel's start time (10 ms ticks)
    double rssMb = -1, picoMb = -1;
    double listaMs = -1, listaRssMb = -1,
           listaPicoMb = -1; // once the list holds its rows, when waited for
};

Medida lanzar(const QString& programa, const QProcessEnvironment& entorno,
              const QStringList& argumentos = {}) {
    QProcess hijo;
    hijo.setProcessEnvironment(entorno);
    hijo.setProgram(programa);
    hijo.setArguments(argumentos);
    hijo.setStandardErrorFile(QProcess::nullDevice());
    const long long antes = ahoraNs();
    hijo.start();
    if (!hijo.waitForFinished(30000)) {
        hijo.kill();
        hijo.waitForFinished();
        return {};
    }
    const QStringList campos =
        QString::fromUtf8(hijo.readAllStandardOutput()).simplified().split(QLatin1Char(' '));
    if (campos.size() < 8 || campos[0] != QLatin1String("cuadro_ns")) return {};
    Medida m;
    m.ms = (campos[1].toLongLong() - antes) / 1e6;
    m.msNucleo = campos[3].toDouble();
    m.rssMb = campos[5].toDouble() * 1024 / 1e6;
    m.picoMb = campos[7].toDouble() * 1024 / 1e6;
    if (campos.size() >= 14 && campos[8] == QLatin1String("lista_ns")) {
        m.listaMs = (campos[9].toLongLong() - antes) / 1e6;
        m.listaRssMb = campos[11].toDouble() * 1024 / 1e6;
        m.listaPicoMb = campos[13].toDouble() * 1024 / 1e6;
    }
    return m;
}

struct Serie {
    QList<double> ms, msNucleo, rss, pico, listaMs, listaRss, listaPico;
    int fallos = 0;
    void anotar(const Medida& m) {
        if (m.ms < 0) {
            ++fallos;
            return;
        }
        ms.append(m.ms);
        msNucleo.append(m.msNucleo);
        rss.append(m.rssMb);
        pico.append(m.picoMb);
        if (m.listaMs >= 0) {
            listaMs.append(m.listaMs);
            listaRss.append(m.listaRssMb);
            listaPico.append(m.listaPicoMb);
        }
    }
};

// A copy of the real application's bundle folder whose catalog holds n entries.
QString conCatalogo(const QString& real, const QString& carpeta, int n) {
    const QFileInfo ejecutable(real);
    const QString recursos = ejecutable.absolutePath() + QStringLiteral("/Resources");
    QDir().mkpath(carpeta + QStringLiteral("/Resources"));
    const QString copia = carpeta + QLatin1Char('/') + ejecutable.fileName();
    bool bien = QFile::copy(real, copia);
    for (const QString& nombre : QDir(recursos).entryList(QDir::Files))
        if (nombre != QLatin1String("catalogo.json"))
            bien = QFile::copy(recursos + QLatin1Char('/') + nombre,
                               carpeta + QStringLiteral("/Resources/") + nombre) &&
                   bien;
    if (!bien) qFatal("cannot copy the application to %s", qPrintable(carpeta));
    escribirArchivo(carpeta + QStringLiteral("/Resources/catalogo.json"),
                    jsonCatalogo(catalogoSintetico(n)));
    return copia;
}

QString mb(double v) {
    return QString::number(v, 'f', 1) + QStringLiteral(" MB");
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString sinSesion = dir.filePath(QStringLiteral("home-sin-sesion"));
    const QString conSesion = dir.filePath(QStringLiteral("home-con-sesion"));
    QDir().mkpath(sinSesion);
    // A saved store session: the window opens on the catalog, as for a returning customer.
    const QString sesion =
        conSesion + QStringLiteral("/Library/Application Support/Quelo DSP/instalador-sesion.json");
    QDir().mkpath(QFileInfo(sesion).absolutePath());
    QSaveFile f(sesion);
    f.open(QIODevice::WriteOnly);
    f.write(R"({"email":"ana@example.com","token":"ficha"})");
    f.commit();

    PantallaVirtual pantalla(150); // above the smoke test's numbers, so both may run at once
    QProcessEnvironment base = QProcessEnvironment::systemEnvironment();
    if (pantalla.lista()) {
        base.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        base.insert(QStringLiteral("DISPLAY"), pantalla.nombre());
    } else {
        base.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    }
    const QString lugar = pantalla.lista() ? QStringLiteral("Xvfb") : QStringLiteral("offscreen");
    auto entorno = [&base](const QString& home) {
        QProcessEnvironment e = base;
        e.insert(QStringLiteral("HOME"), home);
        return e;
    };

    const QString desnuda = QStringLiteral(QUELO_ARRANQUE_DESNUDA);
    const QString real = QStringLiteral(QUELO_ARRANQUE_REAL);
    const QString diezMil = conCatalogo(real, dir.filePath(QStringLiteral("diez-mil")), 10000);
    QProcessEnvironment hastaLista = entorno(conSesion);
    hastaLista.insert(QStringLiteral("QUELO_HASTA_LISTA"), QStringLiteral("1"));
    // One start of each first, so every counted start finds the files in the page cache.
    const QStringList conTexto{QStringLiteral("--texto")};
    lanzar(desnuda, entorno(sinSesion));
    lanzar(desnuda, entorno(sinSesion), conTexto);
    lanzar(real, entorno(sinSesion));
    lanzar(real, entorno(conSesion));
    lanzar(diezMil, hastaLista);

    const int veces = 11;
    Serie sDesnuda, sTexto, sAcceso, sCatalogo, sDiezMil;
    for (int i = 0; i < veces; ++i) {
        sDesnuda.anotar(lanzar(desnuda, entorno(sinSesion)));
        sTexto.anotar(lanzar(desnuda, entorno(sinSesion), conTexto));
        sAcceso.anotar(lanzar(real, entorno(sinSesion)));
        sCatalogo.anotar(lanzar(real, entorno(conSesion)));
        sDiezMil.anotar(lanzar(diezMil, hastaLista));
    }
    if (sDesnuda.ms.isEmpty()) {
        fila(QStringLiteral("Start-up: bare window"), QStringLiteral("—"), QStringLiteral("—"),
             QStringLiteral("NOT measured: the bare window was never painted"));
        return 1;
    }
    const double suelo = mediana(sDesnuda.ms);
    auto nota = [&](const Serie& s) {
        QString n = QStringLiteral("median of %1 alternating starts (%2); kernel clock: %3 ms")
                        .arg(s.ms.size())
                        .arg(lugar)
                        .arg(mediana(s.msNucleo), 0, 'f', 0);
        if (s.fallos) n += QStringLiteral("; %1 starts without a frame").arg(s.fallos);
        return n;
    };
    fila(QStringLiteral("Start-up to the first frame: bare Qt Widgets window"),
         QStringLiteral("%1 ms; resident %2 (peak %3)")
             .arg(suelo, 0, 'f', 1)
             .arg(mb(mediana(sDesnuda.rss)), mb(mediana(sDesnuda.pico))),
         QStringLiteral("— (the floor)"), nota(sDesnuda));
    if (!sTexto.ms.isEmpty())
        fila(QStringLiteral(
                 "Start-up to the first frame: the same bare window with one line of text"),
             QStringLiteral("%1 ms (×%2); resident %3 (peak %4)")
                 .arg(mediana(sTexto.ms), 0, 'f', 1)
                 .arg(mediana(sTexto.ms) / suelo, 0, 'f', 2)
                 .arg(mb(mediana(sTexto.rss)), mb(mediana(sTexto.pico))),
             QStringLiteral("—"),
             QStringLiteral("for reference only: what loading the fonts costs, which every "
                            "window with text pays; ") +
                 nota(sTexto));
    auto real_ = [&](const QString& que, const Serie& s) {
        if (s.ms.isEmpty()) {
            fila(que, QStringLiteral("—"), QStringLiteral("≤ 2× the bare one; ≤ 60 MB"),
                 QStringLiteral("NOT measured: the window was never painted"));
            return;
        }
        const double t = mediana(s.ms), razon = t / suelo, rss = mediana(s.rss);
        const bool cumple = razon <= 2 && rss <= 60;
        fila(que,
             QStringLiteral("%1 ms (×%2); resident %3 (peak %4)")
                 .arg(t, 0, 'f', 1)
                 .arg(razon, 0, 'f', 2)
                 .arg(mb(rss), mb(mediana(s.pico))),
             QStringLiteral("≤ 2× the bare one; ≤ 60 MB"),
             (cumple ? QStringLiteral("met; ") : QStringLiteral("NOT met; ")) + nota(s));
    };
    real_(QStringLiteral("Start-up to the first frame: real window without a session (sign-in)"),
          sAcceso);
    real_(QStringLiteral("Start-up to the first frame: real window with a session (catalog)"),
          sCatalogo);

    // The large catalog: the first frame, then the list with its rows, and what is resident
    // then, when the whole catalog is held.
    const QString que10 = QStringLiteral(
        "Start-up to the first frame: real window with a session and a 10,000-entry catalog; "
        "then until the list is full");
    const QString objetivo10 = QStringLiteral("≤ 2× the bare one; ≤ 60 MB with the list full");
    if (sDiezMil.ms.isEmpty() || sDiezMil.listaMs.isEmpty()) {
        fila(que10, QStringLiteral("—"), objetivo10,
             QStringLiteral("NOT measured: the window or its list was never painted"));
        return 0;
    }
    const double t10 = mediana(sDiezMil.ms), razon10 = t10 / suelo;
    const double rssLista = mediana(sDiezMil.listaRss);
    fila(que10,
         QStringLiteral("first frame %1 ms (×%2), resident %3; list full after %4 ms, "
                        "resident %5 (peak %6)")
             .arg(conReparto(reparto(sDiezMil.ms), 1, 1))
             .arg(razon10, 0, 'f', 2)
             .arg(mb(mediana(sDiezMil.rss)))
             .arg(conReparto(reparto(sDiezMil.listaMs), 1, 1))
             .arg(mb(rssLista), mb(mediana(sDiezMil.listaPico))),
         objetivo10,
         (razon10 <= 2 && rssLista <= 60 ? QStringLiteral("met; ") : QStringLiteral("NOT met; ")) +
             QStringLiteral("median (quartiles) of ") +
             nota(sDiezMil).section(QLatin1Char(' '), 2));
    return 0;
}
