#pragma once

#include "core/plugin.h"

#include <QList>
#include <QString>

#include <functional>

// Median wall time of a function, in milliseconds, over a number of runs.
double medianaMs(int veces, const std::function<void()>& f);
double mediana(QList<double> valores);

// A synthetic catalog of n plausible entries over a handful of categories.
QList<Plugin> catalogoSintetico(int n);

// One row of the results table, printed to stdout for scripts/bench to collect:
// | what | measured | target | verdict or note |
void fila(const QString& que, const QString& medido, const QString& objetivo, const QString& nota);
