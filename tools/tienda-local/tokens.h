#pragma once

#include <QHash>
#include <QList>
#include <QString>

#include <utility>

// The bearer tokens the store has handed out, kept in a file of the data folder so a restart of
// the service leaves every client signed in:
//   tokens.json   {"tokens": [{"email": "<normalised e-mail>", "token": "<token>"}, ...]}
// oldest first, at most `maximo` of them, mode 0600 (each one signs its holder in).
class TokensTienda {
public:
    static constexpr qsizetype maximo = 1000;
    static constexpr qint64 tamanoMaximo = 4 << 20; // a larger file is not read

    explicit TokensTienda(const QString& archivo);

    // Reads the file. A missing one is an empty start; an unreadable, oversized or undecodable
    // one is an empty start too, false with the reason in error (it is written over later).
    bool cargar(QString* error);
    // The normalised e-mail a token belongs to, or empty.
    QString titular(const QString& token) const;
    // Remembers a token, forgetting the oldest past `maximo`, and writes the file. False with the
    // reason in error when it cannot be written; the token still holds until the service stops.
    bool anadir(const QString& token, const QString& email, QString* error);

private:
    QString archivo_;
    QList<std::pair<QString, QString>> orden_; // (token, e-mail), oldest first
    QHash<QString, QString> titulares_;
};
