#include "data/core/fields.h"

namespace velmoran {

const FieldDef kListingFields[] = {
    {"malek", FieldKind::Text},
    {"mantagheh", FieldKind::Text},
    {"tel03", FieldKind::Text},
    {"date", FieldKind::Text},
    {"address", FieldKind::Text},
    {"number", FieldKind::Text},
    {"fooroosh", FieldKind::Flag},
    {"rahn", FieldKind::Flag},
    {"ejareh", FieldKind::Flag},
    {"vila", FieldKind::Flag},
    {"apartman", FieldKind::Flag},
    {"mostaghelat", FieldKind::Flag},
    {"kolanghi", FieldKind::Flag},
    {"daftarehkar", FieldKind::Flag},
    {"maghazeh", FieldKind::Flag},
    {"soeit", FieldKind::Flag},
    {"shoomali", FieldKind::Flag},
    {"joonoobi", FieldKind::Flag},
    {"sharghi", FieldKind::Flag},
    {"gharbi", FieldKind::Flag},
    {"tedadehtabaghat", FieldKind::Text},
    {"tedadehvahed01", FieldKind::Text},
    {"tedadehvahedeh02", FieldKind::Text},
    {"gheymatehkoole", FieldKind::Text},
    {"vahed01", FieldKind::Text},
    {"vahed02", FieldKind::Text},
    {"shoofaj", FieldKind::Flag},
    {"cooler", FieldKind::Flag},
    {"gas", FieldKind::Flag},
    {"fancoel", FieldKind::Flag},
    {"chiler", FieldKind::Flag},
    {"pakage", FieldKind::Flag},
    {"asensor", FieldKind::Flag},
    {"soona", FieldKind::Flag},
    {"jakozi", FieldKind::Flag},
    {"estakhr", FieldKind::Text},
    {"tarakoom", FieldKind::Text},
    {"tolebar", FieldKind::Text},
    {"eslahi", FieldKind::Text},
    {"hayat", FieldKind::Text},
    {"hayatkhalvat", FieldKind::Text},
    {"zirzamin", FieldKind::Text},
    {"servicemostakhdem", FieldKind::Text},
    {"pasio", FieldKind::Flag},
    {"maskooni", FieldKind::Flag},
    {"takhlieh", FieldKind::Flag},
    {"ejarehdoen", FieldKind::Flag},
    {"senebana", FieldKind::Text},
    {"nama", FieldKind::Text},
    {"manbaeetelaati", FieldKind::Text},
    {"tanzimkonnandeh", FieldKind::Text},
    {"sookoonatehmalek", FieldKind::Text},
    {"vaziatehsanad", FieldKind::Text},
    {"details", FieldKind::Text},
    {"taba01", FieldKind::Text},
    {"taba02", FieldKind::Text},
    {"taba03", FieldKind::Text},
    {"taba04", FieldKind::Text},
    {"zirbana01", FieldKind::Text},
    {"zirbana02", FieldKind::Text},
    {"zirbana03", FieldKind::Text},
    {"zirbana04", FieldKind::Text},
    {"khab0", FieldKind::Text},
    {"khab02", FieldKind::Text},
    {"khab03", FieldKind::Text},
    {"khab04", FieldKind::Text},
    {"metrajehbalkoon01", FieldKind::Text},
    {"metrajehbalkoon02", FieldKind::Text},
    {"metrajehbalkoon03", FieldKind::Text},
    {"metrajehbalkoon04", FieldKind::Text},
    {"tele01", FieldKind::Text},
    {"tele02", FieldKind::Text},
    {"tele03", FieldKind::Text},
    {"tele04", FieldKind::Text},
    {"serviceashpaz01", FieldKind::Text},
    {"serviceashpaz02", FieldKind::Text},
    {"serviceashpaz03", FieldKind::Text},
    {"serviceashpaz04", FieldKind::Text},
    {"open01", FieldKind::Flag},
    {"open02", FieldKind::Flag},
    {"open03", FieldKind::Flag},
    {"open04", FieldKind::Flag},
    {"servicebehdasht01", FieldKind::Text},
    {"servicebehdasht02", FieldKind::Text},
    {"servicebehdasht03", FieldKind::Text},
    {"servicebehdasht04", FieldKind::Text},
    {"kafpoosh01", FieldKind::Text},
    {"kafpoosh02", FieldKind::Text},
    {"kafpoosh03", FieldKind::Text},
    {"kafpoosh04", FieldKind::Text},
    {"p01", FieldKind::Flag},
    {"p02", FieldKind::Flag},
    {"p03", FieldKind::Flag},
    {"p04", FieldKind::Flag},
    {"anbari01", FieldKind::Flag},
    {"anbari02", FieldKind::Flag},
    {"anbari03", FieldKind::Flag},
    {"anbari04", FieldKind::Flag},
    {"shoomineh01", FieldKind::Flag},
    {"shoomineh02", FieldKind::Flag},
    {"shoomineh03", FieldKind::Flag},
    {"shoomineh04", FieldKind::Flag},
};
static_assert(sizeof(kListingFields) / sizeof(kListingFields[0]) == kListingFieldCount);

const FieldDef kPasswordFields[] = {
    {"passsecurity", FieldKind::Text},
};

int TableSpec::indexOf(const QString& name) const {
    for (std::size_t i = 0; i < fieldCount; ++i) {
        if (name.compare(QLatin1String(fields[i].name), Qt::CaseInsensitive) == 0) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

const TableSpec& listingsTable() {
    static const TableSpec tableSpec{"newil.db", "new", kListingFields, kListingFieldCount};
    return tableSpec;
}

const TableSpec& passwordTable() {
    static const TableSpec tableSpec{"pc.db", "pc", kPasswordFields, kPasswordFieldCount};
    return tableSpec;
}

namespace {

// The fields the finds test.
const char* const kSearchedFirst[] = {"fooroosh",    "rahn",           "ejareh",   "kolanghi",
                                      "maghazeh",    "daftarehkar",    "apartman", "vila",
                                      "mostaghelat", "gheymatehkoole", "vahed02",  "malek"};

} // namespace

std::vector<int> searchedFields(const TableSpec& tableSpec) {
    std::vector<int> fields;
    for (const char* name : kSearchedFirst) {
        const int i = tableSpec.indexOf(QLatin1String(name));
        if (i >= 0) {
            fields.push_back(i);
        }
    }
    return fields;
}

QString quotedIdentifier(const QString& identifier) {
    QString name = identifier;
    name.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + name + QLatin1Char('"');
}

QString quotedIdentifier(const char* identifier) {
    return quotedIdentifier(QString::fromUtf8(identifier));
}

} // namespace velmoran
