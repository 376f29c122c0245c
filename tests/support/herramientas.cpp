#include "herramientas.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <csignal>

namespace {

QString registro(const Mundo& mundo) {
    return mundo.dir.filePath(QStringLiteral("herramientas/llamadas"));
}

// One line per call: the name, then each argument after a tab. Written with one call, so that
// two tools running at once (the two bundles' copies) never mix their lines.
QByteArray anotar(const Mundo& mundo, const QByteArray& nombre) {
    return "linea=$(printf '%s' " + nombre +
           "; for a; do printf '\\t%s' \"$a\"; done)\nprintf '%s\\n' \"$linea\" >> '" +
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

void copiaQueNoTermina(Mundo& mundo, bool sorda) {
    const QByteArray pid = QFile::encodeName(mundo.dir.filePath(QStringLiteral("copia.pid")));
    // The id is written last, in one step: once it is there the tool is waiting. exec keeps the
    // id and the ignored signal, and leaves no shell behind to outlive it.
    const QByteArray cuerpo =
        "mkdir -p \"$2/Contents\" && echo parcial > \"$2/Contents/parcial\" || "
        "exit 1\n" +
        QByteArray(sorda ? "trap '' TERM\n" : "") + "echo $$ > '" + pid + ".nuevo' && mv '" + pid +
        ".nuevo' '" + pid + "'\nexec sleep 600";
    mundo.entorno.copiador = {guion(mundo.dir.filePath(QStringLiteral("copia-lenta")), cuerpo)};
}

qint64 procesoDeCopia(const Mundo& mundo) {
    return leer(mundo.dir.filePath(QStringLiteral("copia.pid"))).trimmed().toLongLong();
}

bool procesoVivo(qint64 pid) {
    return pid > 0 && ::kill(pid_t(pid), 0) == 0;
}
