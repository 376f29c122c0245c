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
    escribir(ruta + "/Contents/" + marca + ".txt", marca);
    return arbol(ruta);
}

// What a crashed copy left, named for a process that no longer runs.
QString resto(const QString& destino, const QString& que) {
    const QFileInfo info(destino);
    return info.path() + "/." + info.fileName() + "." + que + "-4242";
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
        const QString destino = dir.filePath("brisa.vst3");
        const QString fuera = dir.filePath("fuera");
        const QStringList nuevo = bundleMarcado(copiaNueva(destino), "nuevo");
        const QStringList ajeno = bundleMarcado(fuera, "ajeno");
        QStringList viejo;
        if (antes == "bundle") viejo = bundleMarcado(destino, "viejo");
        if (antes == "enlace") QVERIFY(QFile::link(fuera, destino));

        const QString aparte = ponerEnSitio(copiaNueva(destino), destino, copiaAnterior(destino));
        QVERIFY(!QFileInfo(destino).isSymLink());
        QCOMPARE(arbol(destino), nuevo);
        QCOMPARE(arbol(fuera), ajeno);
        if (antes == "nada") {
            QCOMPARE(aparte, QString());
            QCOMPARE(entradas(dir.path()), (QStringList{"brisa.vst3", "fuera"}));
            return;
        }
        // One step swaps the two names; two steps move the earlier one aside first.
        QCOMPARE(aparte, dosPasos ? copiaAnterior(destino) : copiaNueva(destino));
        QCOMPARE(entradas(dir.path()),
                 (QStringList{QFileInfo(aparte).fileName(), "brisa.vst3", "fuera"}));
        if (antes == "bundle") QCOMPARE(arbol(aparte), viejo);
        if (antes == "enlace") QVERIFY(QFileInfo(aparte).isSymLink());
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
        const Plugin p = pluginDePrueba("brisa"), vecino = pluginDePrueba("vecino");
        Banco b({p, vecino});
        const QString destino = b.vst3(p);
        const QString categoria = QFileInfo(destino).path();
        const QString descarga = b.mundo.entorno.temporal + "/quelo-brisa-" +
                                 QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
        QMap<QString, QStringList> arboles;
        if (corte == "copiando") {
            arboles["viejo"] = bundleMarcado(destino, "viejo");
            escribir(resto(destino, "instalando") + "/Contents/Info.plist", "<pli");
        } else if (corte == "entre") {
            arboles["viejo"] = bundleMarcado(resto(destino, "anterior"), "viejo");
            bundleMarcado(resto(destino, "instalando"), "nuevo");
        } else if (corte == "tras") {
            arboles["nuevo"] = bundleMarcado(destino, "nuevo");
            bundleMarcado(resto(destino, "instalando"), "viejo");
        } else if (corte == "quitando") {
            bundleMarcado(resto(destino, "quitando"), "viejo");
        } else {
            crearBundle(descarga + "/brisa.vst3");
            escribir(descarga + ".zip", "PK");
        }
        QDir().mkpath(categoria);
        const Cerrojo otraCopia =
            vivo ? tomarCerrojo(corte == "bajando" ? cerrojoDeDescarga(descarga)
                                                   : cerrojoDe(destino),
                                destino)
                 : nullptr;
        // What a copy of the application may touch, but the plug-in this action installs.
        const auto suyo = [&] {
            QStringList r = arbol(categoria) + arbol(b.mundo.entorno.temporal);
            r.removeIf([](const QString& linea) { return linea.contains("vecino."); });
            return r;
        };
        const QStringList antes = suyo();

        b.store->install(vecino);
        QVERIFY(b.esperar());
        QCOMPARE(b.store->status(), exito(vecino));
        if (vivo) {
            QCOMPARE(suyo(), antes);
            return;
        }
        QCOMPARE(arbol(destino), arboles.value(queda));
        QStringList esperadas{"vecino.vst3"};
        if (queda != "nada") esperadas.prepend("brisa.vst3");
        QCOMPARE(entradas(categoria), esperadas);
        QVERIFY(entradas(b.mundo.entorno.temporal).isEmpty());
    }
};

int pruebaReemplazo(int argc, char** argv) {
    TstReemplazo t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_reemplazo.moc"
