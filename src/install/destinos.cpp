#include "install/destinos.h"

#include "core/texto.h"

#include <QDir>
#include <QFileInfo>

namespace {

// One path component that stays where it is put.
bool componenteSeguro(const QString& nombre) {
    return nombre != QLatin1String(".") && nombre != QLatin1String("..") &&
           !nombre.contains(QLatin1Char('/')) && !nombre.contains(QChar(0));
}

std::optional<QString> destino(const QString& maker, const QString& category, const QString& ruta) {
    const QString nombre = ultimoComponente(ruta);
    if (nombre.isEmpty() || !componenteSeguro(nombre) || !componenteSeguro(category))
        return std::nullopt;
    return unir(unir(maker, category), nombre);
}

void recorrer(const QString& carpeta, QStringList& encontrados) {
    const QFileInfoList entradas = QDir(carpeta).entryInfoList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo& entrada : entradas) {
        const QString extension = entrada.suffix().toLower();
        if (extension == QLatin1String("vst3") || extension == QLatin1String("component")) {
            encontrados.append(entrada.filePath());
            continue; // nothing inside a bundle is looked at
        }
        if (entrada.isDir() && !entrada.isSymLink()) recorrer(entrada.filePath(), encontrados);
    }
}

} // namespace

QString carpetaVst3(const QString& home) {
    return unir(home, QStringLiteral("Library/Audio/Plug-Ins/VST3/Quelo DSP"));
}

QString carpetaAu(const QString& home) {
    return unir(home, QStringLiteral("Library/Audio/Plug-Ins/Components/Quelo DSP"));
}

std::optional<QString> destinoVst3(const QString& home, const Plugin& plugin) {
    if (plugin.vst3.isEmpty()) return std::nullopt;
    return destino(carpetaVst3(home), plugin.category, plugin.vst3);
}

std::optional<QString> destinoAu(const QString& home, const Plugin& plugin) {
    if (plugin.au.isEmpty()) return std::nullopt;
    return destino(carpetaAu(home), plugin.category, plugin.au);
}

QSet<QString> instaladosEn(const QString& home, const QList<Plugin>& plugins) {
    QSet<QString> instalados;
    const QString maker = carpetaVst3(home);
    for (const Plugin& p : plugins) {
        if (p.vst3.isEmpty()) continue;
        const std::optional<QString> d = destino(maker, p.category, p.vst3);
        if (d && QFileInfo::exists(*d)) instalados.insert(p.id);
    }
    return instalados;
}

std::optional<QString> destinoDescarga(const QString& home, const QString& category,
                                       const QString& bundle) {
    const bool esAu =
        QFileInfo(ultimoComponente(bundle)).suffix().toLower() == QLatin1String("component");
    return destino(esAu ? carpetaAu(home) : carpetaVst3(home), category, bundle);
}

QStringList bundlesEn(const QString& carpeta) {
    QStringList encontrados;
    recorrer(carpeta, encontrados);
    return encontrados;
}
