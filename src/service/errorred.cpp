#include "service/errorred.h"

namespace {

QString porQueNoEsSegura(std::optional<QSslError::SslError> certificado) {
    if (!certificado) return QStringLiteral("la negociación segura falló");
    switch (*certificado) {
    case QSslError::CertificateExpired:
        return QStringLiteral("su certificado está vencido");
    case QSslError::CertificateNotYetValid:
        return QStringLiteral("su certificado todavía no es válido");
    case QSslError::HostNameMismatch:
        return QStringLiteral("su certificado es de otro servidor");
    case QSslError::CertificateRevoked:
        return QStringLiteral("su certificado fue revocado");
    case QSslError::SelfSignedCertificate:
    case QSslError::SelfSignedCertificateInChain:
    case QSslError::UnableToGetLocalIssuerCertificate:
    case QSslError::UnableToVerifyFirstCertificate:
    case QSslError::CertificateUntrusted:
    case QSslError::CertificateRejected:
        return QStringLiteral("su certificado no es de confianza");
    default:
        return QStringLiteral("su certificado no es válido");
    }
}

} // namespace

QString textoTiempoAgotado() {
    return QStringLiteral("Se agotó el tiempo de espera de la conexión.");
}

ErrorSistema errorDeRed(QNetworkReply::NetworkError error, const QString& servidor,
                        std::optional<QSslError::SslError> certificado) {
    switch (error) {
    case QNetworkReply::ConnectionRefusedError:
        return ErrorSistema(QStringLiteral("El servidor ") + servidor +
                            QStringLiteral(" no aceptó la conexión."));
    case QNetworkReply::RemoteHostClosedError:
        return ErrorSistema(QStringLiteral("El servidor ") + servidor +
                            QStringLiteral(" cortó la conexión antes de terminar."));
    case QNetworkReply::HostNotFoundError:
        return ErrorSistema(QStringLiteral("No se encontró el servidor ") + servidor +
                            QStringLiteral(". Revisa la conexión a internet."));
    case QNetworkReply::TimeoutError:
    case QNetworkReply::OperationCanceledError:
    case QNetworkReply::ProxyTimeoutError:
        return ErrorSistema(textoTiempoAgotado());
    case QNetworkReply::SslHandshakeFailedError:
        return ErrorSistema(QStringLiteral("No se pudo abrir una conexión segura con ") + servidor +
                            QStringLiteral(": ") + porQueNoEsSegura(certificado) +
                            QLatin1Char('.'));
    case QNetworkReply::TemporaryNetworkFailureError:
    case QNetworkReply::NetworkSessionFailedError:
    case QNetworkReply::BackgroundRequestNotAllowedError:
        return ErrorSistema(QStringLiteral("La red no está disponible. Revisa la conexión a "
                                           "internet."));
    case QNetworkReply::ProxyConnectionRefusedError:
    case QNetworkReply::ProxyConnectionClosedError:
    case QNetworkReply::ProxyNotFoundError:
    case QNetworkReply::ProxyAuthenticationRequiredError:
    case QNetworkReply::UnknownProxyError:
        return ErrorSistema(
            QStringLiteral("No se pudo llegar al servidor ") + servidor +
            QStringLiteral(" a través del proxy de la red. Revisa la configuración del proxy."));
    case QNetworkReply::UnknownContentError:
        // Qt's status for a body that does not decompress, or that its decompression safety
        // check cut off (it expanded far more than real data does).
        return ErrorSistema(QStringLiteral("Lo que mandó el servidor ") + servidor +
                            QStringLiteral(" llegó dañado: no se pudo descomprimir."));
    case QNetworkReply::ProtocolFailure:
        return ErrorSistema(QStringLiteral("El servidor ") + servidor +
                            QStringLiteral(" contestó algo que no se entiende."));
    default:
        return ErrorSistema(QStringLiteral("Falló la conexión con el servidor ") + servidor +
                            QLatin1Char('.'));
    }
}
