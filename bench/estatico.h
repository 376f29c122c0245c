#pragma once

#include <QProcess>
#include <QString>

// nginx serving the files of a folder over HTTPS on 127.0.0.1, as a plain static web server
// would: what a file holds is the whole reply, whatever the request's headers.
class ServidorEstatico {
public:
    // `carpeta` holds the server's own files; `raiz()` inside it is what it serves.
    ServidorEstatico(const QString& carpeta, const QString& certificado, const QString& clave);
    ~ServidorEstatico();
    ServidorEstatico(const ServidorEstatico&) = delete;
    ServidorEstatico& operator=(const ServidorEstatico&) = delete;

    // Empty once nginx answers; otherwise why it does not.
    QString fallo() const { return fallo_; }
    QString base() const { return base_; }
    QString raiz() const { return raiz_; }

private:
    QProcess nginx_;
    QString raiz_, base_, fallo_;
};
