#pragma once

#include <QObject>

#include <functional>
#include <memory>

// One test executable holding several test classes. Each class registers itself at the end of
// the file that defines it with QUELO_PRUEBA(Clase); the executable's main is QUELO_MAIN(App),
// or a main of its own that makes the application and returns ejecutarPruebas(argc, argv).
//
// The classes run in the order their files are linked. Names on the command line choose what runs:
//   tst_x                      every class
//   tst_x Clase                that class
//   tst_x funcion[:fila]       that test function (or data row) in whichever class has it
//   tst_x Clase::funcion[:fila] that function of that class only
// Several names add up. Options (-v2, -silent, -maxwarnings 0, -functions, …) go to every class
// that runs. A name that matches nothing is an error before anything runs. The exit status is
// the number of failures across all classes, at most 127: non-zero whenever anything failed.

using FabricaDePrueba = std::function<std::unique_ptr<QObject>()>;

// Adds a class to this executable's list; always true (it runs from a static initialiser).
bool registrarPrueba(const QMetaObject& clase, FabricaDePrueba fabrica);

// Runs the registered classes the command line chooses; the exit status.
int ejecutarPruebas(int argc, char** argv);

#define QUELO_PRUEBA(Clase)                                                                        \
    namespace {                                                                                    \
    [[maybe_unused]] const bool registrada##Clase =                                                \
        registrarPrueba(Clase::staticMetaObject, [] { return std::make_unique<Clase>(); });        \
    }

#define QUELO_MAIN(Aplicacion)                                                                     \
    int main(int argc, char** argv) {                                                              \
        Aplicacion app(argc, argv);                                                                \
        return ejecutarPruebas(argc, argv);                                                        \
    }
