#pragma once

#include <QObject>

// The HTTPS test server itself (prueba_servidor.cpp) and the local store service run as a real
// child process (prueba_tienda_local.cpp).
class TstTienda : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // test server
    void rutasProgramadasYRegistroDePeticiones();
    void cuerpoDesdeArchivoYSinLongitud();
    void localhostEsOtroNombreDelMismoServidor();
    void redireccionEntreNombres();
    void certificadoNoConfiableFallaLaVerificacion();
    void demoraYColgarAgotanLaEsperaDelCliente();

    // local store service
    void cuentasConResumenSaladoYTokens();
    void saludPublicaLaDireccionPorLaQueSeLlego();
    void miosListaLasComprasConSusNombres();
    void bajarDaUnZipConLosBundles();
    void miosDescribeElPaqueteQueBajarEntrega();
    void bajarRechazaLoQueNoEsDeLaCuenta();
    void reinicioGuardaCuentasYTokens();
    void tokensIlegiblesSonUnComienzoSinSesiones_data();
    void tokensIlegiblesSonUnComienzoSinSesiones();
    void tokensGuardaLosMasRecientes();
    void demoPreparadaDosVecesSigueConSuSesion();
    void argumentosQueFaltan();
};
