#include "medir.h"

#include "archivos.h"

#include "core/store.h"
#include "install/procesos.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QTextStream>

#include <algorithm>

#include <unistd.h>

double mediana(QList<double> valores) {
    if (valores.isEmpty()) return 0;
    std::sort(valores.begin(), valores.end());
    const qsizetype m = valores.size() / 2;
    return valores.size() % 2 ? valores[m] : (valores[m - 1] + valores[m]) / 2;
}

double razonPareada(const QList<double>& uno, const QList<double>& otro) {
    QList<double> razones;
    for (qsizetype i = 0; i < std::min(uno.size(), otro.size()); ++i)
        if (otro[i] > 0) razones.append(uno[i] / otro[i]);
    return mediana(razones);
}

Reparto reparto(QList<double> valores) {
    if (valores.isEmpty()) return {};
    std::sort(valores.begin(), valores.end());
    auto cuantil = [&valores](double q) {
        const double pos = q * double(valores.size() - 1);
        const qsizetype i = qsizetype(pos);
        const double resto = pos - double(i);
        if (i + 1 >= valores.size()) return valores[i];
        return valores[i] + resto * (valores[i + 1] - valores[i]);
    };
    return {cuantil(0.25), cuantil(0.5), cuantil(0.75)};
}

QString conReparto(const Reparto& r, double escala, int decimales) {
    return QStringLiteral("%1 (%2–%3)")
        .arg(r.mediana / escala, 0, 'f', decimales)
        .arg(r.q1 / escala, 0, 'f', decimales)
        .arg(r.q3 / escala, 0, 'f', decimales);
}

double medianaMs(int veces, const std::function<void()>& f) {
    QList<double> tiempos;
    for (int i = 0; i < veces; ++i) {
        QElapsedTimer reloj;
        reloj.start();
        f();
        tiempos.append(reloj.nsecsElapsed() / 1e6);
    }
    return mediana(tiempos);
}

QList<Plugin> catalogoSintetico(int n) {
    static const QStringList categorias{QStringLiteral("Reverb"), QStringLiteral("Dinámica"),
                                        QStringLiteral("Saturación"), QStringLiteral("Ecualizador"),
                                        QStringLiteral("Modulación")};
    static const QStringList palabras{
        QStringLiteral("placa"),   QStringLiteral("cinta"),  QStringLiteral("válvula"),
        QStringLiteral("espacio"), QStringLiteral("brillo"), QStringLiteral("grave"),
        QStringLiteral("coro"),    QStringLiteral("eco"),    QStringLiteral("compresor")};
    QList<Plugin> lista;
    lista.reserve(n);
    for (int i = 0; i < n; ++i) {
        Plugin p;
        p.id = QStringLiteral("plugin-%1").arg(i);
        p.name = QStringLiteral("Quelo %1 %2").arg(palabras[i % palabras.size()]).arg(i);
        p.subtitle =
            QStringLiteral("%1 de %2")
                .arg(categorias[i % categorias.size()], palabras[(i / 3) % palabras.size()]);
        p.purpose =
            QStringLiteral("Para dar %1 y %2 a la mezcla")
                .arg(palabras[(i / 7) % palabras.size()], palabras[(i / 11) % palabras.size()]);
        p.category = categorias[i % categorias.size()];
        p.blurb = QStringLiteral("Un procesador del catálogo sintético número %1.").arg(i);
        p.manufacturer = QStringLiteral("Quelo DSP");
        p.vst3 = QStringLiteral("Juce Pugins creacion/P%1/P%1.vst3").arg(i);
        p.au = QStringLiteral("Juce Pugins creacion/P%1/P%1.component").arg(i);
        p.requirements = {QStringLiteral("macOS 12 o posterior")};
        lista.append(p);
    }
    return lista;
}

QByteArray jsonCatalogo(const QList<Plugin>& plugins) {
    return catalogoJson(plugins, QJsonDocument::Compact); // the size the shipped file has
}

Plugin pluginGrande() {
    Plugin p;
    p.id = QStringLiteral("grande");
    p.name = QStringLiteral("Grande");
    p.category = QStringLiteral("Reverb");
    p.manufacturer = QStringLiteral("Quelo DSP");
    p.vst3 = QStringLiteral("Grande.vst3");
    p.au = QStringLiteral("Grande.component");
    return p;
}

Entorno entornoDeCliente(const QString& servicio, const QString& autoridad,
                         const QString& carpeta) {
    Entorno e = Entorno::delSistema();
    e.servicio = servicio;
    e.autoridades = QSslCertificate::fromPath(autoridad, QSsl::Pem);
    e.bundle = carpeta + QStringLiteral("/app");
    e.recursos = e.bundle + QStringLiteral("/Resources");
    e.home = carpeta + QStringLiteral("/home");
    e.temporal = carpeta + QStringLiteral("/tmp");
    return e;
}

void crearBundle(const QString& ruta, qint64 bytes, int archivos, quint32 semilla, int llenos) {
    QRandomGenerator azar(semilla);
    if (llenos <= 0 || llenos > archivos) llenos = archivos;
    const int cada = archivos / llenos;
    // Whole 32-bit words of random data; the last few bytes of a file repeat the first.
    QByteArray datos((bytes / llenos + 3) / 4 * 4, Qt::Uninitialized);
    for (int i = 0; i < archivos; ++i) {
        const qint64 tamano = i % cada == 0 ? bytes / llenos : 0;
        const QString carpeta = ruta + QStringLiteral("/Contents/Resources/d%1").arg(i / 100);
        if (i % 100 == 0) QDir().mkpath(carpeta);
        azar.fillRange(reinterpret_cast<quint32*>(datos.data()), datos.size() / 4);
        QFile f(carpeta + QStringLiteral("/f%1.bin").arg(i));
        if (!f.open(QIODevice::WriteOnly) || f.write(datos.constData(), tamano) != tamano)
            qFatal("cannot write %s", qPrintable(f.fileName()));
    }
}

void limpiar(const QString& ruta) {
    borrarRuta(ruta);
    ::sync();
}

void escribirArchivo(const QString& ruta, const QByteArray& contenido) {
    QDir().mkpath(QFileInfo(ruta).absolutePath());
    QSaveFile f(ruta);
    if (!f.open(QIODevice::WriteOnly) || f.write(contenido) != contenido.size() || !f.commit())
        qFatal("cannot write %s", qPrintable(ruta));
}

QByteArray correr(const QString& programa, const QStringList& argumentos, QString* fallo) {
    QProcess p;
    p.setProcessChannelMode(QProcess::SeparateChannels);
    p.start(programa, argumentos);
    if (!p.waitForFinished(600000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        if (fallo && fallo->isEmpty())
            *fallo = programa +
                     (p.exitStatus() == QProcess::NormalExit
                          ? QStringLiteral(" (exit %1): ").arg(p.exitCode())
                          : QStringLiteral(" (crashed): ")) +
                     QString::fromLocal8Bit(p.readAllStandardError()).trimmed() +
                     QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
    }
    return p.readAllStandardOutput();
}

void esperarLibre(Store& store) {
    if (!store.busy()) return;
    QEventLoop bucle;
    QObject::connect(&store, &Store::busyChanged, &bucle, [&] {
        if (!store.busy()) bucle.quit();
    });
    bucle.exec();
}

Pulso::Pulso() {
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(10);
    QObject::connect(&timer_, &QTimer::timeout, this, [this] {
        const qint64 ahora = reloj_.nsecsElapsed();
        maximo_ = std::max(maximo_, ahora - ultimo_);
        ultimo_ = ahora;
    });
    reloj_.start();
    timer_.start();
}

double Pulso::maximoMs() const {
    // The gap still open counts too: a thread blocked until the end never ticked at all.
    return std::max(maximo_, reloj_.nsecsElapsed() - ultimo_) / 1e6;
}

void fila(const QString& que, const QString& medido, const QString& objetivo, const QString& nota) {
    QTextStream(stdout) << "| " << que << " | " << medido << " | " << objetivo << " | " << nota
                        << " |\n";
}

QString ms(double v) {
    return QString::number(v, 'f', v < 1 ? 3 : 2) + QStringLiteral(" ms");
}
