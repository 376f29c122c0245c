// A customer's machine from end to end: no project folder, the real tienda-local serving the
// staged demonstration data, sign-up through the access actions, then "Bajar comprados".
#include "archivos.h"
#include "certificados.h"
#include "core/store.h"
#include "ejecutable.h"
#include "esperar.h"
#include "install/destinos.h"
#include "tienda.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

namespace {
const QString correo = QStringLiteral("cliente@quelodsp.com");
const QString clave = QStringLiteral("suite-demo-2026");
} // namespace

class TstExtremo : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cliente_se_registra_baja_sus_plugins_y_los_quita() {
        Mundo mundo(false);
        const QString datos = mundo.dir.filePath(QStringLiteral("tienda"));
        QVERIFY(prepararTienda(datos, correo));

        TiendaLocal tienda(datos);
        QVERIFY2(tienda.base.isValid(), "tienda-local did not start");
        QVERIFY(QFile::copy(QStringLiteral(QUELO_CATALOGO),
                            mundo.entorno.recursos + QStringLiteral("/catalogo.json")));
        servicioDePrueba(mundo.entorno, tienda.base);

        Store store(mundo.entorno);
        store.load();
        QVERIFY(!store.root());
        QVERIFY(!store.cuentaEmail());

        store.crearCuenta(QStringLiteral("  ") + correo, clave, clave);
        QVERIFY(store.busy());
        QVERIFY(esperarFin(store));
        QCOMPARE(store.status(),
                 QStringLiteral("Sesión de la tienda abierta. Baja los plugins que compraste."));
        QCOMPARE(store.cuentaEmail(), std::optional<QString>(correo));
        QVERIFY(store.tokenCasa() && !store.tokenCasa()->isEmpty());

        // The five plug-ins the demonstration account owns: the first five of the catalog.
        const QList<Plugin> comprados = store.plugins().mid(0, 5);
        store.bajarComprados();
        QVERIFY(store.busy());
        QVERIFY(esperarFin(store, std::chrono::seconds(60)));
        QCOMPARE(store.status(),
                 QStringLiteral("Listos 5 plugins. En Ableton: Preferencias > Plug-ins > Rescan."));
        QSet<QString> esperados;
        for (const Plugin& p : comprados) {
            for (const auto& destino :
                 {destinoVst3(mundo.entorno.home, p), destinoAu(mundo.entorno.home, p)})
                if (destino)
                    QVERIFY2(QFileInfo::exists(*destino + QStringLiteral("/Contents/Info.plist")),
                             qPrintable(*destino));
            if (!p.vst3.isEmpty()) esperados.insert(p.id);
        }
        QCOMPARE(store.installed(), esperados);
        // nothing of the downloads stays in the temporary folder
        QCOMPARE(entradas(mundo.entorno.temporal), QStringList());

        // A plug-in the account did not buy cannot be installed from the store.
        const Plugin ajeno = store.plugins().last();
        store.install(ajeno);
        QVERIFY(esperarFin(store));
        QCOMPARE(store.status(), QStringLiteral("Esta cuenta no compró ese plugin."));
        QVERIFY(!store.installed().contains(ajeno.id));

        // Removing works on downloaded bundles as on copied ones.
        store.remove(comprados.first());
        QVERIFY(esperarFin(store));
        QVERIFY(store.status().endsWith(
            QStringLiteral(" se quitó de las carpetas del sistema. El original del proyecto sigue "
                           "en su sitio.")));
        esperados.remove(comprados.first().id);
        QCOMPARE(store.installed(), esperados);

        // A restart restores the store session from the session file.
        Store otra(mundo.entorno);
        otra.load();
        QCOMPARE(otra.cuentaEmail(), std::optional<QString>(correo));
        QCOMPARE(otra.tokenCasa(), store.tokenCasa());
        QCOMPARE(otra.installed(), esperados);
    }
};

QUELO_PRUEBA(TstExtremo)
QUELO_MAIN(QCoreApplication)
#include "tst_extremo.moc"
