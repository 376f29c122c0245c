#pragma once

#include "core/store.h"

#include <QObject>

// Tests reach the Store's private steps through this friend.
struct PruebaStore {
    static QUrl servicio(const Store& s) { return s.servicio(); }
    static QCoro::Task<QJsonObject> cuentaCasa(Store& s, QString a, QString e, QString p) {
        return s.cuentaCasa(std::move(a), std::move(e), std::move(p));
    }
    static QCoro::Task<QUrl> urlDescarga(Store& s) { return s.urlDescarga(); }
    static QCoro::Task<> bajar(Store& s, QString token, std::optional<QString> solo) {
        return s.bajar(std::move(token), std::move(solo));
    }
    static void abrir(Store& s, const QString& email, const std::optional<QString>& token) {
        s.abrir(email, token);
    }
    static void plugins(Store& s, QList<Plugin> lista) { s.setPlugins(std::move(lista)); }
};

// The store service client. The slots live in one file per subject.
class TstService : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // configuracion.cpp
    void servicio_sin_proyecto_o_sin_archivo_da_el_predeterminado();
    void servicio_toma_la_direccion_https_configurada();
    void servicio_descarta_direcciones_inservibles_data();
    void servicio_descarta_direcciones_inservibles();
    void servicio_sin_predeterminado_valido_falla();
    void rutas_se_anaden_por_segmentos();

    // paquetes.cpp
    void zip_normal_se_desempaqueta_entero();
    void zip_hostil_se_rechaza_sin_tocar_fuera_data();
    void zip_hostil_se_rechaza_sin_tocar_fuera();
    void zip_corrupto_se_rechaza();
    void zip_en_carpeta_alcanzada_por_enlace();
    void zip_ignora_metadatos_de_apple();
    void desempaquetar_falla_con_el_nombre_del_plugin();
};
