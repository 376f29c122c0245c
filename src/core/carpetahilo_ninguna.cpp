// Where every thread shares the process's working folder: nothing is changed.
#include "core/carpetahilo.h"

CarpetaDelHilo::CarpetaDelHilo(const QString&) {}

CarpetaDelHilo::~CarpetaDelHilo() = default;
