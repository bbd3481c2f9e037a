#include "screens/list/listcolumns.h"

#include "data/core/fieldcaptions.h"
#include "data/core/fields.h"
#include "data/core/numbers.h"

#include <QRegularExpression>

namespace velmoran {

namespace {

const QStringList& captions() {
    static const QStringList all = listingFieldCaptions();
    return all;
}

int fieldIndex(const char* name) {
    return listingsTable().indexOf(QString::fromLatin1(name));
}

// A flag's caption as the listing screens show it, without its padding.
QString flagCaption(const char* name) {
    return captions().value(fieldIndex(name)).trimmed();
}

} // namespace

const std::vector<ListColumn>& listColumns() {
    static const std::vector<ListColumn> columns = {
        {"id", nullptr, "كد فايل", SortAs::Id, {}},
        {"malek", "malek", nullptr, SortAs::Name, {}},
        {"tel03", "tel03", nullptr, SortAs::Number, {}},
        {"mantagheh", "mantagheh", nullptr, SortAs::Name, {}},
        {"address", "address", nullptr, SortAs::Name, {}},
        {"kinds",
         nullptr,
         "نوع ملك",
         SortAs::None,
         {"apartman", "vila", "mostaghelat", "kolanghi", "daftarehkar", "maghazeh", "soeit"}},
        {"deals", nullptr, "نوع معامله", SortAs::None, {"fooroosh", "rahn", "ejareh"}},
        {"gheymatehkoole", "gheymatehkoole", nullptr, SortAs::Number, {}},
        {"vahed01", "vahed01", nullptr, SortAs::Number, {}},
        {"vahed02", "vahed02", nullptr, SortAs::Number, {}},
        {"zirbana01", "zirbana01", "متراژ", SortAs::Number, {}},
        {"khab0", "khab0", "خواب", SortAs::Number, {}},
        {"date", "date", nullptr, SortAs::Date, {}},
    };
    return columns;
}

QString listHeading(std::size_t c) {
    const ListColumn& column = listColumns().at(c);
    if (column.heading) {
        return QString::fromUtf8(column.heading);
    }
    return captions().value(fieldIndex(column.field)).trimmed();
}

const std::vector<int>& listedFields() {
    static const std::vector<int> fields = [] {
        std::vector<int> all;
        for (const ListColumn& column : listColumns()) {
            if (column.field) {
                all.push_back(fieldIndex(column.field));
            }
            for (const char* flag : column.flags) {
                all.push_back(fieldIndex(flag));
            }
        }
        return all;
    }();
    return fields;
}

QString listCell(std::size_t c, const ListedRow& row) {
    const ListColumn& column = listColumns().at(c);
    if (column.field) {
        const int field = fieldIndex(column.field);
        return row.values.texts.empty() ? QString() : row.values.texts[field];
    }
    if (column.flags.empty()) {
        return QString::number(row.id);
    }
    QStringList set;
    for (const char* flag : column.flags) {
        const int field = fieldIndex(flag);
        if (!row.values.flags.empty() && row.values.flags[field]) {
            set << flagCaption(flag);
        }
    }
    return set.join(QStringLiteral("، "));
}

int sortField(std::size_t c) {
    const ListColumn& column = listColumns().at(c);
    return column.field && column.sort != SortAs::None ? fieldIndex(column.field) : -1;
}

long long dateKey(const QString& text) {
    static const QRegularExpression date(
        QStringLiteral("^\\s*([0-9۰-۹٠-٩]{1,4})\\s*[/\\-.]\\s*([0-9۰-۹٠-٩]{1,2})\\s*[/\\-.]\\s*"
                       "([0-9۰-۹٠-٩]{1,2})\\s*$"));
    const QRegularExpressionMatch m = date.match(text);
    if (!m.hasMatch()) {
        return -1;
    }
    const auto part = [&m](int i) {
        return static_cast<long long>(readNumber(m.captured(i), NumberReading{false}).value_or(0));
    };
    return part(1) * 10000 + part(2) * 100 + part(3);
}

} // namespace velmoran
