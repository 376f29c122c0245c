#pragma once

#include <QString>

// The sign-up refusals and outcomes, word for word: the application shows them, and the local
// store answers with the same words.
namespace textos_cuenta {

inline const QString correoInvalido = QStringLiteral("Escribe un correo válido.");
inline const QString corta = QStringLiteral("La contraseña necesita 8 caracteres o más.");
inline const QString distintas = QStringLiteral("Las dos contraseñas no coinciden.");
inline const QString yaTiene =
    QStringLiteral("Ese correo ya tiene cuenta. Entra con su contraseña.");
inline const QString creada = QStringLiteral("Cuenta creada.");
inline const QString abierta = QStringLiteral("Sesión abierta.");
inline const QString noCoincide = QStringLiteral("La contraseña no coincide.");

} // namespace textos_cuenta
