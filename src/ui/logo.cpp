#include "ui/logo.h"

#include "core/store.h"
#include "core/texto.h"

#include <QDateTime>
#include <QFileInfo>
#include <QLabel>
#include <QPixmap>

QImage imagenLogo(const QString& recursos) {
    // Only the window's thread builds views and icons, so one saved copy needs no lock.
    struct Guardada {
        QString ruta;
        QDateTime cambio;
        qint64 tamano = -1;
        QImage imagen;
    };
    static Guardada guardada;
    const QString ruta = unir(recursos, QStringLiteral("Logo.png"));
    const QFileInfo info(ruta);
    if (!info.isFile()) return {};
    if (guardada.ruta != ruta || guardada.cambio != info.lastModified() ||
        guardada.tamano != info.size()) {
        QImage imagen(ruta);
        // The form every later scaling and conversion to a pixmap is quickest from.
        if (!imagen.isNull()) imagen.convertTo(QImage::Format_ARGB32_Premultiplied);
        guardada = {ruta, info.lastModified(), info.size(), imagen};
    }
    return guardada.imagen;
}

QLabel* crearLogo(const Store& store, QWidget* parent) {
    const QImage imagen = imagenLogo(store.entorno().recursos);
    if (imagen.isNull()) return nullptr;
    constexpr int lado = 92;
    auto* etiqueta = new QLabel(parent);
    etiqueta->setObjectName(QStringLiteral("logo"));
    etiqueta->setAccessibleName(QStringLiteral("Logotipo de Quelo DSP"));
    const qreal escala = etiqueta->devicePixelRatioF();
    QPixmap pixmap = QPixmap::fromImage(
        imagen.scaled(QSize(lado, lado) * escala, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    pixmap.setDevicePixelRatio(escala);
    etiqueta->setPixmap(pixmap);
    etiqueta->setFixedSize(lado, lado);
    return etiqueta;
}
