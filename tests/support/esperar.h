#pragma once

#include <chrono>

class Store;

// Serves the event loop until the Store's running action is over (busy false again), or until
// `limite` passes; whether it ended. Returns at once when nothing runs.
[[nodiscard]] bool esperarFin(const Store& store,
                              std::chrono::milliseconds limite = std::chrono::seconds(30));
