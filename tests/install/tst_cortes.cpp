// Another copy of the application as a real process (quelo-accion): killed at chosen moments of
// an install, or at work on the same destination as this one.
#include "banco.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QtTest>

namespace {

const QString ocupado = QStringLiteral(
    "Otra copia de Quelo Instalador está cambiando brisa.vst3. Vuelve a probar cuando termine.");

// A tool stand-in that does `antes`, says so with the file `listo`, then waits for the file
// `sigue` (ending when the process that ran it is gone) and does `despues`.
QString queEspera(const Mundo& m, const QString& nombre, const QByteArray& antes,
                  const QByteArray& despues) {
    const QByteArray listo = QFile::encodeName(m.dir.filePath("listo"));
    const QByteArray sigue = QFile::encodeName(m.dir.filePath("sigue"));
    return guion(m.dir.filePath(nombre),
                 antes + "\ntouch '" + listo + "'\nwhile [ ! -e '" + sigue +
                     "' ]; do kill -0 $PPID 2>/dev/null || exit 1; sleep 0.05; done\n" + despues);
}

// A copy tool that copies one file of the bundle, then waits before copying it whole.
QString copiaQueEspera(const Mundo& m) {
    return queEspera(m, "copia-espera",
                     "mkdir -p \"$2/Contents\" && cp \"$1/Contents/Info.plist\" \"$2/Contents/\"",
                     "rm -rf \"$2\" && exec /bin/cp -a \"$1\" \"$2\"");
}

struct OtraCopia {
    QProcess proceso;
    OtraCopia(const Mundo& m, const QString& verbo, const QStringList& herramientas) {
        proceso.start(QUELO_ACCION, QStringList{m.dir.path(), verbo, "brisa"} + herramientas);
        QVERIFY(proceso.waitForStarted());
    }
    ~OtraCopia() {
        proceso.kill();
        proceso.waitForFinished();
    }
    QString estado() {
        proceso.waitForFinished(30000);
        return QString::fromUtf8(proceso.readAllStandardOutput()).trimmed();
    }
};

} // namespace

class TstCortes : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void una_copia_cortada_deja_un_bundle_entero_y_la_siguiente_sigue_data() {
        QTest::addColumn<bool>("enLaCuarentena"); // killed after the swap, else while copying
        QTest::newRow("cortada copiando") << false;
        QTest::newRow("cortada quitando la cuarentena") << true;
    }

    void una_copia_cortada_deja_un_bundle_entero_y_la_siguiente_sigue() {
        QFETCH(bool, enLaCuarentena);
        const Plugin p = pluginDePrueba("brisa");
        Banco b({p});
        crearBundle(b.vst3(p));
        escribir(b.vst3(p) + "/Contents/viejo.txt", "viejo");
        const QStringList viejo = arbol(b.vst3(p));
        const QStringList herramientas =
            enLaCuarentena ? QStringList{"-", queEspera(b.mundo, "xattr-espera", "", "")}
                           : QStringList{copiaQueEspera(b.mundo)};

        {
            OtraCopia otra(b.mundo, "instalar", herramientas);
            QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(b.mundo.dir.filePath("listo")), 20000);
        } // killed
        // A host finds the earlier bundle or the new one whole, and nothing else it would load.
        QCOMPARE(arbol(b.vst3(p)), enLaCuarentena ? arbol(b.fuente(p.vst3)) : viejo);
        const QStringList quedan = entradas(QFileInfo(b.vst3(p)).path());
        QVERIFY2(quedan.size() > 1, qPrintable(quedan.join(' '))); // its lock and a copy
        for (const QString& e : quedan)
            QVERIFY2(e == "brisa.vst3" || (e.startsWith('.') && !e.endsWith(".vst3")),
                     qPrintable(e));

        // The dead copy's lock holds nothing up, and what it left goes.
        b.store->install(p);
        QVERIFY(b.esperar());
        QCOMPARE(b.store->status(), exito(p));
        QCOMPARE(arbol(b.vst3(p)), arbol(b.fuente(p.vst3)));
        QCOMPARE(entradas(QFileInfo(b.vst3(p)).path()), QStringList{"brisa.vst3"});
    }

    void dos_copias_no_cambian_un_destino_a_la_vez() {
        const Plugin p = pluginDePrueba("brisa");
        Banco b({p});
        crearBundle(b.vst3(p));
        const QStringList viejo = arbol(b.vst3(p));
        OtraCopia otra(b.mundo, "instalar", {copiaQueEspera(b.mundo)});
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(b.mundo.dir.filePath("listo")), 20000);

        // Answered at once, without waiting for the other copy.
        b.store->install(p);
        QVERIFY(b.esperar());
        QCOMPARE(b.store->status(), ocupado);
        b.store->remove(p);
        QVERIFY(b.esperar());
        QCOMPARE(b.store->status(), ocupado);
        QCOMPARE(arbol(b.vst3(p)), viejo);

        escribir(b.mundo.dir.filePath("sigue"), "");
        QCOMPARE(otra.estado(), exito(p));
        QCOMPARE(arbol(b.vst3(p)), arbol(b.fuente(p.vst3)));
        QCOMPARE(entradas(QFileInfo(b.vst3(p)).path()), QStringList{"brisa.vst3"});

        OtraCopia quita(b.mundo, "quitar", {});
        QCOMPARE(quita.estado(), quitado(p));
        QVERIFY(entradas(QFileInfo(b.vst3(p)).path()).isEmpty());
    }
};

int pruebaCortes(int argc, char** argv) {
    TstCortes t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_cortes.moc"
