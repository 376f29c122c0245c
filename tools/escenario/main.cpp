// quelo-escenario proyecto CATALOGO CARPETA   stages a maker's project folder
// quelo-escenario paquetes CATALOGO CARPETA   stages one folder of bundles per plug-in id
#include "escenario.h"

#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QTextStream>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QFont::insertSubstitution(QStringLiteral("Didot"), QStringLiteral("GFS Didot"));
    const QStringList args = app.arguments();
    QTextStream err(stderr);
    if (args.size() != 4 ||
        (args[1] != QLatin1String("proyecto") && args[1] != QLatin1String("paquetes"))) {
        err << "usage: quelo-escenario proyecto|paquetes CATALOGO CARPETA\n";
        return 2;
    }
    QFile archivo(args[2]);
    std::optional<Catalog> catalogo;
    if (archivo.open(QIODevice::ReadOnly)) catalogo = decodificarCatalogo(archivo.readAll());
    if (!catalogo) {
        err << "quelo-escenario: cannot read the catalog " << args[2] << "\n";
        return 1;
    }
    const bool ok = args[1] == QLatin1String("proyecto") ? prepararProyecto(*catalogo, args[3])
                                                         : prepararPaquetes(*catalogo, args[3]);
    if (!ok) {
        err << "quelo-escenario: cannot write into " << args[3] << "\n";
        return 1;
    }
    return 0;
}
