// What a screen reader is told about the custom-drawn controls.
#include "ui/captura.h"
#include "ui/lista.h"
#include "ventana.h"

#include <QAccessible>
#include <QProgressBar>

namespace {
QAccessibleInterface* interfaz(QObject* objeto) {
    QAccessibleInterface* i = QAccessible::queryAccessibleInterface(objeto);
    if (!i) qWarning("no accessible interface for %s", qPrintable(objeto->objectName()));
    return i;
}

QString nombre(QObject* objeto) {
    QAccessibleInterface* i = interfaz(objeto);
    return i ? i->text(QAccessible::Name) : QString();
}

QString nombreDeFila(const Ventana& v, int fila) {
    auto* tabla =
        interfaz(v.vista->findChild<ListaPlugins*>(QStringLiteral("list")))->tableInterface();
    if (!tabla) return {};
    QAccessibleInterface* celda = tabla->cellAt(fila, 0);
    return celda ? celda->text(QAccessible::Name) : QString();
}
} // namespace

class TstAccesible : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cada_control_tiene_nombre_y_papel() {
        Ventana v(catalogoBase());
        // the access fields by their captions as written, not in capitals
        for (const auto& [objeto, esperado] :
             {std::pair{"correo", "Correo"}, std::pair{"contrasena", "Contraseña"},
              std::pair{"repeticion", "Repite la contraseña"}})
            QCOMPARE(nombre(v.vista->findChild<QWidget*>(objeto)), QString::fromUtf8(esperado));

        PruebaStore::entrar(v.store(), QStringLiteral("ana@quelo.com"));
        PruebaStore::instalados(v.store(), {QStringLiteral("brisa")});
        QWidget* barra = v.parte(QStringLiteral("sidebar"));

        QAccessibleInterface* reverb = interfaz(boton(barra, "Reverb"));
        QCOMPARE(reverb->role(), QAccessible::Button);
        QCOMPARE(reverb->text(QAccessible::Name), QStringLiteral("Reverb, 2 plugins"));
        QCOMPARE(nombre(boton(barra, "Delay")), QStringLiteral("Delay, 1 plugin"));
        QCOMPARE(nombre(boton(barra, "Toda la suite")), QStringLiteral("Toda la suite, 3 plugins"));
        QCOMPARE(nombre(boton(v.parte(QStringLiteral("header")), "Bajar comprados")),
                 QStringLiteral("Bajar comprados"));

        QCOMPARE(nombreDeFila(v, 0), QStringLiteral("Brisa, Reverb de placa, instalado"));
        QCOMPARE(nombreDeFila(v, 1), QStringLiteral("Eco, Delay de cinta"));
        PruebaStore::instalados(v.store(), {QStringLiteral("eco")});
        QCOMPARE(nombreDeFila(v, 0), QStringLiteral("Brisa, Reverb de placa"));
        QCOMPARE(nombreDeFila(v, 1), QStringLiteral("Eco, Delay de cinta, instalado"));

        QAccessibleInterface* imagen =
            interfaz(v.parte(QStringLiteral("detail"))->findChild<Captura*>());
        QCOMPARE(imagen->role(), QAccessible::Graphic);
        QCOMPARE(imagen->text(QAccessible::Name), QStringLiteral("Brisa"));

        QLabel* estado = v.parte(QStringLiteral("footer"))->findChild<QLabel*>("estado");
        v.store().setStatus(QStringLiteral("Brisa instalado."));
        QCOMPARE(nombre(estado), QStringLiteral("Brisa instalado."));

        auto* barraProgreso = v.parte(QStringLiteral("footer"))->findChild<QProgressBar*>();
        PruebaStore::ocupado(v.store(), true);
        PruebaStore::progreso(v.store(), 0.25);
        QAccessibleInterface* progreso = interfaz(barraProgreso);
        QCOMPARE(progreso->text(QAccessible::Name), QStringLiteral("Progreso"));
        QCOMPARE(progreso->valueInterface()->currentValue().toDouble() /
                     progreso->valueInterface()->maximumValue().toDouble(),
                 0.25);
    }
};

int probarAccesible(int argc, char** argv) {
    TstAccesible t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_accesible.moc"
