#include "banco.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QtTest>

#include <unistd.h>

Banco::Banco(const QList<Plugin>& lista, bool conProyecto) : mundo(conProyecto), plugins(lista) {
    for (const Plugin& p : conProyecto ? plugins : QList<Plugin>()) {
        if (!p.vst3.isEmpty()) crearBundle(fuente(p.vst3));
        if (!p.au.isEmpty()) crearBundle(fuente(p.au));
    }
    mundo.catalogo(plugins);
    nuevoStore();
}

void Banco::nuevoStore() {
    store = std::make_unique<Store>(mundo.entorno);
    store->load();
}

bool Banco::instalar(const Plugin& p) {
    store->install(p);
    return esperarFin(*store);
}

bool Banco::quitar(const Plugin& p) {
    store->remove(p);
    return esperarFin(*store);
}

QStringList Banco::vecinos(const Plugin& p) const {
    return entradas(QFileInfo(mundo.vst3(p)).path());
}

QString exito(const Plugin& p) {
    return p.name +
           QStringLiteral(" instalado. En Ableton: Preferencias > Plug-ins > Rescan. Carpeta: ") +
           p.manufacturer + QStringLiteral(".");
}

QString quitado(const Plugin& p) {
    return p.name + QStringLiteral(" se quitó de las carpetas del sistema. El original del "
                                   "proyecto sigue en su sitio.");
}

namespace {
// The text of a link as written, not resolved.
QString enlaceDe(const QString& ruta) {
    char texto[4096];
    const ssize_t n = ::readlink(QFile::encodeName(ruta).constData(), texto, sizeof texto);
    return n < 0 ? QString() : QFile::decodeName(QByteArray(texto, n));
}
} // namespace

QStringList arbol(const QString& carpeta) {
    QStringList r;
    QDirIterator it(carpeta, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo f(it.next());
        const QString nombre = f.filePath().mid(carpeta.size());
        QString linea = nombre + QStringLiteral(" ") + QString::number(f.permissions(), 16) +
                        QStringLiteral(" ");
        if (f.isSymLink())
            linea += QStringLiteral("enlace ") + enlaceDe(f.filePath());
        else if (f.isDir())
            linea += QStringLiteral("carpeta");
        else
            linea +=
                QStringLiteral("archivo ") + QString::fromUtf8(leer(f.filePath()).toHex().left(64));
        r.append(linea);
    }
    r.sort();
    return r;
}
