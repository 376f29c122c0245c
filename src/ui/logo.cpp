#include "ui/logo.h"

#include "core/store.h"
#include "core/texto.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QLabel>
#include <QMutex>
#include <QPixmap>
#include <QPointer>
#include <QThreadPool>

QImage imagenLogo(const QString& recursos) {
    struct Guardada {
        QString ruta;
        QDateTime cambio;
        qint64 tamano = -1;
        QImage imagen;
    };
    static QMutex mutex;
    static Guardada guardada;
    const QString ruta = unir(recursos, QStringLiteral("Logo.png"));
    const QFileInfo info(ruta);
    if (!info.isFile()) return {};
    // Held while decoding: a second caller waits for the one decode rather than making its own.
    const QMutexLocker cerrojo(&mutex);
    if (guardada.ruta != ruta || guardada.cambio != info.lastModified() ||
        guardada.tamano != info.size()) {
        QImage imagen(ruta);
        // The form every later scaling and conversion to a pixmap is quickest from.
        if (!imagen.isNull()) imagen.convertTo(QImage::Format_ARGB32_Premultiplied);
        guardada = {ruta, info.lastModified(), info.size(), imagen};
    }
    return guardada.imagen;
}

void conLogo(const QString& recursos, QObject* destino, std::function<void(const QImage&)> usar) {
    // Qt's pool is waited for when the application ends: a decode is never cut off half-way.
    QThreadPool::globalInstance()->start(
        [recursos, vivo = QPointer<QObject>(destino), usar = std::move(usar)] {
            const QImage imagen = imagenLogo(recursos);
            // Sent to the application, which outlives `destino`: only there is it safe to ask
            // whether `destino` is still alive.
            QMetaObject::invokeMethod(QCoreApplication::instance(), [imagen, vivo, usar] {
                if (vivo) usar(imagen);
            });
        });
}

QLabel* crearLogo(const Store& store, QWidget* parent) {
    const QString recursos = store.entorno().recursos;
    if (!QFileInfo(unir(recursos, QStringLiteral("Logo.png"))).isFile()) return nullptr;
    constexpr int lado = 92;
    auto* etiqueta = new QLabel(parent);
    etiqueta->setObjectName(QStringLiteral("logo"));
    etiqueta->setAccessibleName(QStringLiteral("Logotipo de Quelo DSP"));
    etiqueta->setFixedSize(lado, lado);
    conLogo(recursos, etiqueta, [etiqueta](const QImage& imagen) {
        if (imagen.isNull()) {
            etiqueta->hide();
            return;
        }
        const qreal escala = etiqueta->devicePixelRatioF();
        QPixmap pixmap = QPixmap::fromImage(imagen.scaled(
            QSize(lado, lado) * escala, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        pixmap.setDevicePixelRatio(escala);
        etiqueta->setPixmap(pixmap);
    });
    return etiqueta;
}
