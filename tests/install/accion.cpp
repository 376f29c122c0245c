// quelo-accion RAIZ instalar|quitar ID [COPIADOR [CUARENTENA]]
// Another copy of the application for the tests: one install or removal of the catalog plug-in
// ID on the test world at RAIZ, through a Store as the window would run it; prints the status it
// ends with. COPIADOR replaces the copy command ("-" keeps this system's); CUARENTENA, the
// quarantine program (given "-dr com.apple.quarantine" as Apple's is).
#include "archivos.h"
#include "core/store.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 4) return 2;
    Entorno entorno = entornoDePrueba(args[1]);
    if (args.size() > 4 && args[4] != QLatin1String("-")) entorno.copiador = {args[4]};
    if (args.size() > 5)
        entorno.cuarentena = {args[5], QStringLiteral("-dr"),
                              QStringLiteral("com.apple.quarantine")};
    Store store(entorno);
    store.load();
    std::optional<Plugin> plugin;
    for (const Plugin& p : store.plugins())
        if (p.id == args[3]) plugin = p;
    if (!plugin) return 2;
    QObject::connect(&store, &Store::busyChanged, &app, [&] {
        if (!store.busy()) app.quit();
    });
    if (args[2] == QLatin1String("quitar"))
        store.remove(*plugin);
    else
        store.install(*plugin);
    app.exec();
    QTextStream(stdout) << store.status() << '\n';
    return 0;
}
