#include "icono.h"

#include "core/entorno.h"
#include "core/texto.h"

#include <QApplication>
#include <QIcon>
#include <QPixmap>

void ponerIcono(QApplication& app, const Entorno& entorno) {
    const QPixmap imagen(unir(entorno.recursos, QStringLiteral("Logo.png")));
    if (imagen.isNull()) return;
    app.setWindowIcon(QIcon(imagen));
}
