#include "ui/acceso.h"

#include "core/store.h"
#include "ui/accesible.h"
#include "ui/botones.h"
#include "ui/campos.h"
#include "ui/logo.h"
#include "ui/tema.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace {
constexpr int anchoTexto = 460;

// Centred lines wrapped within the form's text width.
QLabel* parrafo(const QString& contenido, int tamano, QWidget* padre) {
    auto* l = tema::textoCentrado(contenido, tema::sistema(tamano), tema::ink(), padre);
    l->setWordWrap(true);
    return l;
}
} // namespace

Acceso::Acceso(Store& store, QWidget* parent) : QWidget(parent), store_(store) {
    setObjectName(QStringLiteral("acceso"));
    // The form is a column as wide as its widest text, centred in the window; wrapped texts
    // span the column, everything else is centred in it.
    auto* fuera = new QHBoxLayout(this);
    auto* forma = new QWidget(this);
    forma->setFixedWidth(anchoTexto);
    fuera->addWidget(forma, 0, Qt::AlignCenter);
    auto* columna = new QVBoxLayout(forma);
    columna->setContentsMargins(0, 0, 0, 0);
    columna->setSpacing(16);
    const auto centrado = Qt::AlignHCenter;

    if (QLabel* logo = crearLogo(store_, forma)) columna->addWidget(logo, 0, centrado);
    columna->addWidget(
        tema::textoCentrado(QStringLiteral("Quelo DSP"), tema::didot(36), tema::gold(), forma), 0,
        centrado);
    titulo_ = tema::textoCentrado(QString(), tema::sistema(12, QFont::DemiBold, 3),
                                  tema::con(tema::gold(), 0.8), forma);
    titulo_->setObjectName(QStringLiteral("titulo"));
    columna->addWidget(titulo_, 0, centrado);
    columna->addWidget(
        parrafo(QStringLiteral("La misma cuenta de la tienda. En otra Mac, al entrar "
                               "se bajan los plugins que compraste."),
                14, forma));

    QWidget* campoCorreo =
        campo(QStringLiteral("Correo"), QStringLiteral("correo"), Eco::Visible, forma);
    QWidget* campoContrasena =
        campo(QStringLiteral("Contraseña"), QStringLiteral("contrasena"), Eco::Oculto, forma);
    campoRepeticion_ = campo(QStringLiteral("Repite la contraseña"), QStringLiteral("repeticion"),
                             Eco::Oculto, forma);
    correo_ = campoCorreo->findChild<QLineEdit*>();
    contrasena_ = campoContrasena->findChild<QLineEdit*>();
    repeticion_ = campoRepeticion_->findChild<QLineEdit*>();
    columna->addWidget(campoCorreo, 0, centrado);
    columna->addWidget(campoContrasena, 0, centrado);
    columna->addWidget(campoRepeticion_, 0, centrado);
    // Return in a field submits nothing: only the main button starts an account action.

    principal_ = new GoldButton(QString(), GoldButton::Relleno::Lleno, forma);
    columna->addWidget(principal_, 0, centrado);
    alternar_ = new BotonTexto(QString(), tema::gold(), tema::sistema(13), forma);
    columna->addWidget(alternar_, 0, centrado);

    estado_ = parrafo(store_.status(), 13, forma);
    estado_->setObjectName(QStringLiteral("estado"));
    estado_->setAccessibleDescription(QStringLiteral("Estado"));
    columna->addWidget(estado_);

    // Tab follows the form from top to bottom.
    const QList<QWidget*> orden{correo_, contrasena_, repeticion_, principal_, alternar_};
    for (qsizetype i = 1; i < orden.size(); ++i)
        setTabOrder(orden[i - 1], orden[i]);

    connect(principal_, &QAbstractButton::clicked, this, &Acceso::enviar);
    connect(alternar_, &QAbstractButton::clicked, this, &Acceso::alternar);
    connect(&store_, &Store::statusChanged, this, [this] { anunciar(estado_, store_.status()); });
    connect(&store_, &Store::busyChanged, this,
            [this] { espera_.activar({principal_}, {!store_.busy()}); });
    principal_->setEnabled(!store_.busy());
    mostrarModo();
}

QWidget* Acceso::primerControl() const {
    return correo_;
}

void Acceso::mostrarModo() {
    titulo_->setText(creando_ ? QStringLiteral("CREAR CUENTA") : QStringLiteral("ENTRAR"));
    principal_->setText(creando_ ? QStringLiteral("Crear cuenta") : QStringLiteral("Entrar"));
    principal_->updateGeometry();
    alternar_->setText(creando_ ? QStringLiteral("Ya tengo cuenta")
                                : QStringLiteral("Crear cuenta"));
    alternar_->updateGeometry();
    campoRepeticion_->setVisible(creando_);
}

void Acceso::alternar() {
    creando_ = !creando_;
    mostrarModo();
    store_.setStatus(creando_
                         ? QStringLiteral("La contraseña que elijas nunca se envía por correo.")
                         : QStringLiteral("Entra con el correo y la contraseña que elegiste."));
}

void Acceso::enviar() {
    if (creando_)
        store_.crearCuenta(correo_->text(), contrasena_->text(), repeticion_->text());
    else
        store_.entrar(correo_->text(), contrasena_->text());
}
