#pragma once

#include "core/cancelacion.h"
#include "service/red.h"

#include <QCoro/QCoroTask>

#include <functional>

// One transfer, started on the thread that runs it with the cancellation and progress of that
// thread.
using Transferencia = std::function<QCoro::Task<Contestacion>(Cancelacion, AvisoProgreso)>;

// Runs a transfer on a thread of its own, with an event loop of its own, and awaits its end on
// the calling thread: Qt's reply lives there, so the body's pieces are read and handed to the
// writer whether or not the calling thread (the window's) is free, and never hold it. A request
// to stop made on the calling thread reaches the transfer there; its progress is told on the
// calling thread, only the latest while that thread is busy. What it throws is thrown here.
// When the application quits meanwhile, the transfer is stopped and its thread waited for.
QCoro::Task<Contestacion> enHiloDeRed(Transferencia transferencia, Cancelacion cancelacion,
                                      AvisoProgreso aviso);
