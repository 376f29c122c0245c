#include "icono.h"

#include "core/entorno.h"
#include "ui/logo.h"

#include <QApplication>
#include <QIcon>
#include <QPixmap>

void ponerIcono(QApplication& app, const Entorno& entorno) {
    // The picture the window has already decoded for its emblem.
    const QImage imagen = imagenLogo(entorno.recursos);
    if (imagen.isNull()) return;
    app.setWindowIcon(QIcon(QPixmap::fromImage(imagen)));
}
