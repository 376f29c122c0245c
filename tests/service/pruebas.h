#pragma once

#include "core/store.h"

#include <QObject>

// Tests reach the Store's private steps through this friend.
struct PruebaStore {
    static QUrl servicio(const Store& s) { return s.servicio(); }
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
    void zip_que_no_cabe_se_rechaza_data();
    void zip_que_no_cabe_se_rechaza();
    void zip_corrupto_se_rechaza();
    void zip_en_carpeta_alcanzada_por_enlace();
    void zip_ignora_metadatos_de_apple();

    // entrada.cpp
    void entrar_en_la_tienda_envia_la_peticion_exacta_data();
    void entrar_en_la_tienda_envia_la_peticion_exacta();
    void entrar_en_la_tienda_decide_por_el_cuerpo_data();
    void entrar_en_la_tienda_decide_por_el_cuerpo();
    void entrar_en_la_tienda_usa_la_ruta_configurada();
    void entrar_en_la_tienda_sin_servicio_o_sin_conexion();

    // descarga.cpp
    void bajar_comprados_sin_token_solo_avisa();
    void bajar_comprados_instala_cada_paquete();
    void casa_de_descargas_inservible_data();
    void casa_de_descargas_inservible();
    void lista_de_la_cuenta_fallida_data();
    void lista_de_la_cuenta_fallida();
    void cuenta_sin_plugins_no_es_fallo();
    void lista_salta_desconocidos_y_repite_duplicados();
    void instalar_sin_proyecto_baja_solo_ese_plugin();
    void paquete_fallido_data();
    void paquete_fallido();
    void paquete_que_no_cabe_en_el_disco_data();
    void paquete_que_no_cabe_en_el_disco();
    void bajar_con_las_herramientas_de_apple_data();
    void bajar_con_las_herramientas_de_apple();
    void primer_fallo_detiene_la_bajada();

    // integridad.cpp
    void paquete_se_compara_con_la_lista_data();
    void paquete_se_compara_con_la_lista();
    void paquete_mas_largo_que_su_size_se_corta_enseguida();
    void volcado_escribe_por_bloques_aparte_y_comprueba_data();
    void volcado_escribe_por_bloques_aparte_y_comprueba();
    void linea_de_avance_cuenta_paquetes_y_megas_data();
    void linea_de_avance_cuenta_paquetes_y_megas();
    void megas_con_una_decimal_por_debajo_de_diez_data();
    void megas_con_una_decimal_por_debajo_de_diez();

    // cancelar.cpp
    void cancelar_durante_una_transferencia_lenta();
    void cancelar_durante_una_copia_lenta_data();
    void cancelar_durante_una_copia_lenta();
    void cancelar_con_el_bundle_ya_en_su_sitio_lo_termina();
    void cancelar_entre_dos_paquetes();
    void salir_durante_una_bajada_deja_de_usar_el_token_data();
    void salir_durante_una_bajada_deja_de_usar_el_token();

    // transporte.cpp
    void tls_confia_en_el_sistema_y_en_las_autoridades_propias();
    void peticion_callada_se_corta_como_tiempo_agotado();
    void transferencia_larga_se_corta_en_total_data();
    void transferencia_larga_se_corta_en_total();
    void token_no_viaja_a_otro_host();
    void contrasena_no_sigue_a_otro_origen_data();
    void contrasena_no_sigue_a_otro_origen();
    void no_se_sigue_de_https_a_http();
    void paquete_grande_publica_su_progreso();
    void paquete_que_no_cabe_en_el_disco_se_explica();
    void store_que_desaparece_a_mitad_no_deja_nada_colgado();

    // hostil.cpp
    void respuesta_json_enorme_se_abandona_data();
    void respuesta_json_enorme_se_abandona();
    void paquete_no_se_amontona_con_la_ventana_ocupada();
    void nunca_se_pide_http2();
    void fallo_de_transporte_no_es_respuesta_data();
    void fallo_de_transporte_no_es_respuesta();
    void respuestas_con_gzip_se_leen_descomprimidas();

    // segundoplano.cpp
    void trabajo_aparte_deja_libre_el_hilo_y_devuelve_su_error();
};
