// The platform's failures reach the status line in Spanish: Qt's own texts from the translation
// shipped in the resources, the file system's from the application's own table.
#include "core/texto.h"
#include "ui/idioma.h"
#include "ventana.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QScopeGuard>
#include <QTcpServer>

#include <sys/mount.h>
#include <unistd.h>

namespace {
// A port on 127.0.0.1 that nothing listens on: one just given up by a server.
quint16 puertoCerrado() {
    QTcpServer servidor;
    if (!servidor.listen(QHostAddress::LocalHost, 0)) return 0;
    const quint16 puerto = servidor.serverPort();
    servidor.close();
    return puerto;
}

QString estadoDelPie(const Ventana& v) {
    return v.parte(QStringLiteral("footer"))->findChild<QLabel*>(QStringLiteral("estado"))->text();
}
} // namespace

class TstIdioma : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void una_conexion_rechazada_se_lee_en_castellano() {
        const quint16 puerto = puertoCerrado();
        QVERIFY(puerto != 0);
        Ventana v(catalogoBase(), false, true, [puerto](Mundo& m) {
            m.entorno.servicio = QStringLiteral("https://127.0.0.1:%1").arg(puerto);
            // shipped in the resources, as the application's own build puts it there
            QVERIFY(QFile::copy(QStringLiteral(QUELO_QTBASE_ES),
                                unir(m.entorno.recursos, QStringLiteral("qtbase_es.qm"))));
        });
        QVERIFY(cargarIdioma(v.mundo.entorno.recursos));

        QWidget* acceso = v.parte(QStringLiteral("acceso"));
        QTest::keyClicks(v.vista->findChild<QLineEdit*>(QStringLiteral("correo")),
                         QStringLiteral("ana@quelo.com"));
        QTest::keyClicks(v.vista->findChild<QLineEdit*>(QStringLiteral("contrasena")),
                         QStringLiteral("secreta1"));
        QTest::mouseClick(boton(acceso, QStringLiteral("Ya tengo cuenta")), Qt::LeftButton);
        QTest::mouseClick(boton(acceso, QStringLiteral("Entrar")), Qt::LeftButton);
        QVERIFY(v.store().busy());
        QVERIFY(esperarFin(v.store()));

        const QString estado = acceso->findChild<QLabel*>(QStringLiteral("estado"))->text();
        QCOMPARE(estado, QStringLiteral("El servidor 127.0.0.1 no aceptó la conexión."));
        QVERIFY(!v.store().cuentaEmail());
    }

    void instalar_en_una_carpeta_de_solo_lectura_dice_por_que() {
        const QList<Plugin> catalogo = catalogoBase();
        Ventana v(catalogo);
        crearBundle(unir(v.mundo.proyecto, catalogo[0].vst3));
        crearBundle(unir(v.mundo.proyecto, catalogo[0].au));
        // the folder that would hold the maker folder takes no new entry
        const QString vst3 = QFileInfo(fabricanteVst3(v.mundo.entorno.home)).path();
        QVERIFY(QDir().mkpath(vst3));
        const QByteArray ruta = QFile::encodeName(vst3);
        QString esperado;
        if (::geteuid() == 0) {
            // root passes over permission bits: a read-only file system refuses it too
            if (::mount("tmpfs", ruta.constData(), "tmpfs", MS_RDONLY, "size=64k") != 0)
                QSKIP("running as root without the right to mount a read-only file system");
            esperado = QStringLiteral("el disco es de solo lectura.");
        } else {
            QVERIFY(QFile::setPermissions(vst3, QFile::ReadOwner | QFile::ExeOwner));
            esperado = QStringLiteral("no hay permiso.");
        }
        const auto deshacer = qScopeGuard([&] {
            if (::geteuid() == 0)
                ::umount2(ruta.constData(), MNT_DETACH);
            else
                QFile::setPermissions(vst3, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        });

        PruebaStore::entrar(v.store(), QStringLiteral("ana@quelo.com"));
        QTest::mouseClick(boton(v.parte(QStringLiteral("detail")), QStringLiteral("Instalar")),
                          Qt::LeftButton);
        QVERIFY(esperarFin(v.store()));
        const QString estado = estadoDelPie(v);
        QVERIFY2(estado.startsWith(QStringLiteral("No se pudo")) && estado.endsWith(esperado),
                 qPrintable(estado));
    }
};

QUELO_PRUEBA(TstIdioma)

#include "tst_idioma.moc"
