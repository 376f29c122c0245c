// "Bajar comprados" of one package in the real window, against the hand-made pipeline
// `curl -o` + `bsdtar -xf` + `cp -a` of the same package from the same server, side by side and
// alternating: from nginx serving prepared files (a plain static web server) at several sizes
// and file counts, once with the machine busy; and from tienda-local, the test and demo service.
// The application runs in a child process of its own, so its peak resident memory is the download's
// alone. Where the time goes is shown step by step.
#include "certificados.h"
#include "core/rutas.h"
#include "core/store.h"
#include "core/texto.h"
#include "estatico.h"
#include "install/destinos.h"
#include "install/procesos.h"
#include "install/reemplazo.h"
#include "medir.h"
#include "paquete.h"
#include "proceso.h"
#include "service/desempaquetar.h"
#include "service/red.h"
#include "ventana.h"

#include <QApplication>
#include <QCoro/QCoroTask>
#include <QCryptographicHash>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>
#include <ctime>
#include <optional>

namespace {

const QString correo = QStringLiteral("ana@example.com");
constexpr qint64 megabyte = 1000 * 1000;
const QString objetivo = QStringLiteral("≤ 1.2×; peak ≤ 100 MB; gap ≤ 50 ms");

// The CPU time the calling thread has used.
double cpuDelHiloMs() {
    timespec t{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

// The window's application, which with QUELO_BENCH_LENTOS set to a file appends to it every
// event that held the window's thread more than 20 ms: its wall and thread CPU time, type and
// receiver. A long wall time with little CPU is the thread waiting for a core, not work of its own.
class AplicacionVigilada : public QApplication {
public:
    using QApplication::QApplication;

    bool notify(QObject* receptor, QEvent* evento) override {
        if (registro_.isEmpty()) return QApplication::notify(receptor, evento);
        // Read now: the event may delete its receiver.
        const QByteArray clase = receptor->metaObject()->className();
        const int tipo = evento->type();
        QElapsedTimer reloj;
        reloj.start();
        const double cpuAntes = cpuDelHiloMs();
        const bool hecho = QApplication::notify(receptor, evento);
        const double ms = reloj.nsecsElapsed() / 1e6;
        if (ms > 20) {
            const QByteArray linea = QStringLiteral("%1 ms, cpu %2 ms on %5: event %3 to %4\n")
                                         .arg(ms, 0, 'f', 1)
                                         .arg(cpuDelHiloMs() - cpuAntes, 0, 'f', 1)
                                         .arg(tipo)
                                         .arg(QString::fromLatin1(clase))
                                         .arg(QThread::currentThread() == thread()
                                                  ? QStringLiteral("the window's thread")
                                                  : QStringLiteral("another thread"))
                                         .toUtf8();
            QFile f(registro_);
            if (!f.open(QIODevice::Append) || f.write(linea) != linea.size() || !f.flush())
                qFatal("cannot write %s", qPrintable(registro_));
        }
        return hecho;
    }

private:
    const QString registro_ = qEnvironmentVariable("QUELO_BENCH_LENTOS");
};

// The child, in the real window: one click on "Bajar comprados". Prints its time, its peak
// resident memory, the longest gap of a 10 ms timer and the CPU time of the window's thread, or the
// status it ended with.
int hijoVentana(int argc, char** argv) {
    AplicacionVigilada app(argc, argv);
    const QStringList a = app.arguments();
    // --hijo SERVICIO CA CARPETA TOKEN
    const Entorno entorno = entornoDeCliente(a.value(2), a.value(3), a.value(4));
    VentanaReal ventana(entorno);
    ventana.entrar(correo, a.value(5));
    // A user clicks seconds after the window opens, by when the authorities it reads ahead are
    // in: waited for here, not timed (the steps' row shows what reading them costs).
    (void)configuracionTls(entorno);
    const long antes = memoriaKb("VmHWM");
    Pulso pulso;
    QElapsedTimer reloj;
    const double cpuAntes = cpuDelHiloMs();
    reloj.start();
    if (!ventana.pulsar(QStringLiteral("Bajar comprados"))) {
        std::printf("failed: no «Bajar comprados» button\n");
        return 1;
    }
    esperarLibre(ventana.store());
    const double t = reloj.nsecsElapsed() / 1e6;
    if (!ventana.store().status().startsWith(QStringLiteral("Listos 1 plugins"))) {
        std::printf("failed: %s\n", qPrintable(ventana.store().status()));
        return 1;
    }
    std::printf("ms %.1f hwm_kb %ld antes_kb %ld hueco_ms %.1f cpu_ventana_ms %.1f\n", t,
                memoriaKb("VmHWM"), antes, pulso.maximoMs(), cpuDelHiloMs() - cpuAntes);
    return 0;
}

// Qt's network client alone on the application's request, the body read and dropped: the floor
// under the application's download step, which adds the writing and the digest.
void soloQt(const Entorno& e, const Pedido& pedido) {
    QNetworkAccessManager red;
    QNetworkRequest peticion(pedido.url);
    for (const auto& [nombre, valor] : pedido.cabeceras)
        peticion.setRawHeader(nombre, valor);
    peticion.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
    peticion.setSslConfiguration(configuracionTls(e));
    std::unique_ptr<QNetworkReply> respuesta(red.get(peticion));
    QNetworkReply* r = respuesta.get();
    r->setReadBufferSize(bufferLectura);
    // Read into one buffer, as the application reads into its writer's blocks.
    QByteArray buffer(bufferLectura, Qt::Uninitialized);
    QObject::connect(r, &QNetworkReply::readyRead, [r, &buffer] {
        while (r->read(buffer.data(), buffer.size()) > 0) {
        }
    });
    QEventLoop bucle;
    QObject::connect(r, &QNetworkReply::finished, &bucle, &QEventLoop::quit);
    bucle.exec();
    if (r->error() != QNetworkReply::NoError) qFatal("Qt alone: %s", qPrintable(r->errorString()));
}

// The child, step by step: the application's own steps for one package, each timed alone, in
// the order a download takes them.
int hijoPasos(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList a = app.arguments();
    // --pasos SERVICIO CA CARPETA TOKEN
    const Entorno e = entornoDeCliente(a.value(2), a.value(3), a.value(4));
    QElapsedTimer reloj;
    auto medir = [&reloj](auto&& paso) {
        reloj.restart();
        paso();
        return reloj.nsecsElapsed() / 1e6;
    };
    crearCarpeta(e.temporal);
    const QString paquete = unir(e.temporal, QStringLiteral("grande.zip"));
    const QString carpeta = unir(e.temporal, QStringLiteral("grande"));

    const double certificados = medir([&] { (void)configuracionTls(e); });
    // What the account's list says of the package, as a download checks it.
    Pedido mios;
    mios.url = QUrl(a.value(2) + QStringLiteral("/v1/mios"));
    const QJsonObject lista = objetoJson(QCoro::waitFor(pedir(e, mios)).cuerpo);
    const Integridad esperado =
        integridadDe(lista.value(QLatin1String("plugins")).toArray().at(0).toObject());
    Pedido pedido;
    pedido.url = QUrl(a.value(2) + QStringLiteral("/v1/bajar/grande"));
    pedido.cabeceras.append(
        qMakePair(QByteArray("Authorization"), "Bearer " + a.value(5).toUtf8()));
    Contestacion contestacion;
    const double descarga = medir([&] {
        contestacion = QCoro::waitFor(pedirAArchivo(e, pedido, paquete, AvisoProgreso(), esperado));
    });
    if (contestacion.estado != 200) {
        std::printf("failed: HTTP status %d\n", contestacion.estado.value_or(0));
        return 1;
    }
    const double qt = medir([&] { soloQt(e, pedido); });
    crearCarpeta(carpeta);
    bool abierto = false;
    const double desempaquetado = medir([&] { abierto = extraerZip(paquete, carpeta); });
    if (!abierto) {
        std::printf("failed: the package did not unpack\n");
        return 1;
    }
    const double instalacion = medir([&] {
        for (const QString& bundle : bundlesEn(carpeta)) {
            const QString destino = *destinoDescarga(e.home, QStringLiteral("Reverb"), bundle);
            if (!QCoro::waitFor(instalarMoviendo(e, bundle, destino)))
                qFatal("cannot put %s in place", qPrintable(bundle));
        }
    });
    const double borrado = medir([&] {
        borrarRuta(carpeta);
        borrarRuta(paquete);
    });
    std::printf("certificados %.1f descarga %.1f qt %.1f desempaquetado %.1f copia %.1f borrado "
                "%.1f\n",
                certificados, descarga, qt, desempaquetado, instalacion, borrado);
    return 0;
}

// The SHA-256 digest of a file, in hexadecimal.
QByteArray sha256De(const QString& ruta) {
    QFile f(ruta);
    QCryptographicHash resumen(QCryptographicHash::Sha256);
    if (!f.open(QIODevice::ReadOnly) || !resumen.addData(&f))
        qFatal("cannot read %s", qPrintable(ruta));
    return resumen.result().toHex();
}

// Keeps one core busy until it is killed.
[[noreturn]] void girar() {
    volatile unsigned long long n = 0;
    for (;;)
        n = n + 1;
}

// The figures of one child's line "name value name value …".
std::optional<QHash<QString, double>> leerLinea(const QByteArray& salida, const QString& primero,
                                                QString* fallo) {
    const QStringList partes = QString::fromUtf8(salida).simplified().split(QLatin1Char(' '));
    if (partes.value(0) != primero) {
        if (fallo->isEmpty()) *fallo = partes.join(QLatin1Char(' '));
        return std::nullopt;
    }
    QHash<QString, double> valores;
    for (qsizetype i = 0; i + 1 < partes.size(); i += 2)
        valores.insert(partes[i], partes[i + 1].toDouble());
    return valores;
}

// Everything on one file system, as on a user's disk: the server's files, the downloads, the
// hand-made pipeline's work and the client's home.
struct Banco {
    QString dir, cliente, mano, certificado, clave, autoridad;
    QString fallo;

    QString home() const { return cliente + QStringLiteral("/home"); }

    // One bajarComprados in the real window, in a child process.
    std::optional<QHash<QString, double>> porVentana(const QString& servicio,
                                                     const QString& token) {
        limpiar(home() + QStringLiteral("/Library"));
        return leerLinea(correr(QCoreApplication::applicationFilePath(),
                                {QStringLiteral("--hijo"), servicio, autoridad, cliente, token},
                                &fallo),
                         QStringLiteral("ms"), &fallo);
    }

    std::optional<QHash<QString, double>> porPasos(const QString& servicio, const QString& token) {
        limpiar(home() + QStringLiteral("/Library"));
        return leerLinea(correr(QCoreApplication::applicationFilePath(),
                                {QStringLiteral("--pasos"), servicio, autoridad, cliente, token},
                                &fallo),
                         QStringLiteral("certificados"), &fallo);
    }

    // curl, bsdtar and cp -a by hand, each timed; then rm -rf of what they left, timed apart.
    QHash<QString, double> porMano(const QString& servicio, const QString& token) {
        limpiar(home() + QStringLiteral("/Library"));
        limpiar(mano);
        const QString zip = mano + QStringLiteral("/grande.zip");
        const QString x = mano + QStringLiteral("/x");
        QDir().mkpath(x);
        const Plugin plugin = pluginGrande();
        const QString destVst3 = *destinoDescarga(home(), plugin.category, plugin.vst3);
        const QString destAu = *destinoDescarga(home(), plugin.category, plugin.au);
        QDir().mkpath(QFileInfo(destVst3).absolutePath());
        QDir().mkpath(QFileInfo(destAu).absolutePath());
        QHash<QString, double> t;
        QElapsedTimer reloj;
        auto paso = [&](const QString& nombre, const QString& programa, const QStringList& args) {
            reloj.start();
            const QByteArray salida = correr(programa, args, &fallo);
            t[nombre] += reloj.nsecsElapsed() / 1e6;
            return salida;
        };
        const QByteArray curl =
            paso(QStringLiteral("curl"), QStringLiteral("curl"),
                 {QStringLiteral("-sS"), QStringLiteral("--cacert"), autoridad,
                  QStringLiteral("-H"), QStringLiteral("Authorization: Bearer ") + token,
                  QStringLiteral("-w"), QStringLiteral("%{time_starttransfer}"),
                  QStringLiteral("-o"), zip, servicio + QStringLiteral("/v1/bajar/grande")});
        paso(QStringLiteral("bsdtar"), QStringLiteral("bsdtar"),
             {QStringLiteral("-xf"), zip, QStringLiteral("-C"), x});
        paso(QStringLiteral("cp"), QStringLiteral("/bin/cp"),
             {QStringLiteral("-a"), x + QStringLiteral("/Grande.vst3"), destVst3});
        paso(QStringLiteral("cp"), QStringLiteral("/bin/cp"),
             {QStringLiteral("-a"), x + QStringLiteral("/Grande.component"), destAu});
        t[QStringLiteral("total")] =
            t[QStringLiteral("curl")] + t[QStringLiteral("bsdtar")] + t[QStringLiteral("cp")];
        t[QStringLiteral("primerByte")] = curl.toDouble() * 1000;
        paso(QStringLiteral("rm"), QStringLiteral("/bin/rm"), {QStringLiteral("-rf"), x, zip});
        return t;
    }
};

struct Serie {
    QHash<QString, QList<double>> valores;
    void anotar(const QHash<QString, double>& v) {
        for (auto it = v.begin(); it != v.end(); ++it)
            valores[it.key()].append(it.value());
    }
    Reparto de(const QString& nombre) const { return reparto(valores.value(nombre)); }
    double mediana(const QString& nombre) const { return ::mediana(valores.value(nombre)); }
};

QString segundos(const Reparto& r) {
    return conReparto(r, 1000, 2) + QStringLiteral(" s");
}

// The application against the hand-made pipeline, alternating which goes first.
void comparar(Banco& b, const QString& servicio, const QString& token, int veces, Serie& app,
              Serie& mano) {
    for (int i = 0; i < veces && b.fallo.isEmpty(); ++i) {
        auto porVentana = [&] {
            if (const auto v = b.porVentana(servicio, token)) app.anotar(*v);
        };
        auto porMano = [&] { mano.anotar(b.porMano(servicio, token)); };
        if (i % 2) {
            porMano();
            porVentana();
        } else {
            porVentana();
            porMano();
        }
    }
}

// The comparison row: times, ratio, peak memory and the window's longest gap.
void filaComparada(const QString& que, const Serie& app, const Serie& mano, int veces,
                   const QString& nota) {
    const double razon = razonPareada(app.valores.value(QStringLiteral("ms")),
                                      mano.valores.value(QStringLiteral("total")));
    const Reparto pico = reparto([&] {
        QList<double> mb;
        for (double kb : app.valores.value(QStringLiteral("hwm_kb")))
            mb.append(kb * 1024 / 1e6);
        return mb;
    }());
    const Reparto hueco = app.de(QStringLiteral("hueco_ms"));
    QStringList faltas;
    if (razon > 1.2) faltas.append(QStringLiteral("time"));
    if (pico.mediana > 100) faltas.append(QStringLiteral("memory"));
    const double peorHueco = std::ranges::max(app.valores.value(QStringLiteral("hueco_ms")));
    if (peorHueco > 50) faltas.append(QStringLiteral("gap"));
    fila(
        que,
        QStringLiteral("%1 vs %2 (×%3); peak resident %4 MB; longest gap %5 ms (worst %6 ms); "
                       "CPU time of the window's thread %7 ms")
            .arg(segundos(app.de(QStringLiteral("ms"))), segundos(mano.de(QStringLiteral("total"))))
            .arg(razon, 0, 'f', 2)
            .arg(conReparto(pico, 1, 1), conReparto(hueco, 1, 1))
            .arg(peorHueco, 0, 'f', 1)
            .arg(app.mediana(QStringLiteral("cpu_ventana_ms")), 0, 'f', 0),
        objetivo,
        (faltas.isEmpty() ? QStringLiteral("met")
                          : QStringLiteral("NOT met: ") + faltas.join(QStringLiteral(", "))) +
            QStringLiteral("; median (quartiles) of %1 each, alternating; the ratio is the "
                           "median of the rounds' own ratios")
                .arg(veces) +
            nota);
}

// Where the time goes: the application's steps one by one, and the hand-made ones.
void filaPasos(const QString& que, const Serie& pasos, const Serie& mano, int vecesPasos,
               int vecesMano) {
    auto m = [](const Serie& s, const char* nombre) {
        return QString::number(s.mediana(QLatin1String(nombre)), 'f', 0);
    };
    fila(QStringLiteral("Steps of that download, in ms: ") + que,
         QStringLiteral("application: certificates %1, download to file (written and hashed on "
                        "its own thread) %2 (Qt's client alone, the body dropped: %3), unpack %4, "
                        "put in place (moved, or copied across file systems) %5, delete %6; by "
                        "hand: curl %7, bsdtar %8, cp -a %9, rm -rf %10")
             .arg(m(pasos, "certificados"), m(pasos, "descarga"), m(pasos, "qt"),
                  m(pasos, "desempaquetado"), m(pasos, "copia"), m(pasos, "borrado"),
                  m(mano, "curl"), m(mano, "bsdtar"), m(mano, "cp"))
             .arg(m(mano, "rm")),
         QStringLiteral("—"),
         QStringLiteral("medians; the application step by step with its own functions, %1 runs; "
                        "by hand, from the %2 runs above (rm -rf is not in its total)")
             .arg(vecesPasos)
             .arg(vecesMano));
}

struct Caso {
    QString nombre;
    qint64 bytes;
    int archivos;
    bool ocupado;
    int llenos = 0;
};

// One process per core spinning for as long as it lives.
class Ocupacion {
public:
    Ocupacion() {
        for (int i = 0; i < QThread::idealThreadCount(); ++i) {
            auto* p = new QProcess;
            p->start(QCoreApplication::applicationFilePath(), {QStringLiteral("--girar")});
            procesos_.append(p);
        }
    }
    ~Ocupacion() {
        for (QProcess* p : procesos_) {
            p->kill();
            p->waitForFinished(5000);
            delete p;
        }
    }
    Ocupacion(const Ocupacion&) = delete;
    Ocupacion& operator=(const Ocupacion&) = delete;

private:
    QList<QProcess*> procesos_;
};

void desdeNginx(Banco& b) {
    const QString que = QStringLiteral("Bajar comprados from nginx (prepared files, HTTPS on "
                                       "loopback), vs `curl -o` + `bsdtar -xf` + `cp -a`: ");
    ServidorEstatico nginx(b.dir + QStringLiteral("/nginx"), b.certificado, b.clave);
    if (!nginx.fallo().isEmpty()) {
        fila(que + QStringLiteral("every size"), QStringLiteral("—"), objetivo,
             QStringLiteral("NOT measured: ") + nginx.fallo());
        return;
    }
    const QString www = nginx.raiz();
    escribirArchivo(
        www + QStringLiteral("/v1/salud"),
        QJsonDocument(QJsonObject{{QStringLiteral("descarga"), nginx.base()}}).toJson());
    escribirArchivo(
        www + QStringLiteral("/v1/mios"),
        QJsonDocument(QJsonObject{{QStringLiteral("ok"), true},
                                  {QStringLiteral("plugins"),
                                   QJsonArray{QJsonObject{
                                       {QStringLiteral("id"), QStringLiteral("grande")},
                                       {QStringLiteral("name"), QStringLiteral("Grande")}}}}})
            .toJson());
    QDir().mkpath(www + QStringLiteral("/v1/bajar"));
    const QString token = QStringLiteral("ficha");

    const QList<Caso> casos{
        {QStringLiteral("50 MB in 2,000 files"), 50 * megabyte, 2000, false},
        {QStringLiteral("200 MB in 2,000 files"), 200 * megabyte, 2000, false},
        {QStringLiteral("800 MB in 2,000 files"), 800 * megabyte, 2000, false},
        {QStringLiteral("200 MB in 200 files"), 200 * megabyte, 200, false},
        {QStringLiteral("50 MB in 20,000 files (200 of them hold the bytes, the rest are empty)"),
         50 * megabyte, 20000, false, 200},
        {QStringLiteral("50 MB in 2,000 files, with a CPU hog on every core"), 50 * megabyte, 2000,
         true},
    };
    const int veces = 7, vecesPasos = 3;
    // To look at one case alone (under a profiler, say): the part of its name to run.
    const QString solo = qEnvironmentVariable("QUELO_BENCH_SOLO");
    for (const Caso& caso : casos) {
        if (!caso.nombre.contains(solo)) continue;
        b.fallo.clear();
        const QString paquete = b.dir + QStringLiteral("/paquetes/%1-%2-%3.zip")
                                            .arg(caso.bytes)
                                            .arg(caso.archivos)
                                            .arg(caso.llenos);
        if (!QFileInfo::exists(paquete)) {
            QDir().mkpath(QFileInfo(paquete).absolutePath());
            escribirPaquete(paquete, caso.bytes, caso.archivos, caso.llenos);
        }
        const QString servido = www + QStringLiteral("/v1/bajar/grande");
        QFile::remove(servido);
        if (!QFile::link(paquete, servido)) qFatal("cannot serve %s", qPrintable(paquete));
        // The list names the package's digest and length, as a store does: it is checked.
        escribirArchivo(
            www + QStringLiteral("/v1/mios"),
            QJsonDocument(
                QJsonObject{{QStringLiteral("ok"), true},
                            {QStringLiteral("plugins"),
                             QJsonArray{QJsonObject{
                                 {QStringLiteral("id"), QStringLiteral("grande")},
                                 {QStringLiteral("name"), QStringLiteral("Grande")},
                                 {QStringLiteral("sha256"), QString::fromLatin1(sha256De(paquete))},
                                 {QStringLiteral("size"), QFileInfo(paquete).size()}}}}})
                .toJson());

        Serie app, mano, pasos;
        {
            std::optional<Ocupacion> ocupacion;
            if (caso.ocupado) ocupacion.emplace();
            comparar(b, nginx.base(), token, veces, app, mano);
        }
        if (!b.fallo.isEmpty() || app.valores.isEmpty()) {
            fila(que + caso.nombre, QStringLiteral("—"), objetivo,
                 QStringLiteral("NOT measured: ") + b.fallo);
            continue;
        }
        filaComparada(que + caso.nombre, app, mano, veces, QString());
        if (caso.ocupado) continue;
        for (int i = 0; i < vecesPasos && b.fallo.isEmpty(); ++i)
            if (const auto v = b.porPasos(nginx.base(), token)) pasos.anotar(*v);
        if (b.fallo.isEmpty()) filaPasos(caso.nombre, pasos, mano, vecesPasos, veces);
    }
    limpiar(b.dir + QStringLiteral("/paquetes"));
}

void desdeTiendaLocal(Banco& b) {
    const QString que = QStringLiteral(
        "Bajar comprados from `tienda-local` (the test and demo service, not a static server: it "
        "zips each package once and then serves it ready, HTTPS on loopback), vs `curl -o` + "
        "`bsdtar -xf` + `cp -a`: 20 MB in 400 files");
    b.fallo.clear();
    const QString datos = b.dir + QStringLiteral("/tienda");
    const Plugin plugin = pluginGrande();
    crearBundle(datos + QStringLiteral("/paquetes/grande/Grande.vst3"), 10 * megabyte, 200, 1);
    crearBundle(datos + QStringLiteral("/paquetes/grande/Grande.component"), 10 * megabyte, 200, 2);
    escribirArchivo(datos + QStringLiteral("/compras.json"),
                    QJsonDocument(QJsonObject{{correo, QJsonArray{plugin.id}}}).toJson());

    QProcess tienda;
    tienda.setStandardErrorFile(QProcess::nullDevice());
    tienda.start(QStringLiteral(QUELO_TIENDA_LOCAL),
                 {QStringLiteral("--puerto"), QStringLiteral("0"), QStringLiteral("--certificado"),
                  b.certificado, QStringLiteral("--clave"), b.clave, QStringLiteral("--datos"),
                  datos});
    auto noMedido = [&](const QString& por) {
        fila(que, QStringLiteral("—"), objetivo, QStringLiteral("NOT measured: ") + por);
    };
    if (!tienda.waitForReadyRead(20000))
        return noMedido(QStringLiteral("tienda-local did not start"));
    const QString linea = QString::fromUtf8(tienda.readLine()).trimmed();
    const QString servicio = linea.section(QLatin1Char(' '), -1);
    if (!servicio.startsWith(QStringLiteral("https://127.0.0.1:")))
        return noMedido(QStringLiteral("tienda-local said: ") + linea);

    // An account made through the service itself, and its bearer token.
    const QByteArray alta =
        QJsonDocument(QJsonObject{{QStringLiteral("action"), QStringLiteral("crear")},
                                  {QStringLiteral("email"), correo},
                                  {QStringLiteral("password"), QStringLiteral("contrasena-larga")}})
            .toJson(QJsonDocument::Compact);
    const QByteArray respuesta = correr(
        QStringLiteral("curl"),
        {QStringLiteral("-sS"), QStringLiteral("--cacert"), b.autoridad, QStringLiteral("-H"),
         QStringLiteral("Content-Type: application/json"), QStringLiteral("--data-binary"),
         QString::fromUtf8(alta), servicio + QStringLiteral("/v1/cuenta")},
        &b.fallo);
    const QString token =
        QJsonDocument::fromJson(respuesta).object().value(QLatin1String("token")).toString();
    if (token.isEmpty()) return noMedido(QStringLiteral("no account at the store: ") + b.fallo);

    const int veces = 7;
    Serie app, mano;
    comparar(b, servicio, token, veces, app, mano);
    tienda.terminate();
    tienda.waitForFinished(5000);
    if (!b.fallo.isEmpty() || app.valores.isEmpty()) return noMedido(b.fallo);
    filaComparada(que, app, mano, veces,
                  QStringLiteral("; first byte of the package after %1 ms for curl")
                      .arg(mano.mediana(QStringLiteral("primerByte")), 0, 'f', 0));
}

} // namespace

int main(int argc, char** argv) {
    const QByteArray modo = argc > 1 ? QByteArray(argv[1]) : QByteArray();
    if (modo == "--hijo") return hijoVentana(argc, argv);
    if (modo == "--pasos") return hijoPasos(argc, argv);
    if (modo == "--girar") girar();

    QCoreApplication app(argc, argv);
    QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/quelo-bench-XXXXXX"));
    Banco b;
    b.dir = dir.path();
    b.cliente = b.dir + QStringLiteral("/cliente");
    b.mano = b.dir + QStringLiteral("/mano");
    const ArchivosCertificados& certificados = archivosCertificados();
    b.certificado = certificados.certificado;
    b.clave = certificados.clave;
    b.autoridad = certificados.autoridad;
    escribirArchivo(b.cliente + QStringLiteral("/app/Resources/catalogo.json"),
                    jsonCatalogo({pluginGrande()}));
    desdeNginx(b);
    if (qEnvironmentVariableIsEmpty("QUELO_BENCH_SOLO")) desdeTiendaLocal(b);
    return 0;
}
