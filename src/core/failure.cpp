#include "core/failure.h"

QString descripcionDe(std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const Failure& f) {
        return f.message;
    } catch (const ErrorSistema& e) {
        return e.descripcion;
    } catch (const std::exception& e) {
        return QString::fromUtf8(e.what());
    } catch (...) {
        return QStringLiteral("Ocurrió un error inesperado.");
    }
}
