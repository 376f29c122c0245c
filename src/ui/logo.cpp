#include "ui/logo.h"

#include "core/store.h"
#include "core/texto.h"

#include <QImage>
#include <QLabel>
#include <QPixmap>

QLabel* crearLogo(const Store& store, QWidget* parent) {
    const QImage imagen(unir(store.entorno().recursos, QStringLiteral("Logo.png")));
    if (imagen.isNull()) return nullptr;
    constexpr int lado = 92;
    auto* etiqueta = new QLabel(parent);
    etiqueta->setObjectName(QStringLiteral("logo"));
    const qreal escala = etiqueta->devicePixelRatioF();
    QPixmap pixmap = QPixmap::fromImage(
        imagen.scaled(QSize(lado, lado) * escala, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    pixmap.setDevicePixelRatio(escala);
    etiqueta->setPixmap(pixmap);
    etiqueta->setFixedSize(lado, lado);
    return etiqueta;
}
