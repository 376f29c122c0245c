// Removing an installed plug-in from the system's plug-in folders.
#include "banco.h"
#include "core/rutas.h"
#include "disco.h"

#include <QDir>
#include <QFileInfo>
#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

    void quitar_que_falla_deja_el_bundle_entero_data() {
        QTest::addColumn<bool>("categoria"); // the category folder is immutable, else the bundle
        QTest::newRow("categoría que no se puede cambiar") << true;
        QTest::newRow("bundle que no se puede mover") << false;
    }

    void quitar_que_falla_deja_el_bundle_entero() {
        QFETCH(bool, categoria);
        const Plugin p = pluginDePrueba("brisa");
        Banco b({p});
        crearBundle(b.vst3(p));
        const QStringList antes = arbol(b.vst3(p));
        const Inmutable fijo(categoria ? QFileInfo(b.vst3(p)).path() : b.vst3(p));
        if (!fijo.marcado()) QSKIP(qPrintable(fijo.razon()));
        b.store->refreshInstalled();

        b.store->remove(p);
        QVERIFY(b.esperar());
        const QString estado = b.store->status();
        QVERIFY2(estado.startsWith("No se pudo ") && estado.endsWith(": no hay permiso."),
                 qPrintable(estado));
        QCOMPARE(arbol(b.vst3(p)), antes);
        QCOMPARE(b.store->installed(), QSet<QString>{"brisa"});
    }

    void borrar_llega_a_cualquier_profundidad_y_nombre() {
        QTemporaryDir dir;
        const QString raiz = dir.filePath("quelo-hondo");
        const QString fuera = dir.filePath("fuera");
        escribir(fuera + "/guardado.txt", "mio");
        QVERIFY(QDir().mkpath(raiz));
        // Odd names, a link out, a folder without write permission, and a chain of folders far
        // deeper than a path can name.
        int fd = ::open(QFile::encodeName(raiz).constData(), O_RDONLY | O_DIRECTORY);
        QVERIFY(fd >= 0);
        for (const char* nombre : {"\xff\xfe no es UTF-8", "a\nb", " ", "-r"})
            QVERIFY(::close(::openat(fd, nombre, O_CREAT | O_WRONLY, 0644)) == 0);
        QVERIFY(::symlinkat(QFile::encodeName(fuera).constData(), fd, "enlace") == 0);
        QVERIFY(::mkdirat(fd, "cerrada", 0700) == 0);
        const int cerrada = ::openat(fd, "cerrada", O_RDONLY | O_DIRECTORY);
        QVERIFY(::close(::openat(cerrada, "dentro", O_CREAT | O_WRONLY, 0644)) == 0);
        QVERIFY(::fchmod(cerrada, 0500) == 0 && ::close(cerrada) == 0);
        const QByteArray tramo(100, 'h');
        for (int i = 0; i < 100; ++i) {
            QVERIFY(::mkdirat(fd, tramo.constData(), 0755) == 0);
            const int hijo = ::openat(fd, tramo.constData(), O_RDONLY | O_DIRECTORY);
            QVERIFY(hijo >= 0 && ::close(fd) == 0);
            fd = hijo;
            QVERIFY(::close(::openat(fd, "x", O_CREAT | O_WRONLY, 0644)) == 0);
        }
        ::close(fd);

        borrarRuta(raiz);
        QVERIFY(!hayAlgo(raiz));
        QCOMPARE(leer(fuera + "/guardado.txt"), QByteArray("mio"));
    }
};

int pruebaQuitar(int argc, char** argv) {
    TstQuitar t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_quitar.moc"
