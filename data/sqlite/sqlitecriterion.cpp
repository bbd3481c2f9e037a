#include "data/sqlite/sqlitecriterion.h"

#include "data/core/numbers.h"
#include "data/sqlite/sqlite.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <optional>
#include <string_view>

namespace velmoran {

namespace {

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

QString sqliteOwnerKeyExpression(const QString& column) {
    return QStringLiteral("lower(replace(replace(%1, '%2', '%3'), '%4', '%5'))")
        .arg(column, QString(QChar(0x064A)), QString(QChar(0x06CC)), QString(QChar(0x0643)),
             QString(QChar(0x06A9)));
}

std::optional<QStringList> sqliteOwnerKeys(const QString& text) {
    // The index's key of one character, as sqliteOwnerKeyExpression makes it.
    const auto key = [](char32_t cp) -> char32_t {
        if (cp == 0x064A) {
            return 0x06CC;
        }
        if (cp == 0x0643) {
            return 0x06A9;
        }
        return cp >= 'A' && cp <= 'Z' ? cp + ('a' - 'A') : cp;
    };
    // The characters that fold to each folded one other than itself.
    static const std::map<char32_t, std::vector<char32_t>> unfolded = [] {
        std::map<char32_t, std::vector<char32_t>> found;
        for (char32_t cp = 1; cp <= 0x024F; ++cp) {
            if (foldedLetter(cp) != cp) {
                found[foldedLetter(cp)].push_back(cp);
            }
        }
        for (const char32_t cp : {char32_t(0x064A), char32_t(0x0643)}) {
            found[foldedLetter(cp)].push_back(cp);
        }
        return found;
    }();
    constexpr qsizetype kMostKeys = 64;
    QStringList keys{QString()};
    for (const char32_t cp : text.toUcs4()) {
        const char32_t folded = foldedLetter(cp);
        std::vector<char32_t> choices{key(folded)};
        const auto others = unfolded.find(folded);
        if (others != unfolded.end()) {
            for (const char32_t other : others->second) {
                if (std::find(choices.begin(), choices.end(), key(other)) == choices.end()) {
                    choices.push_back(key(other));
                }
            }
        }
        if (keys.size() * static_cast<qsizetype>(choices.size()) > kMostKeys) {
            return std::nullopt;
        }
        QStringList longer;
        for (const QString& start : keys) {
            for (const char32_t choice : choices) {
                longer << start + QString::fromUcs4(&choice, 1);
            }
        }
        keys = std::move(longer);
    }
    return keys;
}

SqliteCriterion::SqliteCriterion(const Criterion& c, const TableSpec& tableSpec, int keyedField) {
    using Test = Criterion::Test;
    using Param = Criterion::Param;
    for (const Test& test : c.tests()) {
        const QString column = sql::quoted(tableSpec.fields[test.field].name);
        const QString cmp = QString(test.op) + QStringLiteral(" ?");
        if (!sql_.isEmpty()) {
            sql_ += QStringLiteral(" AND ");
        }
        switch (test.kind) {
        case Test::Kind::Flag:
            sql_ += column + QLatin1Char(' ') + cmp;
            params_.push_back(test.value);
            break;
        case Test::Kind::TextEquals:
            if (test.field == keyedField) {
                if (const std::optional<QStringList> keys = sqliteOwnerKeys(test.value.text)) {
                    QStringList marks;
                    for (const QString& k : *keys) {
                        marks << QStringLiteral("?");
                        params_.push_back({Param::Kind::Text, k, 0, 0});
                    }
                    sql_ +=
                        QStringLiteral("%1 IN (%2) AND ")
                            .arg(sqliteOwnerKeyExpression(column), marks.join(QLatin1Char(',')));
                    keyed_ = true;
                }
            }
            sql_ +=
                column + QStringLiteral(" COLLATE %1 ").arg(QLatin1String(kLettersCollation)) + cmp;
            params_.push_back(test.value);
            break;
        case Test::Kind::TextOrder:
            sql_ += column + QStringLiteral(" COLLATE BINARY ") + cmp;
            params_.push_back(test.value);
            break;
        case Test::Kind::NumberRange:
            sql_ +=
                QStringLiteral("%1(%2, ?, ?)").arg(QLatin1String(kNumberBetweenFunction), column);
            params_.push_back({Param::Kind::Real, QString(), 0, test.low});
            params_.push_back({Param::Kind::Real, QString(), 0, test.high});
            break;
        }
    }
}

void SqliteCriterion::bind(sql::Statement& statement, int first) const {
    using Param = Criterion::Param;
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
