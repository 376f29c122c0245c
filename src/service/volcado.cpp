#include "service/volcado.h"

#include "core/errores.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>

namespace {

constexpr qsizetype tamanoBloque = 1024 * 1024;

const QString noGuardado = QStringLiteral("No se pudo guardar el paquete en");

} // namespace

Volcado::Volcado(const QString& archivo, Integridad esperado)
    : archivo_(archivo), comprobante_(std::move(esperado)) {
    QDir().mkpath(QFileInfo(archivo).absolutePath()); // a failure shows in open below
    errno = 0;
    // Unbuffered: every block reaches the system at once and its write is checked as it is made.
    if (!archivo_.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw errorDeArchivo(archivo_, noGuardado);
    bloque_.reserve(tamanoBloque);
}

void Volcado::agregar(const QByteArray& trozo) {
    comprobante_.agregar(trozo); // what goes past the length said is never written
    bloque_.append(trozo);
    if (bloque_.size() >= tamanoBloque) escribirBloque();
}

void Volcado::escribirBloque() {
    if (bloque_.isEmpty()) return;
    errno = 0;
    if (archivo_.write(bloque_) != bloque_.size()) throw errorDeArchivo(archivo_, noGuardado);
    escritos_ += bloque_.size();
    bloque_.resize(0); // keeps its capacity for the next block
}

void Volcado::terminar() {
    escribirBloque();
    comprobante_.terminar();
    errno = 0;
    if (!archivo_.commit()) throw errorDeArchivo(archivo_, noGuardado);
    // What is on disk is checked too: a commit has been seen to succeed after a failed write.
    if (QFileInfo(archivo_.fileName()).size() != escritos_)
        throw errorDeArchivo(EIO, noGuardado, archivo_.fileName());
}
