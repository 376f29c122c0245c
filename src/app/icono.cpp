#include "icono.h"

#include "core/entorno.h"
#include "ui/logo.h"

#include <QApplication>
#include <QIcon>
#include <QPixmap>

void ponerIcono(QApplication& app, const Entorno& entorno) {
    // The picture the window decodes for its emblem, once.
    conLogo(entorno.recursos, &app, [](const QImage& imagen) {
        if (!imagen.isNull()) QApplication::setWindowIcon(QIcon(QPixmap::fromImage(imagen)));
    });
}
