#pragma once

#include "service/cabida.h"
#include "service/integridad.h"

#include <QByteArray>
#include <QFile>
#include <QObject>
#include <QString>

#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

// A package file written as its body arrives, beside the thread that receives it. What the
// transfer holds is read straight into blocks of two megabytes (no piece of its own allocated,
// filled and copied again on the way); each full block goes to a thread of the writer's own, which
// adds it to the package's digest and writes it with one checked call, and is then filled again: a
// few blocks serve the whole package. While a few blocks wait for that thread, hayHueco() is false:
// the transfer then leaves what comes next with the network, which holds the server back, and
// `alHaberHueco` is called on the receiving thread once a block has gone, so what is held stays
// bounded however slow the disk is. The package is written under its own name, which no one else
// uses, and never forced to disk: it lives only until it is unpacked, and what a crash leaves is
// swept. Without terminar() nothing is left. It is checked against what the store said of it (see
// Comprobante): a package past its length throws from agregar, one that is not what was said from
// terminar. Nor does it take more than its Cabida: past it, or said to be larger from the start, it
// throws ErrorSistema (no room on the disk) or PaqueteDanado (larger than any package), so that a
// server sending without end never fills the disk.
class Volcado {
public:
    // Throws ErrorSistema, or PaqueteDanado for a package said to be larger than any.
    // `alHaberHueco` runs on the thread that makes the Volcado; `cabida` is cabidaEn the file's
    // folder unless given.
    explicit Volcado(const QString& archivo, Integridad esperado = {},
                     std::function<void()> alHaberHueco = {},
                     std::optional<Cabida> cabida = std::nullopt);
    ~Volcado();
    Volcado(const Volcado&) = delete;
    Volcado& operator=(const Volcado&) = delete;

    // Reads what `origen` holds now and returns how much. Never waits. Throws PaqueteDanado past
    // the length said, and ErrorSistema once a write has failed.
    qint64 agregar(QIODevice& origen);
    bool hayHueco() const;

    // Writes the rest, waits for the writer and checks the package; throws ErrorSistema, or
    // PaqueteDanado for a package that is not what was said. It waits while the last blocks are
    // written: call it beside the window's thread.
    void terminar();

private:
    void escribir(); // the writer's thread
    void entregar(QByteArray bloque);
    [[noreturn]] void sinCabida() const;
    QByteArray bloqueLibre(); // a written one again, or a new one

    QFile archivo_;
    Comprobante comprobante_;
    std::function<void()> alHaberHueco_;
    std::unique_ptr<QObject> aviso_; // on the receiving thread, for the writer's calls
    QByteArray bloque_;
    Cabida cabida_;
    qint64 recibidos_ = 0;
    qint64 escritos_ = 0; // by the writer
    bool terminado_ = false;

    mutable std::mutex mutex_;
    std::condition_variable hayTrabajo_;
    std::deque<QByteArray> cola_;    // the block being written stays first until it is written
    std::vector<QByteArray> libres_; // written, to be filled again
    std::exception_ptr fallo_;       // a write that failed
    bool cerrar_ = false;            // no more blocks: write what is left, then end
    bool abandonar_ = false;         // end at once, leaving what is left
    std::thread escritor_;
};
