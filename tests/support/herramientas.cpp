#include "herramientas.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

namespace {

QString registro(const Mundo& mundo) {
    return mundo.dir.filePath(QStringLiteral("herramientas/llamadas"));
}

// One line per call: the name, then each argument after a tab.
QByteArray anotar(const Mundo& mundo, const QByteArray& nombre) {
    return "{ printf '%s' " + nombre + "; for a; do printf '\\t%s' \"$a\"; done; echo; } >> '" +
           QFile::encodeName(registro(mundo)) + "'\n";
}

} // namespace

void herramientasDeApple(Mundo& mundo, int salidaCopia, int salidaCuarentena) {
    const QString carpeta = mundo.dir.filePath(QStringLiteral("herramientas"));
    const QByteArray copia = anotar(mundo, "ditto") + "/bin/cp -a \"$1\" \"$2\" || exit 1\nexit " +
                             QByteArray::number(salidaCopia);
    const QByteArray cuarentena =
        anotar(mundo, "xattr") + "exit " + QByteArray::number(salidaCuarentena);
    escribir(registro(mundo), ""); // there from the start: only its contents change
    mundo.entorno.copiador = {guion(carpeta + QStringLiteral("/ditto"), copia)};
    mundo.entorno.cuarentena = {guion(carpeta + QStringLiteral("/xattr"), cuarentena),
                                QStringLiteral("-dr"), QStringLiteral("com.apple.quarantine")};
}

QList<QStringList> llamadas(const Mundo& mundo) {
    QList<QStringList> lista;
    const QString texto = QString::fromUtf8(leer(registro(mundo)));
    for (const QString& linea : texto.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        lista.append(linea.split(QLatin1Char('\t')));
    return lista;
}

QString copiaOculta(const QString& destino) {
    const QFileInfo info(destino);
    return info.path() + QStringLiteral("/.") + info.fileName() + QStringLiteral(".instalando-") +
           QString::number(QCoreApplication::applicationPid());
}
