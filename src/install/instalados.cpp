// The project folder and the installed-state scan.
#include "core/store.h"

#include "core/failure.h"
#include "core/texto.h"
#include "install/destinos.h"

#include <QDir>
#include <QFileInfo>

std::optional<QString> Store::root() const {
    const QString carpeta = QFileInfo(QDir::cleanPath(entorno_.bundle)).absolutePath();
    // A file of that name counts as much as a folder; a dangling link does not.
    if (QFileInfo::exists(unir(carpeta, QStringLiteral("Juce Pugins creacion")))) return carpeta;
    return std::nullopt;
}

QString Store::proyecto() const {
    if (const std::optional<QString> carpeta = root()) return *carpeta;
    throw Failure(QStringLiteral("Coloca Quelo Instalador dentro de la carpeta Quelo DSP."));
}

bool Store::isInstalled(const Plugin& plugin) const {
    const auto destino = destinoVst3(entorno_.home, plugin);
    return destino && QFileInfo::exists(*destino);
}

void Store::refreshInstalled() {
    setInstalled(instaladosEn(entorno_.home, plugins_));
}

QStringList Store::bundlesEn(const QString& carpeta) const {
    return ::bundlesEn(carpeta);
}
