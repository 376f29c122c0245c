#pragma once

#include <QCoro/QCoroTask>

#include <functional>

// Runs a blocking job (unpacking a package, removing a large folder) on a thread of its own and
// awaits its end, so the window's thread keeps serving its events meanwhile. What the job throws
// is thrown here. The job must touch no QObject of the window's thread.
QCoro::Task<> enSegundoPlano(std::function<void()> trabajo);
