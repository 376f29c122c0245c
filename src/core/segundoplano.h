#pragma once

#include <QCoro/QCoroTask>

#include <functional>

// Runs a blocking job (unpacking a package, removing a large folder, a transfer's own event loop)
// on one of the threads kept beside the window's, and awaits its end, so the window's thread keeps
// serving its events meanwhile. The threads outlive their jobs, so nobody waits for a thread to
// start or to end; they run at the window's own priority (set lower, they lost the cores to any
// other busy program, and the window's thread gained nothing measurable). The application's end
// waits for the jobs still running. What the job throws is thrown here. The job must touch no
// QObject of the window's thread.
QCoro::Task<> enSegundoPlano(std::function<void()> trabajo);
