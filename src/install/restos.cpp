#include "install/restos.h"

#include "core/texto.h"
#include "install/cerrojo.h"
#include "install/destinos.h"
#include "install/rutas.h"
#include "service/segundoplano.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

namespace {

const auto todo = QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;

QString oculto(const QString& destino, const QString& que) {
    const QFileInfo info(destino);
    return unir(info.path(), QLatin1Char('.') + info.fileName() + QLatin1Char('.') + que);
}

QString conPid(const QString& que) {
    return que + QLatin1Char('-') + QString::number(QCoreApplication::applicationPid());
}

// What follows ".<bundle>." in the name of something left beside a bundle.
const QRegularExpression& apartado() {
    static const QRegularExpression r(QStringLiteral("^(instalando|anterior|quitando)-[0-9]+$"));
    return r;
}

// The bundle name a hidden entry beside bundles was left for, or empty.
QString bundleDeResto(const QString& entrada) {
    static const QRegularExpression r(
        QStringLiteral("^\\.(.+\\.(?:vst3|component))\\.(?:(?:instalando|anterior|quitando)-[0-9]+"
                       "|cerrojo|cerrojo\\.rmlock)$"),
        QRegularExpression::CaseInsensitiveOption);
    return r.match(entrada).captured(1);
}

// The unpack folder (quelo-<id>-<UUID>) an entry of the temporary folder belongs to, or empty.
QString descargaDeResto(const QString& entrada) {
    static const QRegularExpression r(
        QStringLiteral("^(quelo-.+-[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12})"
                       "(?:\\.zip|\\.cerrojo|\\.cerrojo\\.rmlock)?$"));
    return r.match(entrada).captured(1);
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
        if (resto == QLatin1String("cerrojo.rmlock") || apartado().match(resto).hasMatch())
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
