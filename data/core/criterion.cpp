#include "data/core/criterion.h"

#include "data/core/numbers.h"
#include "data/core/storeerror.h"
#include "data/sqlite/sqlite.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <optional>

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

// One comparison, compiled; `cost` orders the terms so that cheap tests run
// before the number reading.
struct Term {
    int cost;
    QString sql;
    std::vector<Criterion::Param> params;
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
    const QString column = sql::quoted(def.name);
    const QString cmp = QString(op) + QStringLiteral(" ?");
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
        terms.push_back(
            {0, column + QLatin1Char(' ') + cmp, {param}, {Test::Kind::Flag, field, op, param}});
        return;
    }
    if (op == QLatin1Char('=')) {
        terms.push_back(
            {1,
             column + QStringLiteral(" COLLATE %1 ").arg(QLatin1String(kLettersCollation)) + cmp,
             {textParam(value.text)},
             {Test::Kind::TextEquals, field, op, textParam(value.text)}});
        return;
    }
    // ">" or "<" on a text field: numbers by value, other text by text order.
    const std::optional<double> number =
        value.kind == Tok::Number ? std::optional<double>(static_cast<double>(param.integer))
                                  : readNumber(value.text);
    if (!number) {
        terms.push_back({2,
                         column + QStringLiteral(" COLLATE BINARY ") + cmp,
                         {param},
                         {Test::Kind::TextOrder, field, op, param}});
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

// velmoran_number_between(value, low, high): 1 when the value is a number,
// or a text the agency would read as one, strictly between low and high;
// else 0.
void numberBetween(sqlite3_context* context, int, sqlite3_value** argv) {
    sqlite3_value* v = argv[0];
    std::optional<double> number;
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER:
    case SQLITE_FLOAT:
        number = sqlite3_value_double(v);
        break;
    case SQLITE_TEXT: {
        const auto* bytes = reinterpret_cast<const char*>(sqlite3_value_text(v));
        number =
            readNumber(std::string_view(bytes, static_cast<std::size_t>(sqlite3_value_bytes(v))));
        break;
    }
    default:
        break;
    }
    sqlite3_result_int(context, number && *number > sqlite3_value_double(argv[1]) &&
                                    *number < sqlite3_value_double(argv[2]));
}

// The next code point of UTF-8 text at `p` (before `end`), moving `p` past it.
// A byte that starts no sound sequence stands for itself.
char32_t nextCodePoint(const unsigned char*& p, const unsigned char* end) {
    const unsigned char lead = *p++;
    int more = 0;
    char32_t cp = lead;
    if (lead >= 0xF0 && lead < 0xF8) {
        more = 3;
        cp = lead & 0x07;
    } else if (lead >= 0xE0) {
        more = 2;
        cp = lead & 0x0F;
    } else if (lead >= 0xC0) {
        more = 1;
        cp = lead & 0x1F;
    } else {
        return lead;
    }
    if (end - p < more) {
        return lead;
    }
    for (int i = 0; i < more; ++i) {
        if ((p[i] & 0xC0) != 0x80) {
            return lead;
        }
        cp = (cp << 6) | (p[i] & 0x3F);
    }
    p += more;
    return cp;
}

// The collation of "=" on text: the texts compared letter by letter, each
// letter folded (foldedLetter); nothing else is set aside, blanks included.
int compareLetters(void*, int lengthA, const void* a, int lengthB, const void* b) {
    auto* p = static_cast<const unsigned char*>(a);
    auto* q = static_cast<const unsigned char*>(b);
    const unsigned char* endA = p + lengthA;
    const unsigned char* endB = q + lengthB;
    if (lengthA == lengthB && std::memcmp(p, q, static_cast<std::size_t>(lengthA)) == 0) {
        return 0;
    }
    while (p < endA && q < endB) {
        if (*p == *q && *p < 0x80 && (*p < 'A' || *p > 'Z')) {
            ++p; // the same character, which folds to itself
            ++q;
            continue;
        }
        const char32_t x = foldedLetter(nextCodePoint(p, endA));
        const char32_t y = foldedLetter(nextCodePoint(q, endB));
        if (x != y) {
            return x < y ? -1 : 1;
        }
    }
    return p < endA ? 1 : (q < endB ? -1 : 0);
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
            {3,
             QStringLiteral("%1(%2, ?, ?)")
                 .arg(QLatin1String(kNumberBetweenFunction),
                      sql::quoted(tableSpec.fields[r.field].name)),
             {realParam(r.low), realParam(r.high)},
             {Test::Kind::NumberRange, r.field, QLatin1Char('<'), realParam(0), r.low, r.high}});
    }
    std::stable_sort(terms.begin(), terms.end(),
                     [](const Term& a, const Term& b) { return a.cost < b.cost; });
    for (const Term& term : terms) {
        if (!sql_.isEmpty()) {
            sql_ += QStringLiteral(" AND ");
        }
        sql_ += term.sql;
        params_.insert(params_.end(), term.params.begin(), term.params.end());
        tests_.push_back(term.test);
    }
}

void Criterion::bind(sql::Statement& statement, int first) const {
    int index = first;
    for (const Param& p : params_) {
        switch (p.kind) {
        case Param::Kind::Text:
            statement.bindText(index++, p.text);
            break;
        case Param::Kind::Integer:
            statement.bindInt(index++, p.integer);
            break;
        case Param::Kind::Real:
            statement.bindDouble(index++, p.real);
            break;
        }
    }
}

void registerCriterionFunctions(sqlite3* db) {
    sqlite3_create_function_v2(db, kNumberBetweenFunction, 3,
                               SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS, nullptr,
                               numberBetween, nullptr, nullptr, nullptr);
    sqlite3_create_collation_v2(db, kLettersCollation, SQLITE_UTF8, nullptr, compareLetters,
                                nullptr);
}

} // namespace velmoran
