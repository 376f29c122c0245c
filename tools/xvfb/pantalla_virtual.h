#pragma once

#include <QProcess>
#include <QString>

// A virtual X display of its own (Xvfb, 1600 x 1000), on the first free display number from
// `desde` on, for starting real windows in tests and benchmarks. Gone with the object.
class PantallaVirtual {
public:
    explicit PantallaVirtual(int desde);
    ~PantallaVirtual();
    bool lista() const { return numero_ >= 0; }
    QString nombre() const { return QStringLiteral(":%1").arg(numero_); }

private:
    QProcess servidor_;
    int numero_ = -1;
};
