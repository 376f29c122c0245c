#include "install/restos.h"

#include "core/rutas.h"
#include "core/segundoplano.h"
#include "core/texto.h"
#include "install/cerrojo.h"
#include "install/destinos.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QUuid>

#include <algorithm>

namespace {

const auto todo = QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;

QString oculto(const QString& destino, const QString& que) {
    const QFileInfo info(destino);
    return unir(info.path(), QLatin1Char('.') + info.fileName() + QLatin1Char('.') + que);
}

QString conPid(const QString& que) {
    return que + QLatin1Char('-') + QString::number(QCoreApplication::applicationPid());
}

// What follows ".<bundle>." in the name of a copy kept beside a bundle: its kind, "-", a
// process id.
bool esApartado(const QString& resto) {
    const qsizetype guion = resto.lastIndexOf(QLatin1Char('-'));
    const QStringView que = QStringView(resto).left(guion);
    const QStringView pid = QStringView(resto).mid(guion + 1);
    return guion > 0 && !pid.isEmpty() &&
           std::all_of(pid.begin(), pid.end(), [](QChar c) { return c.isDigit(); }) &&
           (que == u"instalando" || que == u"anterior" || que == u"quitando");
}

// The bundle name a hidden entry beside bundles was left for, or empty.
QString bundleDeResto(const QString& entrada) {
    if (!entrada.startsWith(QLatin1Char('.'))) return {};
    QString bundle = entrada.mid(1);
    if (bundle.endsWith(QLatin1String(".cerrojo")))
        bundle.chop(8);
    else if (bundle.endsWith(QLatin1String(".cerrojo.rmlock")))
        bundle.chop(15);
    else if (const qsizetype punto = bundle.lastIndexOf(QLatin1Char('.'));
             punto >= 0 && esApartado(bundle.mid(punto + 1)))
        bundle.truncate(punto);
    else
        return {};
    const QString extension = QFileInfo(bundle).suffix().toLower();
    return extension == QLatin1String("vst3") || extension == QLatin1String("component")
               ? bundle
               : QString();
}

// The unpack folder ("quelo-" + id + "-" + UUID) an entry of the temporary folder belongs to
// (the folder, its package, its lock), or empty.
QString descargaDeResto(const QString& entrada) {
    QString carpeta = entrada;
    for (const QLatin1String sufijo :
         {QLatin1String(".zip"), QLatin1String(".cerrojo"), QLatin1String(".cerrojo.rmlock")})
        if (carpeta.endsWith(sufijo)) carpeta.chop(sufijo.size());
    const QString uuid = carpeta.right(36);
    if (!carpeta.startsWith(QLatin1String("quelo-")) || carpeta.size() < 44 ||
        carpeta.at(carpeta.size() - 37) != QLatin1Char('-') || QUuid::fromString(uuid).isNull() ||
        uuid != uuid.toUpper())
        return {};
    return carpeta;
}

// What crashed copies may have left in a folder, each named once by what `de` finds in the names
// of the entries.
QSet<QString> dejados(const QString& carpeta, QString (*de)(const QString&)) {
    QSet<QString> nombres;
    for (const QString& entrada : QDir(carpeta).entryList(todo))
        if (const QString n = de(entrada); !n.isEmpty()) nombres.insert(n);
    return nombres;
}

void barrerTemporal(const QString& temporal) {
    for (const QString& c : dejados(temporal, descargaDeResto)) {
        const QString carpeta = unir(temporal, c);
        const Cerrojo cerrojo = tomarCerrojoSinError(cerrojoDeDescarga(carpeta));
        if (!cerrojo) continue;
        borrarSinError(carpeta);
        borrarSinError(carpeta + QStringLiteral(".zip"));
        borrarSinError(cerrojoDeDescarga(carpeta) + QStringLiteral(".rmlock"));
    }
}

void barrerCategoria(const QString& carpeta) {
    for (const QString& b : dejados(carpeta, bundleDeResto)) {
        const QString destino = unir(carpeta, b);
        const Cerrojo cerrojo = tomarCerrojoSinError(cerrojoDe(destino));
        if (!cerrojo) continue;
        try {
            resolverRestos(destino);
        } catch (...) {
        }
    }
}

} // namespace

QString copiaNueva(const QString& destino) {
    return oculto(destino, conPid(QStringLiteral("instalando")));
}

QString copiaAnterior(const QString& destino) {
    return oculto(destino, conPid(QStringLiteral("anterior")));
}

QString copiaQuitada(const QString& destino) {
    return oculto(destino, conPid(QStringLiteral("quitando")));
}

QString cerrojoDe(const QString& destino) {
    return oculto(destino, QStringLiteral("cerrojo"));
}

QString cerrojoDeDescarga(const QString& carpeta) {
    return carpeta + QStringLiteral(".cerrojo");
}

void resolverRestos(const QString& destino) {
    const QFileInfo info(destino);
    const QString carpeta = info.path();
    const QString comienzo = QLatin1Char('.') + info.fileName() + QLatin1Char('.');
    QStringList anteriores, sobras;
    for (const QString& entrada : QDir(carpeta).entryList(todo)) {
        if (!entrada.startsWith(comienzo)) continue;
        const QString resto = entrada.mid(comienzo.size());
        if (resto == QLatin1String("cerrojo.rmlock") || esApartado(resto))
            (resto.startsWith(QLatin1String("anterior-")) ? anteriores : sobras).append(entrada);
    }
    // Only a copy moved aside whole is put back: one being made or removed may be a part.
    if (!hayAlgo(destino) && !anteriores.isEmpty())
        moverRuta(unir(carpeta, anteriores.takeFirst()), destino);
    for (const QString& entrada : std::as_const(anteriores) + sobras)
        borrarSinError(unir(carpeta, entrada));
}

void barrerRestos(const Entorno& entorno) {
    barrerTemporal(entorno.temporal);
    for (const QString& fabricante : {carpetaVst3(entorno.home), carpetaAu(entorno.home)}) {
        // A category linked elsewhere is not swept: what it names may not be ours.
        const QStringList categorias = QDir(fabricante)
                                           .entryList(QDir::Dirs | QDir::NoSymLinks | QDir::Hidden |
                                                      QDir::System | QDir::NoDotAndDotDot);
        for (const QString& categoria : categorias)
            barrerCategoria(unir(fabricante, categoria));
    }
}

QCoro::Task<> barrerAntesDeCambiar(const Entorno& entorno) {
    // Not a coroutine itself: g++ 12 destroys a lambda that captures by value twice when it is
    // a temporary inside a co_await expression.
    return enSegundoPlano([entorno] { barrerRestos(entorno); });
}
