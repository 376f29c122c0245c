// Unpacking a downloaded package: everything inside the folder, nothing outside it.
#include "archivos.h"
#include "core/carpetahilo.h"
#include "core/localehilo.h"
#include "disco.h"
#include "ejecutable.h"
#include "service/desempaquetar.h"
#include "zips.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSemaphore>
#include <QtTest>

#include <thread>

Q_DECLARE_METATYPE(QList<EntradaZip>)

namespace {

// Every path under the world, except the unpack folder itself.
QStringList todoFueraDe(const Mundo& mundo, const QString& carpeta) {
    QStringList rutas;
    QDirIterator it(mundo.dir.path(),
                    QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString ruta = it.next();
        if (ruta != carpeta && !ruta.startsWith(carpeta + QLatin1Char('/'))) rutas.append(ruta);
    }
    rutas.sort();
    return rutas;
}

} // namespace

class TstPaquetes : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void zip_normal_se_desempaqueta_entero();
    void zip_sin_enlaces_a_la_vez_entero_y_con_sus_fechas();
    void zip_hostil_se_rechaza_sin_tocar_fuera_data();
    void zip_hostil_se_rechaza_sin_tocar_fuera();
    void zip_que_no_cabe_se_rechaza_data();
    void zip_que_no_cabe_se_rechaza();
    void zip_corrupto_se_rechaza();
    void zip_en_carpeta_alcanzada_por_enlace();
    void zip_ignora_metadatos_de_apple();
    void carpeta_del_hilo_no_mueve_a_los_demas();
};

void TstPaquetes::zip_normal_se_desempaqueta_entero() {
    Mundo mundo;
    const QString origen = mundo.dir.filePath(QStringLiteral("origen"));
    crearBundle(origen + QStringLiteral("/Brisa.vst3"));
    crearBundle(origen + QStringLiteral("/sub/Brisa.component"));
    // Marked as UTF-8 in the package, as most archivers write such a name.
    const QString preset = QStringLiteral("/Brisa.vst3/Contents/Resources/Mañana fría.fxp");
    escribir(origen + preset, "preset");
    const QString zip = mundo.dir.filePath(QStringLiteral("brisa.zip"));
    {
        const LocaleDelHilo utf8(localesUtf8);
        QVERIFY(utf8.vale());
        escribirZip(zip, entradasDe(origen, ""));
    }
    const QString carpeta = mundo.entorno.temporal + QStringLiteral("/quelo-brisa");
    QDir().mkpath(carpeta);

    {
        // As an application started without LANG: ASCII only.
        const LocaleDelHilo c({"C"});
        // Named relative to the process's folder, which the unpacking thread leaves.
        QVERIFY(extraerZip(QDir::current().relativeFilePath(zip), carpeta));
    }
    QCOMPARE(leer(carpeta + preset), QByteArray("preset"));
    for (const QString& bundle :
         {QStringLiteral("/Brisa.vst3"), QStringLiteral("/sub/Brisa.component")}) {
        const QString dentro = carpeta + bundle + QStringLiteral("/Contents");
        QCOMPARE(leer(dentro + QStringLiteral("/Info.plist")), QByteArray("<plist/>"));
        QCOMPARE(leer(dentro + QStringLiteral("/Resources/datos.bin")), QByteArray(4096, 'q'));
        QVERIFY(QFileInfo(dentro + QStringLiteral("/MacOS/binario")).isExecutable());
        QVERIFY(QFileInfo(dentro + QStringLiteral("/enlace")).isSymLink());
        QCOMPARE(QFile::symLinkTarget(dentro + QStringLiteral("/enlace")),
                 dentro + QStringLiteral("/Resources/datos.bin"));
    }
}

void TstPaquetes::zip_sin_enlaces_a_la_vez_entero_y_con_sus_fechas() {
    // A package without links is written in two halves at once. Its folders come first and their
    // files after, the later ones larger: the second half fills folders the first made, and
    // finishes last. A folder's date is set when its writer closes, which must wait for every file
    // the other half puts in it; no entry may be lost or written twice where the halves meet.
    QList<EntradaZip> entradas;
    for (int c = 0; c < 6; ++c) {
        EntradaZip carpeta;
        carpeta.nombre = "Eco.vst3/Contents/d" + QByteArray::number(c);
        carpeta.tipo = EntradaZip::Tipo::Carpeta;
        entradas.append(carpeta);
    }
    for (int c = 0; c < 6; ++c)
        for (int a = 0; a < 4; ++a)
            entradas.append(archivoZip("Eco.vst3/Contents/d" + QByteArray::number(c) + "/a" +
                                           QByteArray::number(a),
                                       QByteArray(c < 2 ? 100 : 300000, char('a' + c * 4 + a))));
    Mundo mundo;
    const QString zip = mundo.dir.filePath(QStringLiteral("eco.zip"));
    escribirZip(zip, entradas);
    const QString carpeta = mundo.entorno.temporal + QStringLiteral("/quelo-eco");
    QDir().mkpath(carpeta);

    QVERIFY(extraerZip(zip, carpeta));
    int hechas = 0;
    for (QDirIterator it(carpeta, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                         QDirIterator::Subdirectories);
         it.hasNext(); it.next())
        ++hechas;
    QCOMPARE(hechas, entradas.size() + 2); // with Eco.vst3 and its Contents
    for (const EntradaZip& e : std::as_const(entradas)) {
        const QString ruta = carpeta + QLatin1Char('/') + QString::fromUtf8(e.nombre);
        if (e.tipo == EntradaZip::Tipo::Archivo) QCOMPARE(leer(ruta), e.datos);
        // The package's own date (no archiver here sets one: the oldest a ZIP can hold), not
        // the moment it was unpacked.
        QVERIFY2(QFileInfo(ruta).lastModified().date().year() < 2000, qPrintable(ruta));
    }
}

void TstPaquetes::zip_hostil_se_rechaza_sin_tocar_fuera_data() {
    QTest::addColumn<QList<EntradaZip>>("entradas");
    const auto archivo = [](const QByteArray& n) { return archivoZip(n, "x"); };
    const QByteArray absoluta = QFile::encodeName(QDir::tempPath()) + "/quelo-fuera-abs.txt";
    QTest::newRow("sube con ..") << QList{archivo("bien.txt"), archivo("../fuera.txt")};
    QTest::newRow(".. en medio") << QList{archivo("a/b/../../../fuera.txt")};
    QTest::newRow("nombre absoluto") << QList{archivo(absoluta)};
    QTest::newRow("enlace afuera y escritura por él")
        << QList{enlaceZip("enlace", ".."), archivo("enlace/fuera.txt")};
    QTest::newRow("enlace absoluto y escritura por él")
        << QList{enlaceZip("enlace", QFile::encodeName(QDir::tempPath())),
                 archivo("enlace/quelo-fuera-abs.txt")};
    QTest::newRow("enlace colgante afuera") << QList{enlaceZip("a/enlace", "../../../nada")};
    QTest::newRow("cadena de enlaces")
        << QList{enlaceZip("y", "."), enlaceZip("x", "y/y/.."), archivo("x/fuera.txt")};
    QTest::newRow("cadena armada al revés") << QList{enlaceZip("x", "y/.."), enlaceZip("y", ".")};
    QTest::newRow("escritura por un enlace interno")
        << QList{archivo("sub/a.txt"), enlaceZip("atajo", "sub"), archivo("atajo/b.txt")};
    QTest::newRow("nombre que no es UTF-8") << QList{archivo("brisa.vst3/\xff\xfe.txt")};
    QTest::newRow("enlace a un nombre que no es UTF-8")
        << QList{archivo("brisa.vst3/a.txt"), enlaceZip("brisa.vst3/b", "a\xe9.txt")};
    QTest::newRow("nombre demasiado largo") << QList{archivo("brisa.vst3/" + QByteArray(300, 'n'))};
    QTest::newRow("ruta demasiado larga")
        << QList{archivo(QByteArray(QByteArray(200, 'd') + '/').repeated(25) + "x")};
}

void TstPaquetes::zip_hostil_se_rechaza_sin_tocar_fuera() {
    QFETCH(QList<EntradaZip>, entradas);
    Mundo mundo;
    const QString zip = mundo.dir.filePath(QStringLiteral("hostil.zip"));
    escribirZip(zip, entradas);
    const QString carpeta = mundo.entorno.temporal + QStringLiteral("/quelo-hostil");
    QDir().mkpath(carpeta);
    const QStringList antes = todoFueraDe(mundo, carpeta);

    QVERIFY(!extraerZip(zip, carpeta));
    QCOMPARE(todoFueraDe(mundo, carpeta), antes);
    QVERIFY(!QFile::exists(QDir::tempPath() + QStringLiteral("/quelo-fuera-abs.txt")));
}

void TstPaquetes::zip_que_no_cabe_se_rechaza_data() {
    QTest::addColumn<qint64>("disco");  // a file system of this size for the folder; 0: none
    QTest::addColumn<qint64>("limite"); // what the unpack may take; -1: the folder's own limit
    QTest::addColumn<QList<EntradaZip>>("entradas");
    const qint64 mib = 1 << 20;
    QByteArray azar(4 * mib, Qt::Uninitialized);
    QRandomGenerator(7).fillRange(reinterpret_cast<quint32*>(azar.data()), azar.size() / 4);
    QList<EntradaZip> vacias;
    for (int i = 0; i < 100; ++i)
        vacias.append(archivoZip("brisa.vst3/" + QByteArray::number(i), ""));
    // libarchive reports this failed write as a warning only.
    QTest::newRow("disco que se llena")
        << 2 * mib << 1024 * mib << QList{archivoZip("brisa.vst3/datos", azar)};
    QTest::newRow("bomba") << 0LL << mib << QList{cerosZip("brisa.vst3/datos", 64 * mib)};
    QTest::newRow("miles de entradas vacías") << 0LL << 64 * 1024LL << vacias;
    QTest::newRow("disco casi lleno")
        << 65 * mib << -1LL << QList{archivoZip("brisa.vst3/datos", azar)};
}

void TstPaquetes::zip_que_no_cabe_se_rechaza() {
    QFETCH(qint64, disco);
    QFETCH(qint64, limite);
    QFETCH(QList<EntradaZip>, entradas);
    Mundo mundo;
    const QString zip = mundo.dir.filePath(QStringLiteral("grande.zip"));
    escribirZip(zip, entradas);
    const QString carpeta = mundo.entorno.temporal + QStringLiteral("/quelo-grande");
    std::optional<DiscoPequeno> pequeno;
    if (disco > 0) {
        pequeno.emplace(carpeta, disco);
        if (!pequeno->montado()) QSKIP(qPrintable(pequeno->razon()));
    }
    QDir().mkpath(carpeta);

    QVERIFY(!extraerZip(zip, carpeta, limite < 0 ? std::nullopt : std::optional(limite)));
    // Refused before it took more than it may: what was written stays within the limit.
    qint64 escrito = 0;
    QDirIterator it(carpeta, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        escrito += QFileInfo(it.next()).size();
    if (limite >= 0) QVERIFY2(escrito <= limite, qPrintable(QString::number(escrito)));
    if (pequeno && limite < 0) QVERIFY(pequeno->libre() > 0); // the disk never filled
}

void TstPaquetes::zip_corrupto_se_rechaza() {
    Mundo mundo;
    const QString carpeta = mundo.entorno.temporal + QStringLiteral("/quelo-roto");
    QDir().mkpath(carpeta);

    escribir(mundo.dir.filePath(QStringLiteral("basura.zip")), "esto no es un paquete");
    QVERIFY(!extraerZip(mundo.dir.filePath(QStringLiteral("basura.zip")), carpeta));

    // a real package with one byte of its compressed data changed
    const QString zip = mundo.dir.filePath(QStringLiteral("danado.zip"));
    QByteArray datos;
    for (int i = 0; i < 20000; ++i)
        datos += QByteArray::number(i * 7919 % 104729) + ' ';
    escribirZip(zip, {archivoZip("Brisa.vst3/Contents/datos", datos)});
    QByteArray bytes = leer(zip);
    bytes[bytes.size() / 2] = char(bytes[bytes.size() / 2] ^ 0x5a);
    escribir(zip, bytes);
    QVERIFY(!extraerZip(zip, carpeta));

    // a stored entry whose bytes changed: only its checksum tells
    escribirZip(zip, {archivoZip("Brisa.vst3/Contents/datos", datos)}, true);
    bytes = leer(zip);
    const qsizetype dentro = bytes.indexOf(datos.left(64));
    QVERIFY(dentro > 0);
    bytes[dentro + 10] = char(bytes[dentro + 10] ^ 0x01);
    escribir(zip, bytes);
    QVERIFY(!extraerZip(zip, carpeta));

    // and one cut short
    escribirZip(zip, {archivoZip("Brisa.vst3/Contents/datos", datos)});
    escribir(zip, leer(zip).left(200));
    QVERIFY(!extraerZip(zip, carpeta));
}

void TstPaquetes::zip_en_carpeta_alcanzada_por_enlace() {
    Mundo mundo;
    const QString real = mundo.dir.filePath(QStringLiteral("real"));
    QDir().mkpath(real);
    QVERIFY(QFile::link(real, mundo.dir.filePath(QStringLiteral("atajo"))));
    const QString zip = mundo.dir.filePath(QStringLiteral("a.zip"));
    escribirZip(zip, {archivoZip("A.vst3/Contents/Info.plist", "<plist/>"),
                      enlaceZip("A.vst3/Contents/enlace", "Info.plist")});

    QVERIFY(extraerZip(zip, mundo.dir.filePath(QStringLiteral("atajo"))));
    QCOMPARE(leer(real + QStringLiteral("/A.vst3/Contents/Info.plist")), QByteArray("<plist/>"));
}

void TstPaquetes::zip_ignora_metadatos_de_apple() {
    Mundo mundo;
    const QString zip = mundo.dir.filePath(QStringLiteral("mac.zip"));
    escribirZip(zip, {archivoZip("A.vst3/Contents/Info.plist", "<plist/>"),
                      archivoZip("__MACOSX/A.vst3/._Contents", "recurso"),
                      archivoZip("__MACOSX/._A.vst3", "recurso")});
    const QString carpeta = mundo.entorno.temporal + QStringLiteral("/quelo-mac");
    QDir().mkpath(carpeta);

    QVERIFY(extraerZip(zip, carpeta));
    QVERIFY(QFile::exists(carpeta + QStringLiteral("/A.vst3/Contents/Info.plist")));
    QVERIFY(!QFileInfo::exists(carpeta + QStringLiteral("/__MACOSX")));
}

void TstPaquetes::carpeta_del_hilo_no_mueve_a_los_demas() {
    // The unpack names entries from the destination as its thread's own folder: every other
    // thread, and that one afterwards, must still be in the process's.
    QTemporaryDir dir;
    const QString proceso = QDir::currentPath();
    const QString destino = QFileInfo(dir.path()).canonicalFilePath();
    QSemaphore puesta, vista;
    bool propia = false;
    QString dentro, despues;
    std::thread hilo([&] {
        {
            const CarpetaDelHilo aqui(destino);
            propia = aqui.propia();
            dentro = QDir::currentPath();
            puesta.release();
            vista.acquire();
        }
        despues = QDir::currentPath();
    });
    puesta.acquire();
    const QString mientras = QDir::currentPath();
    vista.release();
    hilo.join();
    if (!propia) QSKIP("threads share one folder on this system");
    QCOMPARE(dentro, destino);
    QCOMPARE(mientras, proceso);
    QCOMPARE(despues, proceso);
}

QUELO_PRUEBA(TstPaquetes)

#include "tst_paquetes.moc"
