// Local sign-up and sign-in. Without a project folder, and for a sign-in that the accounts book
// cannot answer, the store service takes over.
#include "accounts/cuentas.h"
#include "core/errores.h"
#include "core/failure.h"
#include "core/rutas.h"
#include "core/store.h"
#include "core/texto.h"

#include <QDateTime>
#include <QFileInfo>
#include <QLockFile>

#include <cerrno>

namespace {

// Another copy of the application writes the book in milliseconds: this is long enough to let it
// finish and short enough that sign-up, which holds the window, answers at once when it hangs.
constexpr int kEsperaCerrojo = 700;

// The store service's two account actions, as entrarCasa's last argument names them.
constexpr bool kCrear = true;
constexpr bool kEntrar = false;

QString correoInvalido() {
    return QStringLiteral("Escribe un correo válido.");
}

// Held across read, change and write of the book, so two copies signing up at the same moment
// both keep their account.
void cerrar(QLockFile& cerrojo) {
    errno = 0;
    if (cerrojo.tryLock(kEsperaCerrojo)) return;
    if (cerrojo.error() == QLockFile::LockFailedError)
        throw Failure(QStringLiteral(
            "Otra copia de Quelo Instalador está guardando una cuenta. Prueba otra vez."));
    // Any other error returns at once, with errno from the step that failed.
    const QString que = QStringLiteral("No se pudo crear");
    if (errno != 0) throw errorDeArchivo(errno, que, cerrojo.fileName());
    throw ErrorSistema(que + QLatin1Char(' ') + cerrojo.fileName() +
                       QStringLiteral(": el sistema no lo permitió."));
}

} // namespace

void Store::crearCuenta(const QString& email, const QString& password, const QString& repeticion) {
    const QString correo = email.trimmed();
    if (const std::optional<QString> rechazo = rechazoDeAlta(correo, password, repeticion)) {
        setStatus(*rechazo);
        return;
    }
    if (!root()) {
        entrarCasa(correo, password, kCrear);
        return;
    }
    try {
        if (!anotarCuenta(correo, password)) {
            setStatus(QStringLiteral("Ese correo ya tiene cuenta. Entra con su contraseña."));
            return;
        }
    } catch (...) {
        setStatus(descripcionDe(std::current_exception()));
        return;
    }
    // The account stays saved when the session cannot be opened.
    if (abrirLocal(correo)) setStatus(QStringLiteral("Cuenta creada."));
}

std::optional<QString> Store::rechazoDeAlta(const QString& correo, const QString& password,
                                            const QString& repeticion) const {
    if (!correoValido(correo)) return correoInvalido();
    if (caracteres(password) < 8)
        return QStringLiteral("La contraseña necesita 8 caracteres o más.");
    if (password != repeticion) return QStringLiteral("Las dos contraseñas no coinciden.");
    return std::nullopt;
}

bool Store::anotarCuenta(const QString& correo, const QString& password) {
    const QString ruta = archivoDatos(kLibroCuentas);
    crearCarpeta(QFileInfo(ruta).absolutePath());
    QLockFile cerrojo(ruta + QStringLiteral(".lock"));
    cerrar(cerrojo);

    LecturaLibro libro = leerLibro(ruta);
    if (buscarCuenta(libro.cuentas, correo)) return false;
    const auto [salt, hash] = resumenCuenta(correo, password, std::nullopt);
    const QString creada = QDateTime::currentDateTimeUtc().toString(Qt::ISODate);
    libro.cuentas.append(Cuenta{correo, salt, hash, QStringLiteral("correo"), creada});
    // A book that exists but does not decode may still hold accounts someone can recover:
    // keep it beside the new one instead of writing over it.
    if (libro.ilegible) apartarIlegible(ruta);
    escribirCuentas(libro.cuentas);
    return true;
}

bool Store::abrirLocal(const QString& email) {
    try {
        abrir(email, std::nullopt);
        return true;
    } catch (...) {
        setStatus(descripcionDe(std::current_exception()));
        return false;
    }
}

void Store::entrar(const QString& email, const QString& password) {
    const QString correo = email.trimmed();
    if (!correoValido(correo)) {
        setStatus(correoInvalido());
        return;
    }
    if (password.isEmpty()) {
        setStatus(QStringLiteral("Escribe la contraseña."));
        return;
    }
    if (!root()) {
        entrarCasa(correo, password, kEntrar);
        return;
    }

    std::optional<Cuenta> cuenta;
    try {
        cuenta = buscarCuenta(leerLibro(archivoDatos(kLibroCuentas)).cuentas, correo);
    } catch (...) {
        // A book that cannot be read here is no answer: the store may know the account.
    }
    if (!cuenta) {
        entrarCasa(correo, password, kEntrar);
        return;
    }
    if (cuenta->passHash.isEmpty()) {
        setStatus(QStringLiteral("Esa cuenta entra con Google."));
        return;
    }
    if (resumenCuenta(correo, password, cuenta->salt).second != cuenta->passHash) {
        setStatus(QStringLiteral("La contraseña no coincide."));
        return;
    }
    // The address as stored at sign-up, not as just typed.
    if (abrirLocal(cuenta->email)) setStatus(QStringLiteral("Sesión abierta."));
}
