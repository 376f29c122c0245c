#include "ui/accesible.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QLabel>

namespace {
const char* const esImagen = "imagenAccesible";

QAccessibleInterface* fabrica(const QString&, QObject* objeto) {
    auto* w = qobject_cast<QWidget*>(objeto);
    if (!w || !w->property(esImagen).toBool()) return nullptr;
    return new QAccessibleWidget(w, QAccessible::Graphic);
}
} // namespace

void anunciar(QLabel* estado, const QString& texto) {
    estado->setText(texto);
    QAccessibleEvent cambio(estado, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&cambio);
}

void comoImagen(QWidget* imagen, const QString& nombre) {
    static const bool instalada = (QAccessible::installFactory(fabrica), true);
    Q_UNUSED(instalada);
    imagen->setProperty(esImagen, true);
    imagen->setAccessibleName(nombre);
}
