// Placeholder until installing from the project folder is built.
#include "core/store.h"

void Store::install(const Plugin&) {}
void Store::installVisible() {}
void Store::remove(const Plugin&) {}
