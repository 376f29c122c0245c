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

QString textoDeRed(QNetworkReply::NetworkError error, const QString& servidor,
                   std::optional<QSslError::SslError> certificado) {
    switch (error) {
    case QNetworkReply::ConnectionRefusedError:
        return QStringLiteral("El servidor %1 no aceptó la conexión.").arg(servidor);
    case QNetworkReply::RemoteHostClosedError:
        return QStringLiteral("El servidor %1 cortó la conexión antes de terminar.").arg(servidor);
    case QNetworkReply::HostNotFoundError:
        return QStringLiteral("No se encontró el servidor %1. Revisa la conexión a internet.")
            .arg(servidor);
    case QNetworkReply::TimeoutError:
    case QNetworkReply::OperationCanceledError:
    case QNetworkReply::ProxyTimeoutError:
        return textoTiempoAgotado();
    case QNetworkReply::SslHandshakeFailedError:
        return QStringLiteral("No se pudo abrir una conexión segura con %1: %2.")
            .arg(servidor, porQueNoEsSegura(certificado));
    case QNetworkReply::TemporaryNetworkFailureError:
    case QNetworkReply::NetworkSessionFailedError:
    case QNetworkReply::BackgroundRequestNotAllowedError:
        return QStringLiteral("La red no está disponible. Revisa la conexión a internet.");
    case QNetworkReply::ProxyConnectionRefusedError:
    case QNetworkReply::ProxyConnectionClosedError:
    case QNetworkReply::ProxyNotFoundError:
    case QNetworkReply::ProxyAuthenticationRequiredError:
    case QNetworkReply::UnknownProxyError:
        return QStringLiteral("No se pudo llegar al servidor %1 a través del proxy de la red. "
                              "Revisa la configuración del proxy.")
            .arg(servidor);
    case QNetworkReply::UnknownContentError:
        // Qt's status for a body that does not decompress, or that its decompression safety
        // check cut off (it expanded far more than real data does).
        return QStringLiteral("Lo que mandó el servidor %1 llegó dañado: no se pudo descomprimir.")
            .arg(servidor);
    case QNetworkReply::ProtocolFailure:
        return QStringLiteral("El servidor %1 contestó algo que no se entiende.").arg(servidor);
    default:
        return QStringLiteral("Falló la conexión con el servidor %1.").arg(servidor);
    }
}

} // namespace

QString textoTiempoAgotado() {
    return QStringLiteral("Se agotó el tiempo de espera de la conexión.");
}

ErrorSistema errorDeRed(QNetworkReply::NetworkError error, const QString& servidor,
                        std::optional<QSslError::SslError> certificado) {
    return ErrorSistema(textoDeRed(error, servidor, certificado));
}
