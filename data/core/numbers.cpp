#include "data/core/numbers.h"

#include <charconv>
#include <cstddef>

namespace velmoran {

namespace {

// What the character at `pos` is; `length` is its byte count in UTF-8.
enum class Kind { Digit, Grouping, Point, Blank, Plus, Minus, Other, End };

struct Char {
    Kind kind;
    int length;
    char digit; // the ASCII digit for Kind::Digit
};

Char at(std::string_view s, std::size_t pos) {
    if (pos >= s.size()) {
        return {Kind::End, 0, 0};
    }
    const auto c = static_cast<unsigned char>(s[pos]);
    if (c >= '0' && c <= '9') {
        return {Kind::Digit, 1, static_cast<char>(c)};
    }
    switch (c) {
    case ' ':
    case '\t':
    case '\r':
    case '\n':
        return {Kind::Blank, 1, 0};
    case ',':
        return {Kind::Grouping, 1, 0};
    case '.':
        return {Kind::Point, 1, 0};
    case '+':
        return {Kind::Plus, 1, 0};
    case '-':
        return {Kind::Minus, 1, 0};
    default:
        break;
    }
    if (pos + 1 >= s.size()) {
        return {Kind::Other, 1, 0};
    }
    const auto n = static_cast<unsigned char>(s[pos + 1]);
    if (c == 0xDB && n >= 0xB0 && n <= 0xB9) { // U+06F0..06F9 Persian digits
        return {Kind::Digit, 2, static_cast<char>('0' + (n - 0xB0))};
    }
    if (c == 0xD9 && n >= 0xA0 && n <= 0xA9) { // U+0660..0669 Arabic-Indic digits
        return {Kind::Digit, 2, static_cast<char>('0' + (n - 0xA0))};
    }
    if (c == 0xD9 && n == 0xAC) { // U+066C Arabic thousands separator
        return {Kind::Grouping, 2, 0};
    }
    if (c == 0xD9 && n == 0xAB) { // U+066B Arabic decimal separator
        return {Kind::Point, 2, 0};
    }
    if (c == 0xC2 && n == 0xA0) { // no-break space
        return {Kind::Blank, 2, 0};
    }
    return {Kind::Other, 1, 0};
}

} // namespace

std::optional<double> readNumber(std::string_view s, NumberReading options) {
    // The number is rewritten in ASCII into `buf` for from_chars.
    char buf[72];
    std::size_t len = 0;
    std::size_t pos = 0;
    Char c = at(s, pos);
    while (c.kind == Kind::Blank) {
        c = at(s, pos += c.length);
    }
    if (c.kind == Kind::Minus || c.kind == Kind::Plus) {
        if (c.kind == Kind::Minus) {
            buf[len++] = '-';
        }
        c = at(s, pos += c.length);
    }
    const std::size_t wholeStart = len;
    int groupDigits = 0;  // digits since the start or the last grouping mark
    bool grouped = false; // a grouping mark was seen
    for (;; c = at(s, pos += c.length)) {
        if (c.kind == Kind::Digit) {
            if (len >= sizeof buf - 2) {
                return std::nullopt;
            }
            buf[len++] = c.digit;
            ++groupDigits;
        } else if (c.kind == Kind::Grouping && options.grouping) {
            // Groups of three after a first group of one to three digits.
            const bool firstOk = !grouped && groupDigits >= 1 && groupDigits <= 3;
            if (!(firstOk || (grouped && groupDigits == 3))) {
                return std::nullopt;
            }
            grouped = true;
            groupDigits = 0;
        } else {
            break;
        }
    }
    if (grouped && groupDigits != 3) {
        return std::nullopt;
    }
    bool anyDigit = len > wholeStart;
    if (c.kind == Kind::Point) {
        c = at(s, pos += c.length);
        if (!anyDigit) {
            buf[len++] = '0';
        }
        const std::size_t pointAt = len;
        buf[len++] = '.';
        for (; c.kind == Kind::Digit; c = at(s, pos += c.length)) {
            if (len >= sizeof buf) {
                return std::nullopt;
            }
            buf[len++] = c.digit;
        }
        if (len == pointAt + 1) {
            --len; // "150." is 150
        } else {
            anyDigit = true;
        }
    }
    while (c.kind == Kind::Blank) {
        c = at(s, pos += c.length);
    }
    if (!anyDigit || c.kind != Kind::End) {
        return std::nullopt;
    }
    double value = 0;
    const auto result = std::from_chars(buf, buf + len, value);
    if (result.ec != std::errc() || result.ptr != buf + len) {
        return std::nullopt;
    }
    return value;
}

std::optional<double> readNumber(const QString& text, NumberReading options) {
    const QByteArray utf8 = text.toUtf8();
    return readNumber(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())),
                      options);
}

} // namespace velmoran
