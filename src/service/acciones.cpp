// Placeholder until the store service client is built.
#include "core/store.h"

void Store::entrarCasa(const QString&, const QString&, bool) {}
void Store::bajarComprados() {}
