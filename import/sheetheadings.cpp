#include "import/sheetheadings.h"

#include "data/core/criterion.h"
#include "data/core/fieldcaptions.h"
#include "data/core/storemessages.h"
#include "import/sheetfile.h"

#include <QFile>

#include <algorithm>
#include <map>

namespace velmoran::import {

namespace {

// The headings agencies give their own sheets, in Persian and English, and
// the field each stands for. Compared folded (foldedHeading), so one form of
// Yeh and Kaf is enough.
struct Alias {
    const char* heading;
    const char* field;
};
// clang-format off
const Alias kAliases[] = {
    {"مالک", "malek"}, {"نام مالک", "malek"}, {"نام", "malek"}, {"owner", "malek"},
    {"owner name", "malek"}, {"name", "malek"},
    {"تلفن", "tel03"}, {"تلفن مالک", "tel03"}, {"شماره تلفن", "tel03"}, {"شماره تماس", "tel03"},
    {"موبایل", "tel03"}, {"همراه", "tel03"}, {"phone", "tel03"}, {"telephone", "tel03"},
    {"tel", "tel03"}, {"mobile", "tel03"},
    {"آدرس", "address"}, {"نشانی", "address"}, {"address", "address"},
    {"منطقه", "mantagheh"}, {"محله", "mantagheh"}, {"district", "mantagheh"},
    {"zone", "mantagheh"}, {"area", "mantagheh"},
    {"تاریخ", "date"}, {"date", "date"},
    {"پلاک", "number"}, {"no", "number"},
    {"قیمت کل", "gheymatehkoole"}, {"قیمت", "gheymatehkoole"}, {"ودیعه", "gheymatehkoole"},
    {"price", "gheymatehkoole"}, {"total price", "gheymatehkoole"}, {"deposit", "gheymatehkoole"},
    {"قیمت متری", "vahed01"}, {"متری", "vahed01"}, {"price per metre", "vahed01"},
    {"اجاره ماهانه", "vahed02"}, {"rent", "vahed02"},
    {"فروش", "fooroosh"}, {"sale", "fooroosh"}, {"رهن", "rahn"}, {"mortgage", "rahn"},
    {"ویلا", "vila"}, {"villa", "vila"}, {"آپارتمان", "apartman"}, {"apartment", "apartman"},
    {"flat", "apartman"}, {"مستغلات", "mostaghelat"}, {"کلنگی", "kolanghi"},
    {"دفتر کار", "daftarehkar"}, {"office", "daftarehkar"}, {"مغازه", "maghazeh"},
    {"shop", "maghazeh"}, {"سوئیت", "soeit"}, {"suite", "soeit"},
    {"تعداد طبقات", "tedadehtabaghat"}, {"floors", "tedadehtabaghat"},
    {"سن بنا", "senebana"}, {"age", "senebana"}, {"نما", "nama"}, {"facade", "nama"},
    {"توضیحات", "details"}, {"details", "details"}, {"notes", "details"},
    {"description", "details"}, {"remarks", "details"},
    {"منبع", "manbaeetelaati"}, {"source", "manbaeetelaati"},
    {"وضعیت سند", "vaziatehsanad"}, {"سند", "vaziatehsanad"}, {"deed", "vaziatehsanad"},
    {"زیر بنا", "zirbana01"}, {"متراژ", "zirbana01"}, {"خواب", "khab0"},
    {"bedrooms", "khab0"},
};
// clang-format on

int fieldNamed(const QString& name) {
    return listingsTable().indexOf(name.trimmed());
}

} // namespace

QString foldedHeading(const QString& heading) {
    QString text;
    text.reserve(heading.size());
    for (const char32_t c : heading.toUcs4()) {
        if (c == 0x0640 || c == 0xFEFF) { // the stretching letter, a byte-order mark
            continue;
        }
        if (c == 0x200C || c == 0x00A0) { // a zero-width non-joiner, a no-break space
            text += QLatin1Char(' ');
            continue;
        }
        const char32_t folded = foldedLetter(c);
        text += QString::fromUcs4(&folded, 1);
    }
    text = text.simplified();
    while (text.endsWith(QLatin1Char(':'))) {
        text.chop(1);
        text = text.trimmed();
    }
    return text;
}

QStringList fieldNames() {
    QStringList names;
    for (std::size_t f = 0; f < kListingFieldCount; ++f) {
        names << QString::fromLatin1(kListingFields[f].name);
    }
    return names;
}

bool HeadingMatch::hasOwner() const {
    const int owner = fieldNamed(QStringLiteral("malek"));
    return std::find(fieldOf.begin(), fieldOf.end(), owner) != fieldOf.end();
}

HeadingMap readHeadingMap(const QString& path) {
    std::unique_ptr<SheetReader> reader;
    try {
        reader = openCsv(path);
    } catch (const SheetError&) {
        throw;
    }
    HeadingMap map;
    std::map<QString, std::pair<QString, qint64>> given; // folded heading: field, line
    SheetRow row;
    while (reader->next(row)) {
        if (row.cells.size() != 2) {
            throw SheetError(sheetMessage(
                path, QStringLiteral("سطر %1 دو ستون (عنوان، فيلد) ندارد").arg(row.number)));
        }
        const QString heading = row.cells[0].text;
        const QString field = row.cells[1].text.trimmed();
        if (row.number == 1 && fieldNamed(field) < 0 &&
            field.compare(QLatin1String("field"), Qt::CaseInsensitive) == 0) {
            continue; // the title line
        }
        if (fieldNamed(field) < 0) {
            throw SheetError(
                sheetMessage(path, QStringLiteral("سطر %1: فيلد «%2» در فايلهاي ملك نيست")
                                       .arg(row.number)
                                       .arg(isolated(visibleText(field)))));
        }
        const auto [at, added] =
            given.emplace(foldedHeading(heading), std::pair{field, row.number});
        if (!added && fieldNamed(at->second.first) != fieldNamed(field)) {
            throw SheetError(sheetMessage(
                path, QStringLiteral("سطر %1: عنوان «%2» در سطر %3 به فيلد «%4» داده شده است و "
                                     "نمي تواند فيلد «%5» را هم بدهد")
                          .arg(row.number)
                          .arg(isolated(visibleText(heading)))
                          .arg(at->second.second)
                          .arg(at->second.first, field)));
        }
        map.emplace_back(heading, field);
    }
    return map;
}

HeadingMatch matchHeadings(const QStringList& headings, const HeadingMap& map) {
    HeadingMatch match;
    match.fieldOf.assign(static_cast<std::size_t>(headings.size()), -1);
    QStringList folded;
    for (const QString& h : headings) {
        folded << foldedHeading(h);
    }
    // The export's own sheet (its captions, or the field names), column for
    // column: two fields share a caption, so only the order tells them apart.
    const auto inOrder = [&](const QStringList& expected) {
        if (folded.size() < expected.size()) {
            return false;
        }
        for (qsizetype i = 0; i < expected.size(); ++i) {
            if (folded[i] != foldedHeading(expected[i])) {
                return false;
            }
        }
        return true;
    };
    if (inOrder(listingFieldCaptions()) || inOrder(fieldNames())) {
        match.ownExport = true;
        for (std::size_t f = 0; f < kListingFieldCount; ++f) {
            match.fieldOf[f] = static_cast<int>(f);
        }
    } else {
        std::map<QString, int> byMap;
        for (const auto& [heading, field] : map) {
            byMap.emplace(foldedHeading(heading), fieldNamed(field));
        }
        std::multimap<QString, int> byCaption;
        const QStringList captions = listingFieldCaptions();
        for (qsizetype f = 0; f < captions.size(); ++f) {
            byCaption.emplace(foldedHeading(captions[f]), static_cast<int>(f));
        }
        std::map<QString, int> byAlias;
        for (const Alias& alias : kAliases) {
            byAlias.emplace(foldedHeading(QString::fromUtf8(alias.heading)),
                            fieldNamed(QString::fromLatin1(alias.field)));
        }
        // By field: the column (from 1) that feeds it, or 0.
        std::vector<int> fedBy(kListingFieldCount, 0);
        const auto fed = [&](int field) { return fedBy[static_cast<std::size_t>(field)] > 0; };
        for (qsizetype c = 0; c < folded.size(); ++c) {
            const QString& h = folded[c];
            if (h.isEmpty()) {
                continue;
            }
            int field = -1;
            if (const auto it = byMap.find(h); it != byMap.end()) {
                field = it->second;
            } else if (const int named = fieldNamed(h); named >= 0) {
                field = named;
            } else {
                // A caption two fields share goes to the first not yet fed.
                int fedCaption = -1;
                const auto [from, to] = byCaption.equal_range(h);
                for (auto it = from; it != to && field < 0; ++it) {
                    if (!fed(it->second)) {
                        field = it->second;
                    } else if (fedCaption < 0) {
                        fedCaption = it->second;
                    }
                }
                if (field < 0) {
                    if (const auto it = byAlias.find(h); it != byAlias.end()) {
                        field = it->second;
                    }
                }
                if (field < 0) {
                    field = fedCaption;
                }
            }
            if (field < 0) {
                continue;
            }
            const QString column = QStringLiteral("%1 (ستون %2)").arg(headings[c]).arg(c + 1);
            if (fed(field)) {
                match.repeated.push_back({column, QString::fromLatin1(kListingFields[field].name),
                                          fedBy[static_cast<std::size_t>(field)]});
            } else {
                fedBy[static_cast<std::size_t>(field)] = static_cast<int>(c) + 1;
                match.fieldOf[static_cast<std::size_t>(c)] = field;
            }
        }
    }
    for (qsizetype c = 0; c < headings.size(); ++c) {
        const QString column = QStringLiteral("%1 (ستون %2)").arg(headings[c]).arg(c + 1);
        const bool repeated =
            std::any_of(match.repeated.begin(), match.repeated.end(),
                        [&](const HeadingMatch::Repeated& r) { return r.column == column; });
        if (match.fieldOf[static_cast<std::size_t>(c)] < 0 && !folded[c].isEmpty() && !repeated) {
            match.unmatched << column;
        }
    }
    return match;
}

} // namespace velmoran::import
