#pragma once

#include "core/plugin.h"
#include "ui/foco.h"
#include "ui/parte.h"

#include <optional>

class QAbstractButton;
class QScrollArea;
class QStackedLayout;

// The selected plug-in in full: picture, texts, requirements and its install and remove
// buttons; "Elige un plugin." when nothing is selected.
class Detalle : public Parte {
    Q_OBJECT
public:
    explicit Detalle(Store& store, QWidget* parent = nullptr);

private:
    void mostrar();
    QWidget* contenido(const Plugin& plugin, bool instalado, bool ocupado);

    QStackedLayout* paginas_;
    QWidget* vacio_;
    QScrollArea* desplazable_;
    QList<QAbstractButton*> botones_; // of the content shown now
    EsperaDeFoco espera_{this};
    // what the pane shows now, so that signals that change none of it leave it alone
    struct Dibujado {
        std::optional<Plugin> plugin;
        bool instalado = false, ocupado = false;
        bool operator==(const Dibujado&) const = default;
    };
    std::optional<Dibujado> dibujado_;
};
