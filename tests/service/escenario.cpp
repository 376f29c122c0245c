#include "escenario.h"

#include "certificados.h"
#include "zips.h"

#include <QDir>
#include <QRandomGenerator>
#include <QtTest>

Escenario::Escenario(const QList<Plugin>& catalogo, bool conProyecto,
                     ServidorPrueba::Certificado certificado)
    : servidor(certificado), mundo(conProyecto) {
    servicioDePrueba(mundo.entorno, servidor.base());
    mundo.catalogo(catalogo);
    rehacer();
}

void Escenario::rehacer() {
    store = std::make_unique<Store>(mundo.entorno);
    store->load();
    mensajes.clear();
    QObject::connect(store.get(), &Store::statusChanged, store.get(),
                     [this] { mensajes.append(store->status()); });
}

bool Escenario::bajarComprados() {
    store->bajarComprados();
    return store->busy() && esperarFin(*store);
}

void Escenario::conCasa() {
    servidor.ruta("GET", QStringLiteral("/v1/salud"),
                  json("{\"descarga\": \"" + servidor.base().toString().toUtf8() + "\"}"));
}

void Escenario::mios(const QByteArray& cuerpo, int estado) {
    servidor.ruta("GET", QStringLiteral("/v1/mios"), json(cuerpo, estado));
}

void Escenario::paquete(const QString& id, const QString& zip) {
    Pauta r;
    r.archivo = zip;
    r.cabeceras.append(qMakePair(QByteArray("Content-Type"), QByteArray("application/zip")));
    servidor.ruta("GET", QStringLiteral("/v1/bajar/") + id, r);
}

QList<Llegada> Escenario::a(const QString& ruta) const {
    QList<Llegada> lista;
    for (const Llegada& p : servidor.peticiones())
        if (p.ruta == ruta) lista.append(p);
    return lista;
}

QStringList Escenario::temporales() const {
    return QDir(mundo.entorno.temporal)
        .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

void Escenario::conSesion() {
    escribir(mundo.sesion(), R"({"email": "ana@ejemplo.com", "token": "tok"})");
    rehacer();
    QCOMPARE(store->tokenCasa(), std::optional<QString>(QStringLiteral("tok")));
}

Pauta json(const QByteArray& cuerpo, int estado) {
    Pauta r;
    r.estado = estado;
    r.cuerpo = cuerpo;
    r.cabeceras.append(qMakePair(QByteArray("Content-Type"), QByteArray("application/json")));
    return r;
}

QString zipConBundles(const Mundo& mundo, const QString& nombre, const QStringList& bundles) {
    const QString origen = mundo.dir.filePath(QStringLiteral("origen-") + nombre);
    for (const QString& bundle : bundles)
        crearBundle(origen + QLatin1Char('/') + bundle);
    const QString zip = mundo.dir.filePath(nombre + QStringLiteral(".zip"));
    escribirZip(zip, entradasDe(origen, ""));
    return zip;
}

QByteArray alAzar(qsizetype tamano, quint32 semilla) {
    QByteArray datos(tamano, Qt::Uninitialized);
    QRandomGenerator(semilla).fillRange(reinterpret_cast<quint32*>(datos.data()), tamano / 4);
    return datos;
}

QString zipGrande(const Mundo& mundo, const QByteArray& datos) {
    const QString origen = mundo.dir.filePath(QStringLiteral("origen-grande"));
    crearBundle(origen + QStringLiteral("/brisa.vst3"));
    escribir(origen + QStringLiteral("/brisa.vst3/Contents/Resources/grande.bin"), datos);
    return zipConBundles(mundo, QStringLiteral("grande"), {});
}

QString grandeInstalado(const Mundo& mundo) {
    return fabricanteVst3(mundo.entorno.home) +
           QStringLiteral("/Reverb/brisa.vst3/Contents/Resources/grande.bin");
}
