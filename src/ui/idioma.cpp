#include "ui/idioma.h"

#include <QCoreApplication>
#include <QPointer>
#include <QTranslator>

#include <memory>

bool cargarIdioma(const QString& recursos) {
    static QPointer<QTranslator> instalado;
    auto nuevo = std::make_unique<QTranslator>(QCoreApplication::instance());
    if (!nuevo->load(QStringLiteral("qtbase_es"), recursos)) return false;
    if (instalado) {
        QCoreApplication::removeTranslator(instalado);
        delete instalado;
    }
    if (!QCoreApplication::installTranslator(nuevo.get())) return false;
    instalado = nuevo.release();
    return true;
}
