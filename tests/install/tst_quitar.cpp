// Removing an installed plug-in from the system's plug-in folders.
#include "banco.h"

#include <QDir>
#include <QFileInfo>
#include <QtTest>

class TstQuitar : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void quita_los_dos_bundles_y_deja_carpetas_y_proyecto() {
        const Plugin p = pluginDePrueba("brisa");
        const Plugin vecino = pluginDePrueba("vecino");
        Banco b({p, vecino});
        for (const Plugin& x : {p, vecino}) {
            crearBundle(b.vst3(x));
            crearBundle(b.au(x));
        }
        b.store->refreshInstalled();
        const QStringList proyecto = arbol(b.mundo.proyecto);

        b.store->remove(p);
        QVERIFY(b.store->busy());
        QVERIFY(b.esperar());
        QCOMPARE(b.store->status(), quitado(p));
        QVERIFY(!QFileInfo::exists(b.vst3(p)));
        QVERIFY(!QFileInfo::exists(b.au(p)));
        QVERIFY(QFileInfo::exists(b.au(vecino)));
        QCOMPARE(b.store->installed(), QSet<QString>{"vecino"});
        QCOMPARE(arbol(b.mundo.proyecto), proyecto);

        // Maker and category folders stay even once empty.
        b.store->remove(vecino);
        QVERIFY(b.esperar());
        QVERIFY(entradas(QFileInfo(b.vst3(p)).path()).isEmpty());
        QVERIFY(QFileInfo(QFileInfo(b.au(p)).path()).isDir());
        QVERIFY(b.store->installed().isEmpty());
    }

    void quitar_lo_que_no_esta_no_es_error() {
        Plugin p = pluginDePrueba("brisa");
        p.au.clear();
        Banco b({p});
        b.store->remove(p);
        QVERIFY(b.esperar());
        QCOMPARE(b.store->status(), quitado(p));
        QVERIFY(entradas(b.mundo.entorno.home).isEmpty());
    }

    void un_enlace_se_quita_sin_seguirlo() {
        const Plugin p = pluginDePrueba("brisa");
        Banco b({p});
        const QString fuera = b.mundo.dir.filePath("fuera");
        crearBundle(fuera);
        const QStringList antes = arbol(fuera);
        QDir().mkpath(QFileInfo(b.vst3(p)).path());
        QVERIFY(QFile::link(fuera, b.vst3(p)));
        QDir().mkpath(QFileInfo(b.au(p)).path());
        QVERIFY(QFile::link(b.mundo.dir.filePath("no-existe"), b.au(p))); // dangling
        b.store->refreshInstalled();
        QCOMPARE(b.store->installed(), QSet<QString>{"brisa"});

        b.store->remove(p);
        QVERIFY(b.esperar());
        QCOMPARE(b.store->status(), quitado(p));
        QVERIFY(!QFileInfo(b.vst3(p)).isSymLink());
        QVERIFY(!QFileInfo(b.au(p)).isSymLink());
        QCOMPARE(arbol(fuera), antes);
    }

    void nunca_borra_el_build_del_proyecto() {
        // The category folder is a link into the project: the "installed" bundle is the build.
        const Plugin p = pluginDePrueba("brisa");
        Banco b({p});
        const QString categoria = QFileInfo(b.vst3(p)).path();
        QDir().mkpath(QFileInfo(categoria).path());
        QVERIFY(QFile::link(QFileInfo(b.fuente(p.vst3)).path(), categoria));
        crearBundle(b.au(p));
        const QStringList proyecto = arbol(b.mundo.proyecto);

        b.store->remove(p);
        QVERIFY(b.esperar());
        QCOMPARE(b.store->status(),
                 QStringLiteral("No se quitó brisa.vst3: está dentro de la carpeta del proyecto."));
        QCOMPARE(arbol(b.mundo.proyecto), proyecto);
        QVERIFY(QFileInfo::exists(b.au(p)));
    }
};

int pruebaQuitar(int argc, char** argv) {
    TstQuitar t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_quitar.moc"
