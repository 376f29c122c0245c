#pragma once

#include <optional>

// Puts the calling thread a little below the window's, so that whenever the window's thread
// wakes (a click, a repaint, a timer) it gets a core ahead of the jobs beside it; threads this one
// starts afterwards inherit it. The jobs still get every core the window leaves free. Where the
// system already ranks them so, or offers no way, nothing changes.
void cederPrioridad();

// How far below the default the calling thread runs (its nice value where threads have one);
// none where the system has no such number per thread.
std::optional<int> prioridadDelHilo();
