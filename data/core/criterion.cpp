#include "data/core/criterion.h"
#include "data/core/clocale.h"

#include "data/core/numbers.h"
#include "data/core/storeerror.h"

#include <algorithm>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string>

namespace velmoran {

namespace {

enum class Tok { Name, Op, Text, Number, End };

struct Token {
    Tok kind;
    QString text; // the name, the operator, the unquoted text or the digits
    int at;       // position in the criterion, from 0
};

[[noreturn]] void refuse(const QString& why) {
    throw StoreError(QStringLiteral("شرط جستجو قابل ارزيابي نيست: ") + why,
                     StoreError::Kind::Criterion);
}

bool isBlank(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}
bool isAsciiLetter(QChar c) {
    return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
           (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) || c == QLatin1Char('_');
}
bool isAsciiDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

std::vector<Token> tokenize(const QString& s) {
    std::vector<Token> tokens;
    int i = 0;
    const int n = s.size();
    while (i < n) {
        const QChar c = s[i];
        if (isBlank(c)) {
            ++i;
        } else if (isAsciiLetter(c)) {
            const int start = i;
            while (i < n && (isAsciiLetter(s[i]) || isAsciiDigit(s[i]))) {
                ++i;
            }
            tokens.push_back({Tok::Name, s.mid(start, i - start), start});
        } else if (c == QLatin1Char('>') || c == QLatin1Char('<') || c == QLatin1Char('=')) {
            tokens.push_back({Tok::Op, QString(c), i});
            ++i;
        } else if (c == QLatin1Char('\'')) {
            const int start = i++;
            QString text;
            for (;;) {
                if (i >= n) {
                    refuse(QStringLiteral("علامت ' در جاي %1 بسته نشده است").arg(start + 1));
                }
                if (s[i] == QLatin1Char('\'')) {
                    if (i + 1 < n && s[i + 1] == QLatin1Char('\'')) {
                        text += QLatin1Char('\'');
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                text += s[i++];
            }
            tokens.push_back({Tok::Text, text, start});
        } else if (isAsciiDigit(c) || ((c == QLatin1Char('-') || c == QLatin1Char('+')) &&
                                       i + 1 < n && isAsciiDigit(s[i + 1]))) {
            const int start = i++;
            while (i < n && isAsciiDigit(s[i])) {
                ++i;
            }
            tokens.push_back({Tok::Number, s.mid(start, i - start), start});
        } else {
            refuse(QStringLiteral("نويسه «%1» در جاي %2 مجاز نيست").arg(c).arg(i + 1));
        }
    }
    tokens.push_back({Tok::End, QString(), n});
    return tokens;
}

[[noreturn]] void unexpected(const Token& t) {
    if (t.kind == Tok::End) {
        refuse(QStringLiteral("شرط ناتمام است"));
    }
    const QString shown =
        t.kind == Tok::Text ? QLatin1Char('\'') + t.text + QLatin1Char('\'') : t.text;
    refuse(QStringLiteral("«%1» در جاي %2 نادرست است").arg(shown).arg(t.at + 1));
}

// One comparison, parsed; `cost` orders the tests so that cheap ones run
// before the number reading.
struct Term {
    int cost;
    Criterion::Test test;
};

Criterion::Param textParam(const QString& text) {
    return {Criterion::Param::Kind::Text, text, 0, 0};
}

Criterion::Param realParam(double value) {
    return {Criterion::Param::Kind::Real, QString(), 0, value};
}

// The number comparisons of one text field, joined into one range so that
// each row's text is read as a number once: low < number < high.
struct NumberRange {
    int field;
    double low = -std::numeric_limits<double>::infinity();
    double high = std::numeric_limits<double>::infinity();
};

// Compiles one comparison into `terms`, or into `ranges` when it compares a
// text field with a number.
void compile(const TableSpec& tableSpec, int field, QChar op, const Token& value,
             std::vector<Term>& terms, std::vector<NumberRange>& ranges) {
    const FieldDef& def = tableSpec.fields[field];
    Criterion::Param param = textParam(value.text);
    if (value.kind == Tok::Number) {
        bool ok = false;
        param = {Criterion::Param::Kind::Integer, QString(), value.text.toLongLong(&ok), 0};
        if (!ok) {
            refuse(QStringLiteral("عدد «%1» بيش از حد بزرگ است").arg(value.text));
        }
    }
    using Test = Criterion::Test;
    if (def.kind == FieldKind::Flag) {
        terms.push_back({0, {Test::Kind::Flag, field, op, param}});
        return;
    }
    if (op == QLatin1Char('=')) {
        terms.push_back({1, {Test::Kind::TextEquals, field, op, textParam(value.text)}});
        return;
    }
    // ">" or "<" on a text field: numbers by value, other text by text order.
    const std::optional<double> number =
        value.kind == Tok::Number ? std::optional<double>(static_cast<double>(param.integer))
                                  : readNumber(value.text);
    if (!number) {
        terms.push_back({2, {Test::Kind::TextOrder, field, op, param}});
        return;
    }
    auto range = std::find_if(ranges.begin(), ranges.end(),
                              [field](const NumberRange& r) { return r.field == field; });
    if (range == ranges.end()) {
        range = ranges.insert(ranges.end(), NumberRange{field});
    }
    if (op == QLatin1Char('>')) {
        range->low = std::max(range->low, *number);
    } else {
        range->high = std::min(range->high, *number);
    }
}

} // namespace

// A letter as names are compared: Arabic Yeh and Kaf (as old keyboards and
// the Access files write them) as the Persian Yeh and Keheh of today's
// keyboards, a Latin capital as its small letter.
char32_t foldedLetter(char32_t cp) {
    if (cp < 0x80) {
        return cp >= 'A' && cp <= 'Z' ? cp + ('a' - 'A') : cp;
    }
    switch (cp) {
    case 0x064A: // ARABIC LETTER YEH
        return 0x06CC;
    case 0x0643: // ARABIC LETTER KAF
        return 0x06A9;
    default:
        break;
    }
    if (cp <= 0x024F && QChar::script(cp) == QChar::Script_Latin) {
        return QChar::toLower(cp);
    }
    return cp;
}

std::optional<Criterion::Param> flagOperand(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    const char* p = utf8.constData();
    const char* end = p + utf8.size();
    const auto blank = [](char c) {
        return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
    };
    const auto digit = [](char c) { return c >= '0' && c <= '9'; };
    while (p < end && blank(*p)) {
        ++p;
    }
    while (end > p && blank(end[-1])) {
        --end;
    }
    const char* q = p;
    if (q < end && (*q == '+' || *q == '-')) {
        ++q;
    }
    int digits = 0;
    for (; q < end && digit(*q); ++q) {
        ++digits;
    }
    bool whole = true;
    if (q < end && *q == '.') {
        whole = false;
        for (++q; q < end && digit(*q); ++q) {
            ++digits;
        }
    }
    if (digits == 0) {
        return std::nullopt;
    }
    if (q < end && (*q == 'e' || *q == 'E')) {
        const char* e = q + 1;
        if (e < end && (*e == '+' || *e == '-')) {
            ++e;
        }
        const char* exponent = e;
        while (e < end && digit(*e)) {
            ++e;
        }
        if (e == exponent) {
            return std::nullopt;
        }
        whole = false;
        q = e;
    }
    if (q != end) {
        return std::nullopt;
    }
    // Read in the C locale's way whatever the desk's locale: from_chars
    // takes no "+".
    if (*p == '+') {
        ++p;
    }
    using Kind = Criterion::Param::Kind;
    if (whole) {
        long long integer = 0;
        if (std::from_chars(p, end, integer).ec == std::errc()) {
            return Criterion::Param{Kind::Integer, QString(), integer, 0};
        }
    }
    // Out of range, ±infinity or 0 as the file reads it (strtod in the C
    // locale; from_chars would leave it unread).
    const double real = strtodC(std::string(p, end));
    // A whole number strictly within 64 bits is held as an integer.
    constexpr double kTwoTo63 = 9223372036854775808.0;
    if (real > -kTwoTo63 && real < kTwoTo63 && real == std::trunc(real)) {
        return Criterion::Param{Kind::Integer, QString(), static_cast<long long>(real), 0};
    }
    return Criterion::Param{Kind::Real, QString(), 0, real};
}

Criterion::Criterion(const QString& text, const TableSpec& tableSpec) {
    const std::vector<Token> tokens = tokenize(text);
    std::vector<Term> terms;
    std::vector<NumberRange> ranges;
    std::size_t i = 0;
    for (;;) {
        const Token& name = tokens[i];
        if (name.kind != Tok::Name) {
            unexpected(name);
        }
        const int field = tableSpec.indexOf(name.text);
        if (field < 0) {
            refuse(QStringLiteral("فيلد «%1» در جدول %2 وجود ندارد")
                       .arg(name.text, QString::fromUtf8(tableSpec.table)));
        }
        const Token& op = tokens[i + 1];
        if (op.kind != Tok::Op) {
            unexpected(op);
        }
        const Token& value = tokens[i + 2];
        if (value.kind != Tok::Text && value.kind != Tok::Number) {
            unexpected(value);
        }
        compile(tableSpec, field, op.text[0], value, terms, ranges);
        fields_.push_back(field);
        i += 3;
        if (tokens[i].kind == Tok::End) {
            break;
        }
        if (tokens[i].kind != Tok::Name ||
            tokens[i].text.compare(QLatin1String("and"), Qt::CaseInsensitive) != 0) {
            unexpected(tokens[i]);
        }
        ++i;
    }
    for (const NumberRange& r : ranges) {
        terms.push_back(
            {3, {Test::Kind::NumberRange, r.field, QLatin1Char('<'), realParam(0), r.low, r.high}});
    }
    std::stable_sort(terms.begin(), terms.end(),
                     [](const Term& a, const Term& b) { return a.cost < b.cost; });
    for (const Term& term : terms) {
        tests_.push_back(term.test);
    }
}

} // namespace velmoran
