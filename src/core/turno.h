#pragma once

#include <QCoro/QCoroTask>
#include <QObject>

#include <optional>

// A yes or a no given once, on the window's thread, by one step to another that waits for it
// there: a bundle copied beside its place waits to be told whether the one before it went in.
class Turno : public QObject {
    Q_OBJECT

public:
    // Only the first answer counts.
    void dar(bool si);
    QCoro::Task<bool> esperar();

Q_SIGNALS:
    void dado();

private:
    std::optional<bool> respuesta_;
};
