// Stand-in for the session opening of the accounts area until it lands: it only publishes the
// session. Weak, so the real definition wins as soon as both are linked; delete this file then.
#include "core/store.h"

__attribute__((weak)) void Store::abrir(const QString& email, const std::optional<QString>& token) {
    setCuentaEmail(email);
    setTokenCasa(token);
}
