#include "paquetes.h"

#include "empaquetar.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace {

// What changes when anything in the folder is added, removed, renamed, rewritten or relinked.
QByteArray huellaDe(const QString& origen) {
    const QDir raiz(origen);
    QStringList lineas;
    QDirIterator it(origen, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        lineas.append(raiz.relativeFilePath(info.filePath()) + QLatin1Char('\t') +
                      (info.isSymLink()
                           ? QString(QStringLiteral("->") + info.symLinkTarget())
                           : QString::number(info.size()) + QLatin1Char('\t') +
                                 QString::number(info.lastModified().toMSecsSinceEpoch()) +
                                 QLatin1Char('\t') + QString::number(int(info.permissions()))));
    }
    lineas.sort();
    return QCryptographicHash::hash(lineas.join(QLatin1Char('\n')).toUtf8(),
                                    QCryptographicHash::Sha256);
}

} // namespace

PaquetesHechos::PaquetesHechos(const QString& carpeta) : carpeta_(carpeta) {
    QDir(carpeta_).removeRecursively(); // what an earlier run zipped is zipped again on demand
}

std::optional<PaquetesHechos::Paquete> PaquetesHechos::de(const QString& origen, QString* error) {
    const QByteArray huella = huellaDe(origen);
    const auto hecho = hechos_.constFind(origen);
    if (hecho != hechos_.constEnd() && hecho->huella == huella &&
        QFileInfo::exists(hecho->paquete.archivo))
        return hecho->paquete;

    if (!QDir().mkpath(carpeta_)) {
        *error = carpeta_ + QStringLiteral(": cannot be created");
        return std::nullopt;
    }
    Paquete paquete;
    paquete.archivo = carpeta_ + QLatin1Char('/') + QFileInfo(origen).fileName() +
                      QLatin1Char('-') + QString::fromLatin1(huella.toHex().left(16)) +
                      QStringLiteral(".zip");
    if (!empaquetar(origen, paquete.archivo, error)) {
        QFile::remove(paquete.archivo);
        return std::nullopt;
    }
    QFile zip(paquete.archivo);
    QCryptographicHash sha256(QCryptographicHash::Sha256);
    if (!zip.open(QIODevice::ReadOnly) || !sha256.addData(&zip)) {
        *error = paquete.archivo + QStringLiteral(": ") + zip.errorString();
        return std::nullopt;
    }
    paquete.sha256 = sha256.result().toHex();
    paquete.tamano = zip.size();
    if (hecho != hechos_.constEnd() && hecho->paquete.archivo != paquete.archivo)
        QFile::remove(hecho->paquete.archivo);
    hechos_.insert(origen, Hecho{huella, paquete});
    return paquete;
}
