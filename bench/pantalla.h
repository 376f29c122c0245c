#pragma once

#include <QProcess>
#include <QString>

// A virtual X display of its own (Xvfb), so start-up is measured up to a frame that a real
// X server received. Gone with the object.
class PantallaVirtual {
public:
    PantallaVirtual();
    ~PantallaVirtual();
    bool lista() const { return numero_ >= 0; }
    QString nombre() const { return QStringLiteral(":%1").arg(numero_); }

private:
    QProcess servidor_;
    int numero_ = -1;
};
