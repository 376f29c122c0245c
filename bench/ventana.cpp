#include "ventana.h"

#include "core/store.h"
#include "ui/contentview.h"
#include "ui/tema.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QWindow>

// Sets what a sign-in would, without an account book or a store behind it.
struct PruebaStore {
    static void entrar(Store& s, const QString& email, const std::optional<QString>& token) {
        s.setCuentaEmail(email);
        s.setTokenCasa(token);
    }
};

VentanaReal::VentanaReal(Entorno entorno) {
    QApplication::setStyle(QStringLiteral("Fusion"));
    tema::instalarFuentes();
    vista_ = std::make_unique<ContentView>(std::move(entorno));
    vista_->resize(1180, 760);
    vista_->show();
    QElapsedTimer reloj;
    reloj.start();
    // Shown, and its catalog in: until then its buttons are disabled.
    while (!vista_->windowHandle() || !vista_->windowHandle()->isExposed() || store().busy()) {
        if (reloj.elapsed() > 10000) qFatal("the window did not appear");
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    QApplication::processEvents();
}

VentanaReal::~VentanaReal() = default;

Store& VentanaReal::store() const {
    return vista_->store();
}

void VentanaReal::entrar(const QString& email, const std::optional<QString>& token) {
    PruebaStore::entrar(store(), email, token);
    QApplication::processEvents();
}

bool VentanaReal::pulsar(const QString& texto) {
    QAbstractButton* elegido = nullptr;
    for (QAbstractButton* b : vista_->findChildren<QAbstractButton*>()) {
        if (!b->isVisible() || !b->isEnabled() || b->text() != texto) continue;
        if (elegido) return false;
        elegido = b;
    }
    if (!elegido) return false;
    elegido->click();
    return true;
}

void VentanaReal::elegir(const QString& id) {
    store().setSelectedID(id);
    QApplication::processEvents();
}
