#include "data/core/clocale.h"

#include <clocale>
#include <cstdlib>
#include <locale.h>

namespace velmoran {

namespace {

_locale_t cLocale() {
    static const _locale_t c = _create_locale(LC_ALL, "C");
    return c;
}

} // namespace

double strtodC(const std::string& text) {
    return _strtod_l(text.c_str(), nullptr, cLocale());
}

// The C library keeps one locale a process unless a thread asks for its own.
CLocaleScope::CLocaleScope() : mode_(_configthreadlocale(_ENABLE_PER_THREAD_LOCALE)) {
    if (const char* name = std::setlocale(LC_ALL, nullptr)) {
        name_ = name;
    }
    std::setlocale(LC_ALL, "C");
}

CLocaleScope::~CLocaleScope() {
    if (!name_.empty()) {
        std::setlocale(LC_ALL, name_.c_str());
    }
    _configthreadlocale(mode_);
}

} // namespace velmoran
