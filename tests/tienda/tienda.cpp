#include "tienda.h"

#include "certificados.h"

#include <archive.h>
#include <archive_entry.h>

TiendaLocal::TiendaLocal(const QString& datos) {
    proceso.start(QStringLiteral(TIENDA_LOCAL),
                  {QStringLiteral("--puerto"), QStringLiteral("0"), QStringLiteral("--certificado"),
                   archivosCertificados().certificado, QStringLiteral("--clave"),
                   archivosCertificados().clave, QStringLiteral("--datos"), datos});
    QByteArray salida;
    while (!salida.contains('\n') && proceso.waitForReadyRead(15000))
        salida += proceso.readAllStandardOutput();
    const QByteArray prefijo = "tienda-local listening on ";
    if (salida.startsWith(prefijo))
        base = QUrl(QString::fromUtf8(salida.mid(prefijo.size()).trimmed()));
}

TiendaLocal::~TiendaLocal() {
    if (proceso.state() == QProcess::NotRunning) return;
    proceso.terminate();
    if (!proceso.waitForFinished(5000)) {
        proceso.kill();
        proceso.waitForFinished();
    }
}

bool prepararTienda(const QString& datos, const QString& correo) {
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedChannels);
    p.start(QStringLiteral(QUELO_PREPARAR_TIENDA),
            {QStringLiteral(QUELO_ESCENARIO), QStringLiteral(QUELO_CATALOGO), datos, correo});
    return p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

QList<EntradaZip> leerZip(const QByteArray& zip) {
    QList<EntradaZip> entradas;
    archive* a = archive_read_new();
    archive_read_support_format_zip(a);
    if (archive_read_open_memory(a, zip.constData(), size_t(zip.size())) != ARCHIVE_OK) {
        archive_read_free(a);
        return {};
    }
    archive_entry* e = nullptr;
    int r;
    while ((r = archive_read_next_header(a, &e)) == ARCHIVE_OK) {
        EntradaZip x;
        x.ruta = QString::fromUtf8(archive_entry_pathname_utf8(e));
        x.carpeta = archive_entry_filetype(e) == AE_IFDIR;
        if (archive_entry_filetype(e) == AE_IFLNK)
            x.enlace = QString::fromUtf8(archive_entry_symlink_utf8(e));
        x.permisos = int(archive_entry_perm(e));
        char trozo[8192];
        la_ssize_t leidos;
        while ((leidos = archive_read_data(a, trozo, sizeof trozo)) > 0)
            x.contenido.append(trozo, leidos);
        if (leidos < 0) {
            entradas.clear();
            break;
        }
        entradas.append(x);
    }
    if (r != ARCHIVE_EOF) entradas.clear();
    archive_read_free(a);
    return entradas;
}
