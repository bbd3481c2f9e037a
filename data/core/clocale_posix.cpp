#include "data/core/clocale.h"

#include <clocale>
#include <cstdlib>
#include <locale.h>

namespace velmoran {

namespace {

locale_t cLocale() {
    static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return c;
}

} // namespace

double strtodC(const std::string& text) {
    return strtod_l(text.c_str(), nullptr, cLocale());
}

CLocaleScope::CLocaleScope() : previous_(uselocale(cLocale())) {}

CLocaleScope::~CLocaleScope() {
    uselocale(static_cast<locale_t>(previous_));
}

} // namespace velmoran
