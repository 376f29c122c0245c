#include "core/localehilo.h"

LocaleDelHilo::LocaleDelHilo(std::initializer_list<const char*> nombres) {
    for (const char* nombre : nombres) {
        propio_ = ::newlocale(LC_CTYPE_MASK, nombre, locale_t(nullptr));
        if (vale()) break;
    }
    if (vale()) anterior_ = ::uselocale(propio_);
}

LocaleDelHilo::~LocaleDelHilo() {
    if (!vale()) return;
    ::uselocale(anterior_);
    ::freelocale(propio_);
}
