#pragma once

#include <QString>

#include <optional>
#include <string_view>

namespace velmoran {

struct NumberReading {
    // Accept digit grouping in the whole part: "1,500,000", "۱٬۵۰۰".
    bool grouping = true;
};

// Reads a number as the agency types it into a text field: blanks around it,
// an optional sign, digits in ASCII, Persian (۰–۹) or Arabic-Indic (٠–٩)
// script, grouping by "," or "٬" in threes (when allowed), and "." or "٫" as
// the decimal point. Anything else, or no digit at all, is not a number.
std::optional<double> readNumber(std::string_view utf8, NumberReading options = {});
std::optional<double> readNumber(const QString& text, NumberReading options = {});

} // namespace velmoran
