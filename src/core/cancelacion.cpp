#include "core/cancelacion.h"

class Cancelacion::Estado : public QObject {
    Q_OBJECT
public:
    bool pedida = false;
    bool callada = false;
Q_SIGNALS:
    void pedidaAhora();
};

Cancelacion::Cancelacion() : estado_(std::make_shared<Estado>()) {}

void Cancelacion::pedir(Aviso aviso) const {
    if (aviso == Aviso::Callado) estado_->callada = true;
    if (estado_->pedida) return;
    estado_->pedida = true;
    Q_EMIT estado_->pedidaAhora();
}

bool Cancelacion::pedida() const {
    return estado_->pedida;
}

bool Cancelacion::callada() const {
    return estado_->callada;
}

void Cancelacion::comprobar() const {
    if (estado_->pedida) throw Cancelado();
}

Cancelacion::Escucha Cancelacion::alPedir(std::function<void()> accion) const {
    return Escucha(QObject::connect(estado_.get(), &Estado::pedidaAhora, std::move(accion)));
}

#include "cancelacion.moc"
