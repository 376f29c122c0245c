#include "pantalla_virtual.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QThread>

PantallaVirtual::PantallaVirtual(int desde) {
    for (int n = desde; n < desde + 50; ++n) {
        if (QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(n)) ||
            QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(n)))
            continue;
        servidor_.setProgram(QStringLiteral("Xvfb"));
        servidor_.setArguments({QStringLiteral(":%1").arg(n), QStringLiteral("-screen"),
                                QStringLiteral("0"), QStringLiteral("1600x1000x24"),
                                QStringLiteral("-nolisten"), QStringLiteral("tcp")});
        servidor_.setStandardOutputFile(QProcess::nullDevice());
        servidor_.setStandardErrorFile(QProcess::nullDevice());
        servidor_.start();
        if (!servidor_.waitForStarted(5000)) return;
        const QDeadlineTimer plazo(10000);
        while (!plazo.hasExpired() && servidor_.state() == QProcess::Running) {
            if (QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(n))) {
                numero_ = n;
                return;
            }
            QThread::msleep(20);
        }
        return;
    }
}

PantallaVirtual::~PantallaVirtual() {
    if (servidor_.state() == QProcess::NotRunning) return;
    servidor_.terminate();
    servidor_.waitForFinished(5000);
}
