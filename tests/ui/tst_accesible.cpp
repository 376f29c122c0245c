// What a screen reader is told about the custom-drawn controls.
#include "ui/captura.h"
#include "ui/lista.h"
#include "ventana.h"

#include <QAccessible>
#include <QProgressBar>

namespace {
QAccessibleInterface* interfaz(QObject* objeto) {
    return QAccessible::queryAccessibleInterface(objeto);
}

QString nombre(QObject* objeto) {
    return interfaz(objeto)->text(QAccessible::Name);
}

QString nombreDeFila(const Ventana& v, int fila) {
    QAccessibleInterface* lista =
        interfaz(v.vista->findChild<ListaPlugins*>(QStringLiteral("list")));
    return lista->tableInterface()->cellAt(fila, 0)->text(QAccessible::Name);
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
            QCOMPARE(nombre(v.vista->findChild<QWidget*>(QString::fromLatin1(objeto))),
                     QString::fromUtf8(esperado));

        PruebaStore::entrar(v.store(), QStringLiteral("ana@quelo.com"));
        PruebaStore::instalados(v.store(), {QStringLiteral("brisa")});
        QWidget* barra = v.parte(QStringLiteral("sidebar"));

        QAccessibleInterface* reverb = interfaz(boton(barra, QStringLiteral("Reverb")));
        QCOMPARE(reverb->role(), QAccessible::Button);
        QCOMPARE(reverb->text(QAccessible::Name), QStringLiteral("Reverb, 2 plugins"));
        QCOMPARE(nombre(boton(barra, QStringLiteral("Delay"))), QStringLiteral("Delay, 1 plugin"));

        QCOMPARE(nombreDeFila(v, 0), QStringLiteral("Brisa, Reverb de placa, instalado"));
        QCOMPARE(nombreDeFila(v, 1), QStringLiteral("Eco, Delay de cinta"));
        PruebaStore::instalados(v.store(), {QStringLiteral("eco")});
        QCOMPARE(nombreDeFila(v, 0), QStringLiteral("Brisa, Reverb de placa"));
        QCOMPARE(nombreDeFila(v, 1), QStringLiteral("Eco, Delay de cinta, instalado"));

        QAccessibleInterface* imagen =
            interfaz(v.parte(QStringLiteral("detail"))->findChild<Captura*>());
        QCOMPARE(imagen->role(), QAccessible::Graphic);
        QCOMPARE(imagen->text(QAccessible::Name), QStringLiteral("Brisa"));

        QLabel* estado =
            v.parte(QStringLiteral("footer"))->findChild<QLabel*>(QStringLiteral("estado"));
        v.store().setStatus(QStringLiteral("Brisa instalado."));
        QCOMPARE(nombre(estado), QStringLiteral("Brisa instalado."));

        QCOMPARE(nombre(v.parte(QStringLiteral("footer"))->findChild<QProgressBar*>()),
                 QStringLiteral("Progreso"));
    }
};

QUELO_PRUEBA(TstAccesible)

#include "tst_accesible.moc"
