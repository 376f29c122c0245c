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
        const Plugin p = pluginDePrueba(QStringLiteral("brisa"));
        const Plugin vecino = pluginDePrueba(QStringLiteral("vecino"));
        Banco b({p, vecino});
        for (const Plugin& x : {p, vecino}) {
            crearBundle(b.mundo.vst3(x));
            crearBundle(b.mundo.au(x));
        }
        b.store->refreshInstalled();
        const QStringList proyecto = arbol(b.mundo.proyecto);

        b.store->remove(p);
        QVERIFY(b.store->busy());
        QVERIFY(esperarFin(*b.store));
        QCOMPARE(b.store->status(), quitado(p));
        QVERIFY(!QFileInfo::exists(b.mundo.vst3(p)));
        QVERIFY(!QFileInfo::exists(b.mundo.au(p)));
        QVERIFY(QFileInfo::exists(b.mundo.au(vecino)));
        QCOMPARE(b.store->installed(), QSet<QString>{QStringLiteral("vecino")});
        QCOMPARE(arbol(b.mundo.proyecto), proyecto);

        // Maker and category folders stay even once empty.
        QVERIFY(b.quitar(vecino));
        QVERIFY(b.vecinos(p).isEmpty());
        QVERIFY(QFileInfo(QFileInfo(b.mundo.au(p)).path()).isDir());
        QVERIFY(b.store->installed().isEmpty());
    }

    void quitar_lo_que_no_esta_no_es_error() {
        Plugin p = pluginDePrueba(QStringLiteral("brisa"));
        p.au.clear();
        Banco b({p});
        QVERIFY(b.quitar(p));
        QCOMPARE(b.store->status(), quitado(p));
        QVERIFY(entradas(b.mundo.entorno.home).isEmpty());
    }

    void un_enlace_se_quita_sin_seguirlo() {
        const Plugin p = pluginDePrueba(QStringLiteral("brisa"));
        Banco b({p});
        const QString fuera = b.mundo.dir.filePath(QStringLiteral("fuera"));
        crearBundle(fuera);
        const QStringList antes = arbol(fuera);
        QDir().mkpath(QFileInfo(b.mundo.vst3(p)).path());
        QVERIFY(QFile::link(fuera, b.mundo.vst3(p)));
        QDir().mkpath(QFileInfo(b.mundo.au(p)).path());
        QVERIFY(QFile::link(b.mundo.dir.filePath(QStringLiteral("no-existe")),
                            b.mundo.au(p))); // dangling
        b.store->refreshInstalled();
        QCOMPARE(b.store->installed(), QSet<QString>{QStringLiteral("brisa")});

        QVERIFY(b.quitar(p));
        QCOMPARE(b.store->status(), quitado(p));
        QVERIFY(!QFileInfo(b.mundo.vst3(p)).isSymLink());
        QVERIFY(!QFileInfo(b.mundo.au(p)).isSymLink());
        QCOMPARE(arbol(fuera), antes);
    }

    void nunca_borra_el_build_del_proyecto() {
        // The category folder is a link into the project: the "installed" bundle is the build.
        const Plugin p = pluginDePrueba(QStringLiteral("brisa"));
        Banco b({p});
        const QString categoria = QFileInfo(b.mundo.vst3(p)).path();
        QDir().mkpath(QFileInfo(categoria).path());
        QVERIFY(QFile::link(QFileInfo(b.fuente(p.vst3)).path(), categoria));
        crearBundle(b.mundo.au(p));
        const QStringList proyecto = arbol(b.mundo.proyecto);

        QVERIFY(b.quitar(p));
        QCOMPARE(b.store->status(),
                 QStringLiteral("No se quitó brisa.vst3: está dentro de la carpeta del proyecto."));
        QCOMPARE(arbol(b.mundo.proyecto), proyecto);
        QVERIFY(QFileInfo::exists(b.mundo.au(p)));
    }

    void quitar_que_falla_deja_el_bundle_entero_data() {
        QTest::addColumn<bool>("categoria"); // the category folder is immutable, else the bundle
        QTest::newRow("categoría que no se puede cambiar") << true;
        QTest::newRow("bundle que no se puede mover") << false;
    }

    void quitar_que_falla_deja_el_bundle_entero() {
        QFETCH(bool, categoria);
        const Plugin p = pluginDePrueba(QStringLiteral("brisa"));
        Banco b({p});
        crearBundle(b.mundo.vst3(p));
        const QStringList antes = arbol(b.mundo.vst3(p));
        const Inmutable fijo(categoria ? QFileInfo(b.mundo.vst3(p)).path() : b.mundo.vst3(p));
        if (!fijo.marcado()) QSKIP(qPrintable(fijo.razon()));
        b.store->refreshInstalled();

        QVERIFY(b.quitar(p));
        const QString estado = b.store->status();
        QVERIFY2(estado.startsWith(QStringLiteral("No se pudo ")) &&
                     estado.endsWith(QStringLiteral(": no hay permiso.")),
                 qPrintable(estado));
        QCOMPARE(arbol(b.mundo.vst3(p)), antes);
        QCOMPARE(b.store->installed(), QSet<QString>{QStringLiteral("brisa")});
    }

    void borrar_llega_a_cualquier_profundidad_y_nombre() {
        QTemporaryDir dir;
        const QString raiz = dir.filePath(QStringLiteral("quelo-hondo"));
        const QString fuera = dir.filePath(QStringLiteral("fuera"));
        escribir(fuera + QStringLiteral("/guardado.txt"), "mio");
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
        QCOMPARE(leer(fuera + QStringLiteral("/guardado.txt")), QByteArray("mio"));
    }
};

QUELO_PRUEBA(TstQuitar)

#include "tst_quitar.moc"
