#include "medir.h"

#include <QElapsedTimer>
#include <QTextStream>

#include <algorithm>

double mediana(QList<double> valores) {
    if (valores.isEmpty()) return 0;
    std::sort(valores.begin(), valores.end());
    const qsizetype m = valores.size() / 2;
    return valores.size() % 2 ? valores[m] : (valores[m - 1] + valores[m]) / 2;
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

void fila(const QString& que, const QString& medido, const QString& objetivo, const QString& nota) {
    QTextStream(stdout) << "| " << que << " | " << medido << " | " << objetivo << " | " << nota
                        << " |\n";
}
