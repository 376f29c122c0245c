// visible() and categories() on synthetic catalogs of growing size.
#include "core/store.h"
#include "medir.h"

#include <QCoreApplication>
#include <QTemporaryDir>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QList<int> tamanos{1000, 10000, 100000};
    const QList<QPair<QString, QString>> consultas{
        {QStringLiteral("empty"), QString()},
        {QStringLiteral("one letter"), QStringLiteral("q")},
        {QStringLiteral("ten letters"), QStringLiteral("compresor ")}};
    QMap<QString, QMap<int, double>> visibles;
    for (int n : tamanos) {
        Entorno e;
        e.recursos = dir.filePath(QString::number(n));
        e.bundle = dir.filePath(QStringLiteral("app"));
        e.home = dir.filePath(QStringLiteral("home"));
        escribirArchivo(e.recursos + QStringLiteral("/catalogo.json"),
                        jsonCatalogo(catalogoSintetico(n)));
        Store store(e);
        store.load();
        const int veces = n >= 100000 ? 7 : 31;
        // The list is kept until what it depends on changes: each read follows a change.
        for (const auto& [nombre, texto] : consultas) {
            const QString otra = texto + QStringLiteral("~");
            visibles[nombre][n] = medianaMs(veces, [&] {
                store.setQuery(otra);
                store.setQuery(texto);
                (void)store.visible();
            });
        }
        store.setQuery(QString());
        const double cats = medianaMs(veces, [&] { (void)store.categories(); });
        fila(QStringLiteral("`categories()`, %L1 entries").arg(n), ms(cats), QStringLiteral("—"),
             QStringLiteral("median of %1").arg(veces));
    }
    for (const auto& [nombre, texto] : consultas) {
        const auto& t = visibles[nombre];
        for (int n : tamanos) {
            QString objetivo = QStringLiteral("—");
            QString nota;
            if (n == 10000) {
                objetivo = QStringLiteral("≤ 5 ms");
                nota = t[n] <= 5 ? QStringLiteral("met") : QStringLiteral("NOT met");
            } else if (n == 100000) {
                objetivo = QStringLiteral("linear growth");
                const double razon = t[n] / t[10000];
                nota = QStringLiteral("×%1 vs 10,000 (linear: ×10)").arg(razon, 0, 'f', 1);
            }
            fila(QStringLiteral("`visible()` after the query changes, query %1, %L2 entries")
                     .arg(nombre)
                     .arg(n),
                 ms(t[n]), objetivo, nota);
        }
    }
    return 0;
}
