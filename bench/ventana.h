#pragma once

#include "core/entorno.h"

#include <QString>

#include <memory>

class ContentView;
class Store;

// The application's real window on a given world, shown at its own size with its catalog loaded,
// for the benchmarks that measure what its user lives through: clicks go to its real buttons.
// Needs a QApplication.
class VentanaReal {
public:
    explicit VentanaReal(Entorno entorno);
    ~VentanaReal();
    Store& store() const;

    // Signed in as a sign-in would leave it: a store account with its token, or a local one.
    void entrar(const QString& email, const std::optional<QString>& token);
    // Clicks the one visible, enabled button with this text; false when there is none.
    bool pulsar(const QString& texto);
    // Chooses a plug-in in the list, as a click on its row does.
    void elegir(const QString& id);

private:
    std::unique_ptr<ContentView> vista_;
};
