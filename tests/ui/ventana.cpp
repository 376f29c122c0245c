#include "ventana.h"

#include "core/texto.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>

Ventana::Ventana(const QList<Plugin>& plugins, bool conProyecto, bool conLogo,
                 const std::function<void(Mundo&)>& preparar)
    : mundo(conProyecto) {
    mundo.catalogo(plugins);
    if (preparar) preparar(mundo);
    if (conLogo) {
        QImage logo(16, 16, QImage::Format_ARGB32);
        logo.fill(Qt::yellow);
        QVERIFY(logo.save(unir(mundo.entorno.recursos, QStringLiteral("Logo.png"))));
    }
    vista = std::make_unique<ContentView>(mundo.entorno);
    vista->resize(1180, 760);
    vista->show();
    QVERIFY(QTest::qWaitForWindowExposed(vista.get()));
    QTRY_VERIFY(!store().busy()); // the catalog is in
}

void Ventana::activar() const {
    vista->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(vista.get()));
}

void Ventana::captura(const Plugin& plugin, QSize tamano) const {
    const QString ruta = unir(mundo.proyecto, plugin.screenshot);
    QDir().mkpath(QFileInfo(ruta).absolutePath());
    QImage imagen(tamano, QImage::Format_RGB32);
    imagen.fill(Qt::darkCyan);
    QVERIFY(imagen.save(ruta, "PNG"));
}

QList<QAbstractButton*> botones(const QWidget* raiz, const QString& texto) {
    QList<QAbstractButton*> r;
    for (QAbstractButton* b : raiz->findChildren<QAbstractButton*>())
        if (b->isVisible() && b->text() == texto) r.append(b);
    return r;
}

QAbstractButton* boton(const QWidget* raiz, const QString& texto) {
    const auto lista = botones(raiz, texto);
    return lista.size() == 1 ? lista.first() : nullptr;
}

QStringList textos(const QWidget* raiz) {
    QStringList r;
    for (const QLabel* l : raiz->findChildren<QLabel*>())
        if (l->isVisible() && !l->text().isEmpty()) r.append(l->text());
    return r;
}

QList<Plugin> catalogoBase() {
    Plugin brisa = pluginDePrueba(QStringLiteral("brisa"), QStringLiteral("Reverb"));
    brisa.name = QStringLiteral("Brisa");
    brisa.subtitle = QStringLiteral("Reverb de placa");
    brisa.purpose = QStringLiteral("Da aire a las voces.");
    brisa.requirements = {QStringLiteral("macOS 12"), QStringLiteral("Apple Silicon o Intel")};
    Plugin eco = pluginDePrueba(QStringLiteral("eco"), QStringLiteral("Delay"));
    eco.name = QStringLiteral("Eco");
    eco.subtitle = QStringLiteral("Delay de cinta");
    Plugin catedral = pluginDePrueba(QStringLiteral("catedral"), QStringLiteral("Reverb"));
    catedral.name = QStringLiteral("Catedral");
    catedral.subtitle = QStringLiteral("Reverb de sala grande");
    return {brisa, eco, catedral};
}
