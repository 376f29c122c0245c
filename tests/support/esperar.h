#pragma once

#include <chrono>

class Store;

// Serves the event loop until the Store's running action is over (busy false again), or until
// `limite` passes; whether it ended. Returns at once when nothing runs.
[[nodiscard]] bool esperarFin(const Store& store,
                              std::chrono::milliseconds limite = std::chrono::seconds(30));

// Nothing marks what never comes: serves the event loop for `rato`, so that a request, a message
// or an answer still on its way has had its chance before the test says that none came. Only for
// such absences; whatever does come is waited for on its signal.
void dejarCorrer(std::chrono::milliseconds rato);
