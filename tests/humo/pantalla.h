#pragma once

#include "pantalla_virtual.h"

#include <QImage>
#include <QProcess>
#include <QRect>
#include <QString>

#include <functional>

// A virtual X display of its own, for starting the real application in a real window.
class Pantalla {
public:
    bool lista() const { return xvfb_.lista(); }
    QString nombre() const { return xvfb_.nombre(); }

    // Runs an X client tool (xdotool, import) against this display; its standard output.
    QByteArray herramienta(const QString& programa, const QStringList& argumentos) const;

    struct Ventana {
        QString id; // empty when no window appeared
        QRect geometria;
    };
    // The application window whose name contains the text, waiting up to the given time.
    Ventana esperarVentana(const QString& nombre, int milisegundos) const;
    QImage captura() const;
    // Whether a capture of the screen passes the check within the given time; true as soon as one
    // does.
    bool esperarCaptura(const std::function<bool(const QImage&)>& prueba, int milisegundos) const;

private:
    PantallaVirtual xvfb_{90};
};

// Pixels close to the theme's gold inside a rectangle of an image.
int pixelesDorados(const QImage& imagen, const QRect& zona);
