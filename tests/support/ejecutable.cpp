#include "ejecutable.h"

#include <QMetaMethod>
#include <QSet>
#include <QStringList>
#include <QTest>

#include <algorithm>
#include <cstdio>

namespace {

struct Registrada {
    const QMetaObject* clase;
    FabricaDePrueba fabrica;
};

QList<Registrada>& registradas() {
    static QList<Registrada> lista;
    return lista;
}

// Qt Test's options that take the next argument as their value.
bool llevaValor(const QByteArray& opcion) {
    static const QSet<QByteArray> conValor{
        "-o",      "-maxwarnings", "-eventdelay", "-keydelay",     "-mousedelay",   "-seed",
        "-repeat", "-iterations",  "-median",     "-minimumvalue", "-minimumtotal", "-perfcounter"};
    return conValor.contains(opcion);
}

// Whether a class has a test function of that name (a private slot taking nothing).
bool tieneFuncion(const QMetaObject& clase, const QByteArray& funcion) {
    const QByteArray firma = funcion + "()";
    const int indice = clase.indexOfSlot(firma.constData());
    return indice >= 0 && clase.method(indice).access() == QMetaMethod::Private;
}

const char* const uso =
    "Selection: no name runs every class; Clase runs that class; funcion[:fila] runs that test\n"
    "function (or data row) in the classes that have it; Clase::funcion[:fila] runs it in that\n"
    "class only. The exit status counts the failures of all classes (at most 127).\n\n";

} // namespace

bool registrarPrueba(const QMetaObject& clase, FabricaDePrueba fabrica) {
    registradas().append({&clase, std::move(fabrica)});
    return true;
}

int ejecutarPruebas(int argc, char** argv) {
    QStringList opciones;
    QList<QByteArray> nombres;
    bool ayuda = false;
    for (int i = 1; i < argc; ++i) {
        const QByteArray argumento(argv[i]);
        if (!argumento.startsWith('-')) {
            nombres.append(argumento);
            continue;
        }
        ayuda = ayuda || argumento == "-help" || argumento == "--help" || argumento == "-h";
        opciones.append(QString::fromLocal8Bit(argumento));
        if (llevaValor(argumento) && i + 1 < argc)
            opciones.append(QString::fromLocal8Bit(argv[++i]));
    }
    const QList<Registrada>& lista = registradas();
    if (lista.isEmpty()) {
        std::fputs("no test class is linked into this executable\n", stderr);
        return 1;
    }
    if (ayuda) {
        std::fputs(uso, stdout);
        const std::unique_ptr<QObject> primera = lista.first().fabrica();
        return QTest::qExec(primera.get(),
                            {QString::fromLocal8Bit(argv[0]), QStringLiteral("-help")});
    }

    // What runs of each class: nothing, all of it, or the functions named.
    struct Eleccion {
        bool entera;
        QStringList funciones;
    };
    QList<Eleccion> elecciones(lista.size(), Eleccion{nombres.isEmpty(), {}});
    for (const QByteArray& nombre : std::as_const(nombres)) {
        const qsizetype separador = nombre.indexOf("::");
        const QByteArray clase = separador < 0 ? QByteArray() : nombre.left(separador);
        const QByteArray funcion = separador < 0 ? nombre : nombre.mid(separador + 2);
        const qsizetype fila = funcion.indexOf(':');
        const QByteArray soloFuncion = fila < 0 ? funcion : funcion.left(fila);
        bool hallado = false;
        for (qsizetype i = 0; i < lista.size(); ++i) {
            const QMetaObject& meta = *lista[i].clase;
            if (separador < 0 && nombre == meta.className()) {
                elecciones[i].entera = true;
                hallado = true;
            } else if ((clase.isEmpty() || clase == meta.className()) &&
                       tieneFuncion(meta, soloFuncion)) {
                elecciones[i].funciones.append(QString::fromLocal8Bit(funcion));
                hallado = true;
            }
        }
        if (!hallado) {
            std::fprintf(stderr, "no test class or function named '%s'\n%s", nombre.constData(),
                         uso);
            return 1;
        }
    }

    int fallos = 0;
    int clases = 0;
    int conFallos = 0;
    for (qsizetype i = 0; i < lista.size(); ++i) {
        const Eleccion& e = elecciones[i];
        if (!e.entera && e.funciones.isEmpty()) continue;
        QStringList argumentos{QString::fromLocal8Bit(argv[0])};
        argumentos += opciones;
        if (!e.entera) argumentos += e.funciones;
        const std::unique_ptr<QObject> prueba = lista[i].fabrica();
        const int suyos = QTest::qExec(prueba.get(), argumentos);
        fallos += std::max(suyos, 0);
        ++clases;
        conFallos += suyos != 0 ? 1 : 0;
    }
    if (clases > 1) std::fprintf(stderr, "%d test classes, %d with failures\n", clases, conFallos);
    // An exit status is one byte: 256 failures must not read as success.
    return std::min(fallos, 127);
}
