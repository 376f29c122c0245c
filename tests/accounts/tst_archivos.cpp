// The application's own files under a full disk, as special files, and after an interrupted write.
#include "core/archivo.h"
#include "core/failure.h"
#include "disco.h"
#include "ejecutable.h"
#include "prueba.h"
#include "prueba_store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtTest>

namespace {

const QString clave = QStringLiteral("Clave segura 1");

QString rutaMarca(const Mundo& m) {
    return m.proyecto + QStringLiteral("/config/marca.json");
}
QString rutaCatalogo(const Mundo& m) {
    return m.entorno.recursos + QStringLiteral("/catalogo.json");
}

// What else is in the folder of a file.
QStringList vecinos(const QString& ruta) {
    return entradas(QFileInfo(ruta).absolutePath());
}

// Why a special file of each kind cannot be read or replaced, as the status line says it.
QString porque(const QString& tipo) {
    if (tipo == QLatin1String("carpeta")) return QStringLiteral("es una carpeta");
    if (tipo == QLatin1String("enorme")) return QStringLiteral("el archivo es demasiado grande");
    if (tipo == QLatin1String("bucle")) return QStringLiteral("hay demasiados enlaces encadenados");
    return QStringLiteral("no es un archivo normal, sino uno especial");
}

// A file last written two minutes ago.
void escribirViejo(const QString& ruta) {
    escribir(ruta, "{\"cuentas\": [");
    QFile archivo(ruta);
    QVERIFY(archivo.open(QIODevice::ReadWrite));
    QVERIFY(archivo.setFileTime(QDateTime::currentDateTime().addSecs(-120),
                                QFileDevice::FileModificationTime));
}

} // namespace

class TstArchivos : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // A full disk: the write fails, says so in Spanish, and the earlier file stays whole.
    void disco_lleno_no_pierde_ni_finge_data() {
        QTest::addColumn<QString>("disco");  // the folder that is the small disk: libro, sesion
        QTest::addColumn<int>("libres");     // blocks left free on it
        QTest::addColumn<QString>("accion"); // alta, entrar
        QTest::addColumn<QString>("fallo");  // the write that fails: cerrojo, libro, sesion
        QTest::newRow("libro, sin sitio para el cerrojo") << "libro" << 0 << "alta"
                                                          << "cerrojo";
        QTest::newRow("libro, sin sitio para las cuentas") << "libro" << 1 << "alta"
                                                           << "libro";
        QTest::newRow("sesión, tras el alta") << "sesion" << 0 << "alta"
                                              << "sesion";
        QTest::newRow("sesión, al entrar") << "sesion" << 0 << "entrar"
                                           << "sesion";
    }
    void disco_lleno_no_pierde_ni_finge() {
        QFETCH(QString, disco);
        QFETCH(int, libres);
        QFETCH(QString, accion);
        QFETCH(QString, fallo);
        Mundo m;
        const QString carpeta =
            QFileInfo(disco == QStringLiteral("libro") ? m.libro() : m.sesion()).path();
        DiscoPequeno pequeno(carpeta, 64 * 1024);
        if (!pequeno.montado()) QSKIP(qPrintable(pequeno.razon()));
        const QByteArray libro =
            codificarLibro({{cuentaDePrueba(QStringLiteral("Ana@x.es"), clave)}});
        const QByteArray sesion = "{\"email\":\"tienda@x.es\",\"token\":\"ficha-vieja\"}";
        escribir(m.libro(), libro);
        escribir(m.sesion(), sesion);
        QVERIFY(pequeno.llenar(libres));

        Store s(m.entorno);
        if (accion == QStringLiteral("alta"))
            s.crearCuenta(QStringLiteral("nueva@x.es"), clave, clave);
        else
            s.entrar(QStringLiteral("ana@x.es"), clave);

        const QString ruta = fallo == QStringLiteral("cerrojo")
                                 ? m.libro() + QStringLiteral(".lock")
                             : fallo == QStringLiteral("libro") ? m.libro()
                                                                : m.sesion();
        QCOMPARE(s.status(),
                 QString::fromUtf8(fallo == QStringLiteral("cerrojo") ? "No se pudo crear "
                                                                      : "No se pudo guardar ") +
                     ruta + QStringLiteral(": no queda espacio en el disco."));
        QVERIFY(!s.cuentaEmail());
        QCOMPARE(leer(m.sesion()), sesion);
        // The new account stays when only its session could not be saved.
        if (fallo == QStringLiteral("sesion") && accion == QStringLiteral("alta"))
            QCOMPARE(leerLibro(m.libro()).cuentas.size(), 2);
        else
            QCOMPARE(leer(m.libro()), libro);
        QCOMPARE(
            QDir(carpeta).entryList(QDir::Files | QDir::Hidden | QDir::System),
            (QStringList{
                QFileInfo(disco == QStringLiteral("libro") ? m.libro() : m.sesion()).fileName(),
                QStringLiteral("relleno")}));
    }

    // Special files: nothing blocks, each falls back as if unreadable, and stays as it was.
    void archivo_especial_no_cuelga_y_queda_como_estaba_data() {
        QTest::addColumn<QString>("archivo");
        QTest::addColumn<QString>("tipo");
        for (const QString& archivo : {QStringLiteral("catalogo"), QStringLiteral("libro"),
                                       QStringLiteral("sesion"), QStringLiteral("marca")})
            for (const QString& tipo : tiposEspeciales())
                QTest::newRow(qPrintable(archivo + QStringLiteral(", ") + tipo)) << archivo << tipo;
    }
    void archivo_especial_no_cuelga_y_queda_como_estaba() {
        QFETCH(QString, archivo);
        QFETCH(QString, tipo);
        Mundo m;
        m.catalogo({pluginDePrueba(QStringLiteral("a"))});
        // A local session that only the book could confirm.
        escribir(m.sesion(), "{\"email\":\"ana@x.es\"}");
        const QString ruta = archivo == QStringLiteral("catalogo") ? rutaCatalogo(m)
                             : archivo == QStringLiteral("libro")  ? m.libro()
                             : archivo == QStringLiteral("sesion") ? m.sesion()
                                                                   : rutaMarca(m);
        QFile::remove(ruta);
        crearEspecial(ruta, tipo);
        const QString antes = describir(ruta);
        const QStringList alrededor = vecinos(ruta);

        VigiaDeFifo vigia(ruta);
        Store s(m.entorno);
        s.load();
        if (archivo == QStringLiteral("catalogo")) {
            QCOMPARE(s.status(), QStringLiteral("No encontré el catálogo dentro de la app."));
            QVERIFY(s.plugins().isEmpty());
        } else {
            QCOMPARE(s.plugins().size(), 1);
            QVERIFY(!s.cuentaEmail());
        }
        if (archivo == QStringLiteral("libro")) {
            s.crearCuenta(QStringLiteral("nueva@x.es"), clave, clave);
            QCOMPARE(s.status(), QStringLiteral("No se pudo leer ") + ruta + QStringLiteral(": ") +
                                     porque(tipo) + QStringLiteral("."));
            QVERIFY(!s.cuentaEmail());
        }
        QCOMPARE(PruebaStore::servicio(s), QUrl(m.entorno.servicio));
        QVERIFY2(!vigia.terminar(), "a read blocked on the FIFO");
        QCOMPARE(describir(ruta), antes);
        QCOMPARE(vecinos(ruta), alrededor);
    }

    void guardar_no_reemplaza_lo_que_no_es_un_archivo_data() {
        QTest::addColumn<QString>("tipo");
        for (const char* tipo : {"fifo", "cero", "carpeta"})
            QTest::newRow(tipo) << QString::fromLatin1(tipo);
    }
    void guardar_no_reemplaza_lo_que_no_es_un_archivo() {
        QFETCH(QString, tipo);
        Mundo m;
        crearEspecial(m.sesion(), tipo);
        const QString antes = describir(m.sesion());
        const QString cero = describir(QStringLiteral("/dev/zero"));
        Store s(m.entorno);
        try {
            PruebaStore::abrir(s, QStringLiteral("t@x.es"), QStringLiteral("ficha"));
            QFAIL("the session was written through a special file");
        } catch (const ErrorSistema& e) {
            QCOMPARE(e.descripcion, QStringLiteral("No se pudo guardar ") + m.sesion() +
                                        QStringLiteral(": ") + porque(tipo) + QStringLiteral("."));
        }
        QVERIFY(!s.cuentaEmail());
        QCOMPARE(describir(m.sesion()), antes);
        QCOMPARE(describir(QStringLiteral("/dev/zero")), cero);
        QCOMPARE(vecinos(m.sesion()), QStringList{QStringLiteral("instalador-sesion.json")});
    }

    // What a crash left beside the book and the session goes at the next start or write; a
    // write in progress and anything not named like the writer's temporaries stay.
    void guardar_crea_la_carpeta_que_falta() {
        QTemporaryDir dir;
        const QString ruta = dir.filePath(QStringLiteral("a/b/archivo.json"));
        guardarArchivo(ruta, "{}");
        QCOMPARE(leerArchivoLimitado(ruta, 16), QByteArray("{}"));

        // A file where the folder should be: nothing is written, and the error says why.
        escribir(dir.filePath(QStringLiteral("tapa")), "x");
        try {
            guardarArchivo(dir.filePath(QStringLiteral("tapa/archivo.json")), "{}");
            QFAIL("saved below a file");
        } catch (const ErrorSistema& e) {
            QVERIFY(e.descripcion.startsWith(QStringLiteral("No se pudo crear la carpeta ") +
                                             dir.filePath(QStringLiteral("tapa"))));
        }
        QCOMPARE(leerArchivoLimitado(dir.filePath(QStringLiteral("tapa")), 16), QByteArray("x"));
    }

    void restos_de_escrituras_cortadas_se_barren_data() {
        QTest::addColumn<QString>("accion");
        QTest::addColumn<bool>("libro"); // whether the book's leftovers go
        QTest::addColumn<bool>("sesion");
        QTest::newRow("al empezar") << "load" << true << true;
        QTest::newRow("al crear una cuenta") << "alta" << true << true;
        QTest::newRow("al abrir una sesión de la tienda") << "abrir" << false << true;
    }
    void restos_de_escrituras_cortadas_se_barren() {
        QFETCH(QString, accion);
        QFETCH(bool, libro);
        QFETCH(bool, sesion);
        Mundo m;
        m.catalogo({});
        QStringList van;
        QStringList quedan;
        for (const QString& ruta : {m.libro(), m.sesion()}) {
            escribirViejo(ruta + QStringLiteral(".AbCdEf"));
            ((ruta == m.libro() ? libro : sesion) ? van : quedan)
                << ruta + QStringLiteral(".AbCdEf");
            escribir(ruta + QStringLiteral(".GhIjKl"), "{"); // another copy writing now
            for (const QString& otro :
                 {QString(ruta + QStringLiteral(".AbCdE1")),
                  QString(ruta + QStringLiteral(".AbCdEfG")),
                  QString(ruta + QStringLiteral(".ilegible-x")),
                  QString(ruta + QStringLiteral(".backup")),
                  QString(QFileInfo(ruta).path() + QStringLiteral("/otro.json.AbCdEf"))})
                escribirViejo(otro);
            QFile::link(ruta + QStringLiteral(".AbCdE1"), ruta + QStringLiteral(".MnOpQr"));
            quedan << ruta + QStringLiteral(".GhIjKl") << ruta + QStringLiteral(".AbCdE1")
                   << ruta + QStringLiteral(".AbCdEfG") << ruta + QStringLiteral(".ilegible-x")
                   << ruta + QStringLiteral(".backup")
                   << QFileInfo(ruta).path() + QStringLiteral("/otro.json.AbCdEf")
                   << ruta + QStringLiteral(".MnOpQr");
        }

        Store s(m.entorno);
        if (accion == QStringLiteral("load"))
            s.load();
        else if (accion == QStringLiteral("alta"))
            s.crearCuenta(QStringLiteral("nueva@x.es"), clave, clave);
        else
            PruebaStore::abrir(s, QStringLiteral("t@x.es"), QStringLiteral("ficha"));

        for (const QString& ruta : van)
            QVERIFY2(!QFileInfo::exists(ruta), qPrintable(ruta));
        for (const QString& ruta : quedan)
            QVERIFY2(QFileInfo(ruta).isFile(), qPrintable(ruta));
    }
};

QUELO_PRUEBA(TstArchivos)

#include "tst_archivos.moc"
