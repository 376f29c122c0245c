#include "ui/campos.h"

#include "ui/tema.h"

#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

void estiloCampo(QLineEdit* campo, int padding) {
    campo->setFrame(false);
    // the 1-point frame lies inside the padded box, as a stroke over it would
    campo->setStyleSheet(
        QStringLiteral("QLineEdit { background: %1; border: 1px solid %2;"
                       " padding: %3px; color: %4;"
                       " selection-background-color: %5; }")
            .arg(tema::css(tema::con(Qt::black, 0.35)), tema::css(tema::line()))
            .arg(padding - 1)
            .arg(tema::css(tema::ink()), tema::css(tema::con(tema::gold(), 0.45))));
    campo->setFont(tema::sistema(13));
}

QWidget* campo(const QString& caption, const QString& nombre, Eco eco, QWidget* parent) {
    auto* caja = new QWidget(parent);
    auto* columna = new QVBoxLayout(caja);
    columna->setContentsMargins(0, 0, 0, 0);
    columna->setSpacing(6);

    columna->addWidget(
        tema::etiqueta(caption.toUpper(), tema::sistema(10, QFont::Bold), tema::gold(), caja));

    auto* entrada = new QLineEdit(caja);
    entrada->setObjectName(nombre);
    entrada->setAccessibleName(caption); // as written, not in the caption's capitals
    if (eco == Eco::Oculto) entrada->setEchoMode(QLineEdit::Password);
    estiloCampo(entrada, 10);
    entrada->setFixedWidth(360);
    columna->addWidget(entrada);
    return caja;
}
