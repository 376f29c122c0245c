// Putting a bundle in its place, and what a copy of the application cut short leaves behind.
// Built twice: with this system's one-step exchange, and with the two renames used where a
// system has none (QUELO_DOS_PASOS).
#include "banco.h"
#include "install/cerrojo.h"
#include "install/reemplazo.h"
#include "install/restos.h"

#include <QDir>
#include <QFileInfo>
#include <QUuid>
#include <QtTest>

#ifndef QUELO_DOS_PASOS
#define QUELO_DOS_PASOS 0
#endif

namespace {

constexpr bool dosPasos = QUELO_DOS_PASOS;

// A bundle told apart from others by one file.
QStringList bundleMarcado(const QString& ruta, const QByteArray& marca) {
    crearBundle(ruta);
    escribir(ruta + QStringLiteral("/Contents/") + QString::fromUtf8(marca) +
                 QStringLiteral(".txt"),
             marca);
    return arbol(ruta);
}

// What a crashed copy left, named for a process that no longer runs.
QString resto(const QString& destino, const QString& que) {
    const QFileInfo info(destino);
    return info.path() + QStringLiteral("/.") + info.fileName() + QStringLiteral(".") + que +
           QStringLiteral("-4242");
}

} // namespace

class TstReemplazo : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void pone_en_sitio_y_deja_lo_anterior_aparte_data() {
        QTest::addColumn<QString>("antes");
        QTest::newRow("nada") << "nada";
        QTest::newRow("un bundle") << "bundle";
        QTest::newRow("un enlace") << "enlace";
    }

    void pone_en_sitio_y_deja_lo_anterior_aparte() {
        QFETCH(QString, antes);
        QTemporaryDir dir;
        const QString destino = dir.filePath(QStringLiteral("brisa.vst3"));
        const QString fuera = dir.filePath(QStringLiteral("fuera"));
        const QStringList nuevo = bundleMarcado(copiaNueva(destino), "nuevo");
        const QStringList ajeno = bundleMarcado(fuera, "ajeno");
        QStringList viejo;
        if (antes == QStringLiteral("bundle")) viejo = bundleMarcado(destino, "viejo");
        if (antes == QStringLiteral("enlace")) QVERIFY(QFile::link(fuera, destino));

        const QString aparte = ponerEnSitio(copiaNueva(destino), destino, copiaAnterior(destino));
        QVERIFY(!QFileInfo(destino).isSymLink());
        QCOMPARE(arbol(destino), nuevo);
        QCOMPARE(arbol(fuera), ajeno);
        if (antes == QStringLiteral("nada")) {
            QCOMPARE(aparte, QString());
            QCOMPARE(entradas(dir.path()),
                     (QStringList{QStringLiteral("brisa.vst3"), QStringLiteral("fuera")}));
            return;
        }
        // One step swaps the two names; two steps move the earlier one aside first.
        QCOMPARE(aparte, dosPasos ? copiaAnterior(destino) : copiaNueva(destino));
        QCOMPARE(entradas(dir.path()),
                 (QStringList{QFileInfo(aparte).fileName(), QStringLiteral("brisa.vst3"),
                              QStringLiteral("fuera")}));
        if (antes == QStringLiteral("bundle")) QCOMPARE(arbol(aparte), viejo);
        if (antes == QStringLiteral("enlace")) QVERIFY(QFileInfo(aparte).isSymLink());
    }

    void lo_que_deja_un_corte_se_resuelve_en_la_siguiente_accion_data() {
        QTest::addColumn<QString>("corte");
        QTest::addColumn<bool>("vivo");     // a live copy holds the lock: nothing is touched
        QTest::addColumn<QString>("queda"); // at the destination afterwards
        QTest::newRow("copiando") << "copiando" << false << "viejo";
        QTest::newRow("entre los dos pasos") << "entre" << false << "viejo";
        QTest::newRow("tras el intercambio") << "tras" << false << "nuevo";
        QTest::newRow("quitando") << "quitando" << false << "nada";
        QTest::newRow("bajando") << "bajando" << false << "nada";
        QTest::newRow("copiando, copia viva") << "copiando" << true << "viejo";
        QTest::newRow("entre los dos pasos, copia viva") << "entre" << true << "nada";
        QTest::newRow("bajando, copia viva") << "bajando" << true << "nada";
    }

    void lo_que_deja_un_corte_se_resuelve_en_la_siguiente_accion() {
        QFETCH(QString, corte);
        QFETCH(bool, vivo);
        QFETCH(QString, queda);
        const Plugin p = pluginDePrueba(QStringLiteral("brisa")),
                     vecino = pluginDePrueba(QStringLiteral("vecino"));
        Banco b({p, vecino});
        const QString destino = b.mundo.vst3(p);
        const QString categoria = QFileInfo(destino).path();
        const QString descarga = b.mundo.entorno.temporal + QStringLiteral("/quelo-brisa-") +
                                 QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
        QMap<QString, QStringList> arboles;
        if (corte == QStringLiteral("copiando")) {
            arboles[QStringLiteral("viejo")] = bundleMarcado(destino, "viejo");
            escribir(resto(destino, QStringLiteral("instalando")) +
                         QStringLiteral("/Contents/Info.plist"),
                     "<pli");
        } else if (corte == QStringLiteral("entre")) {
            arboles[QStringLiteral("viejo")] =
                bundleMarcado(resto(destino, QStringLiteral("anterior")), "viejo");
            bundleMarcado(resto(destino, QStringLiteral("instalando")), "nuevo");
        } else if (corte == QStringLiteral("tras")) {
            arboles[QStringLiteral("nuevo")] = bundleMarcado(destino, "nuevo");
            bundleMarcado(resto(destino, QStringLiteral("instalando")), "viejo");
        } else if (corte == QStringLiteral("quitando")) {
            bundleMarcado(resto(destino, QStringLiteral("quitando")), "viejo");
        } else {
            crearBundle(descarga + QStringLiteral("/brisa.vst3"));
            escribir(descarga + QStringLiteral(".zip"), "PK");
        }
        QDir().mkpath(categoria);
        const Cerrojo otraCopia =
            vivo ? tomarCerrojo(corte == QStringLiteral("bajando") ? cerrojoDeDescarga(descarga)
                                                                   : cerrojoDe(destino),
                                destino)
                 : nullptr;
        // What a copy of the application may touch, but the plug-in this action installs.
        const auto suyo = [&] {
            QStringList r = arbol(categoria) + arbol(b.mundo.entorno.temporal);
            r.removeIf(
                [](const QString& linea) { return linea.contains(QStringLiteral("vecino.")); });
            return r;
        };
        const QStringList antes = suyo();

        QVERIFY(b.instalar(vecino));
        QCOMPARE(b.store->status(), exito(vecino));
        if (vivo) {
            QCOMPARE(suyo(), antes);
            return;
        }
        QCOMPARE(arbol(destino), arboles.value(queda));
        QStringList esperadas{QStringLiteral("vecino.vst3")};
        if (queda != QStringLiteral("nada")) esperadas.prepend(QStringLiteral("brisa.vst3"));
        QCOMPARE(entradas(categoria), esperadas);
        QVERIFY(entradas(b.mundo.entorno.temporal).isEmpty());
    }
};

QUELO_PRUEBA(TstReemplazo)

#include "tst_reemplazo.moc"
