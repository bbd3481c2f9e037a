#pragma once

#include <string>

// Numbers and dates read and written as the C locale has them, whatever the
// user's (clocale_posix.cpp, clocale_windows.cpp).
namespace velmoran {

// strtod of `text` in the C locale: ±infinity when out of range.
double strtodC(const std::string& text);

// While it lives, printf, strftime and their kind work in the C locale on
// this thread.
class CLocaleScope {
public:
    CLocaleScope();
    ~CLocaleScope();
    CLocaleScope(const CLocaleScope&) = delete;
    CLocaleScope& operator=(const CLocaleScope&) = delete;

private:
    void* previous_ = nullptr; // the thread's locale before (Linux)
    int mode_ = 0;             // the thread's locale mode before (Windows)
    std::string name_;         // the locale's name before (Windows)
};

} // namespace velmoran
