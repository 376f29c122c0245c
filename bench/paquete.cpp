#include "paquete.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QRandomGenerator>
#include <QSet>

#include <archive.h>
#include <archive_entry.h>

namespace {

class Zip {
public:
    explicit Zip(const QString& ruta) : a_(archive_write_new()) {
        archive_write_set_format_zip(a_);
        archive_write_set_format_option(a_, "zip", "compression", "store");
        if (archive_write_open_filename(a_, QFile::encodeName(ruta).constData()) != ARCHIVE_OK)
            fallo();
    }
    ~Zip() {
        if (archive_write_close(a_) != ARCHIVE_OK) fallo();
        archive_write_free(a_);
    }
    Zip(const Zip&) = delete;
    Zip& operator=(const Zip&) = delete;

    void carpeta(const QByteArray& nombre) {
        if (carpetas_.contains(nombre)) return;
        carpetas_.insert(nombre);
        cabecera(nombre, 0, true);
    }

    void archivo(const QByteArray& nombre, qint64 largo) {
        cabecera(nombre, largo, false);
        for (qint64 escrito = 0; escrito < largo; escrito += trozo_.size()) {
            const qint64 n = std::min<qint64>(trozo_.size(), largo - escrito);
            azar_.fillRange(reinterpret_cast<quint32*>(trozo_.data()), (n + 3) / 4);
            if (archive_write_data(a_, trozo_.constData(), size_t(n)) != n) fallo();
        }
    }

private:
    void cabecera(const QByteArray& nombre, qint64 largo, bool esCarpeta) {
        archive_entry* e = archive_entry_new();
        archive_entry_set_pathname(e, nombre.constData());
        archive_entry_set_filetype(e, esCarpeta ? AE_IFDIR : AE_IFREG);
        archive_entry_set_perm(e, esCarpeta ? 0755 : 0644);
        archive_entry_set_size(e, largo);
        if (archive_write_header(a_, e) != ARCHIVE_OK) fallo();
        archive_entry_free(e);
    }
    [[noreturn]] void fallo() { qFatal("package: %s", archive_error_string(a_)); }

    archive* a_;
    QRandomGenerator azar_{42};
    QByteArray trozo_ = QByteArray(1024 * 1024, Qt::Uninitialized);
    QSet<QByteArray> carpetas_;
};

} // namespace

void escribirPaquete(const QString& ruta, qint64 bytes, int archivos, int llenos) {
    Zip zip(ruta);
    const QList<QByteArray> bundles{"Grande.vst3", "Grande.component"};
    const int porBundle = archivos / static_cast<int>(bundles.size());
    if (llenos <= 0 || llenos > archivos) llenos = archivos;
    const int cada = archivos / llenos;
    for (const QByteArray& bundle : bundles) {
        zip.carpeta(bundle + "/");
        zip.carpeta(bundle + "/Contents/");
        zip.carpeta(bundle + "/Contents/Resources/");
        for (int i = 0; i < porBundle; ++i) {
            const QByteArray carpeta =
                bundle + "/Contents/Resources/d" + QByteArray::number(i / 100) + "/";
            zip.carpeta(carpeta);
            zip.archivo(carpeta + "f" + QByteArray::number(i) + ".bin",
                        i % cada == 0 ? bytes / llenos : 0);
        }
    }
}
