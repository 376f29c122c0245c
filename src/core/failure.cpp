#include "core/failure.h"

#include <new>

namespace {
const QString inesperado = QStringLiteral("Ocurrió un error inesperado.");

QString oInesperado(const QString& texto) {
    return texto.trimmed().isEmpty() ? inesperado : texto;
}
} // namespace

QString descripcionDe(std::exception_ptr error) {
    // Whatever is caught, the status line gets a Spanish sentence, never an empty text or a
    // library's English one.
    try {
        std::rethrow_exception(error);
    } catch (const Failure& f) {
        return f.message;
    } catch (const ErrorSistema& e) {
        return oInesperado(e.descripcion);
    } catch (const std::bad_alloc&) {
        return QStringLiteral("No quedó memoria para terminar.");
    } catch (...) {
        return inesperado;
    }
}
