#include "service/volcado.h"

#include "core/errores.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>

namespace {

constexpr qsizetype tamanoBloque = 2 * 1024 * 1024;
// Blocks handed to the writer and not written yet, the one it writes included.
constexpr std::size_t enEspera = 3;

const QString noGuardado = QStringLiteral("No se pudo guardar el paquete en");

} // namespace

Volcado::Volcado(const QString& archivo, Integridad esperado, std::function<void()> alHaberHueco,
                 std::optional<Cabida> cabida)
    : archivo_(archivo), comprobante_(esperado), alHaberHueco_(std::move(alHaberHueco)),
      aviso_(std::make_unique<QObject>()) {
    const QString carpeta = QFileInfo(archivo).absolutePath();
    QDir().mkpath(carpeta); // a failure shows in open below
    cabida_ = cabida ? *cabida : cabidaEn(carpeta);
    // Said to be larger than it may be: refused before a byte of it comes.
    if (esperado.tamano && *esperado.tamano > cabida_.bytes) sinCabida();
    errno = 0;
    // Unbuffered: every block reaches the system at once and its write is checked as it is made.
    // NewOnly: whatever is already there is someone else's, and is left alone.
    if (!archivo_.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered))
        throw errorDeArchivo(archivo_, noGuardado);
    bloque_ = bloqueLibre();
    escritor_ = std::thread([this] { escribir(); });
}

Volcado::~Volcado() {
    {
        const std::lock_guard<std::mutex> cerrojo(mutex_);
        abandonar_ = true;
    }
    hayTrabajo_.notify_one();
    if (escritor_.joinable()) escritor_.join();
    // Its calls still queued go with it.
    aviso_.reset();
    if (!terminado_) {
        archivo_.close();
        archivo_.remove();
    }
}

qint64 Volcado::agregar(QIODevice& origen) {
    {
        const std::lock_guard<std::mutex> cerrojo(mutex_);
        if (fallo_) std::rethrow_exception(fallo_);
    }
    qint64 leidos = 0;
    try {
        for (qint64 hay = origen.bytesAvailable(); hay > 0; hay = origen.bytesAvailable()) {
            const qsizetype antes = bloque_.size();
            const qint64 cabe = std::min<qint64>(hay, tamanoBloque - antes);
            bloque_.resize(antes + cabe); // within its capacity: nothing is allocated
            const qint64 n = origen.read(bloque_.data() + antes, cabe);
            bloque_.resize(antes + std::max<qint64>(n, 0));
            if (n <= 0) break;
            comprobante_.contar(n);
            recibidos_ += n;
            leidos += n;
            if (recibidos_ > cabida_.bytes) sinCabida();
            if (bloque_.size() >= tamanoBloque) {
                entregar(std::move(bloque_));
                bloque_ = bloqueLibre();
            }
        }
    } catch (...) {
        bloque_.clear(); // what went past the length or the room is never written
        throw;
    }
    return leidos;
}

void Volcado::sinCabida() const {
    if (cabida_.porDisco) throw errorDeArchivo(ENOSPC, noGuardado, archivo_.fileName());
    throw PaqueteDanado();
}

QByteArray Volcado::bloqueLibre() {
    QByteArray bloque;
    {
        const std::lock_guard<std::mutex> cerrojo(mutex_);
        if (!libres_.empty()) {
            bloque = std::move(libres_.back());
            libres_.pop_back();
        }
    }
    bloque.resize(0); // keeps its memory: nobody else holds it
    bloque.reserve(tamanoBloque);
    return bloque;
}

bool Volcado::hayHueco() const {
    const std::lock_guard<std::mutex> cerrojo(mutex_);
    return cola_.size() < enEspera || fallo_;
}

void Volcado::entregar(QByteArray bloque) {
    {
        const std::lock_guard<std::mutex> cerrojo(mutex_);
        cola_.push_back(std::move(bloque));
    }
    hayTrabajo_.notify_one();
}

void Volcado::escribir() {
    for (;;) {
        QByteArray bloque;
        {
            std::unique_lock<std::mutex> cerrojo(mutex_);
            hayTrabajo_.wait(cerrojo, [this] { return abandonar_ || cerrar_ || !cola_.empty(); });
            if (abandonar_ || (cola_.empty() && cerrar_)) return;
            bloque = cola_.front(); // shared, not copied: it stays counted until written
        }
        std::exception_ptr fallo;
        try {
            comprobante_.resumir(bloque);
            errno = 0;
            if (archivo_.write(bloque) != bloque.size()) throw errorDeArchivo(archivo_, noGuardado);
            escritos_ += bloque.size();
        } catch (...) {
            fallo = std::current_exception();
        }
        {
            const std::lock_guard<std::mutex> cerrojo(mutex_);
            cola_.pop_front();
            libres_.push_back(std::move(bloque)); // the last holder of it now
            if (fallo) {
                // Nothing more is written; the receiving side learns of it at its next piece.
                fallo_ = fallo;
                cola_.clear();
            }
        }
        if (alHaberHueco_)
            QMetaObject::invokeMethod(aviso_.get(), alHaberHueco_, Qt::QueuedConnection);
        if (fallo) return;
    }
}

void Volcado::terminar() {
    if (!bloque_.isEmpty()) entregar(std::move(bloque_));
    {
        const std::lock_guard<std::mutex> cerrojo(mutex_);
        cerrar_ = true;
    }
    hayTrabajo_.notify_one();
    escritor_.join();
    if (fallo_) std::rethrow_exception(fallo_);
    comprobante_.terminar();
    errno = 0;
    archivo_.close();
    if (archivo_.error() != QFileDevice::NoError) throw errorDeArchivo(archivo_, noGuardado);
    // What is on disk is checked too: a write has been seen to fail without saying so.
    if (QFileInfo(archivo_.fileName()).size() != escritos_)
        throw errorDeArchivo(EIO, noGuardado, archivo_.fileName());
    terminado_ = true;
}
