#pragma once

#include <QCoro/QCoroTask>

#include <functional>

// Runs a blocking job (unpacking a package, removing a large folder) beside the window's thread
// and awaits its end, so the window's thread keeps serving its events meanwhile. What the job
// throws is thrown here. The job must touch no QObject of the window's thread.
QCoro::Task<> enSegundoPlano(std::function<void()> trabajo);

// Starts a job on one of the threads kept for jobs beside the window's thread, and returns at
// once. The threads outlive their jobs, so nobody waits for a thread to start or to end; they run
// a little below the window's thread (cederPrioridad); the application's end waits for the jobs
// still running.
void aparte(std::function<void()> trabajo);
