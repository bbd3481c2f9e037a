#include "data/core/applicants.h"
#include "data/core/criterion.h"
#include "data/core/numbers.h"
#include "tests/core/storefixture.h"
#include "tests/support/findcases.h"

#include <QStringList>

#include <optional>
#include <random>
#include <vector>

using namespace velmoran;
using velmoran::test::StoreTest;

namespace {

// The criteria exactly as the panels send them: whole examples, and the
// pieces they are joined from.
const char* const kExamples[] = {
    "gheymatehkoole > '100' AND  gheymatehkoole < '200' and  rahn = -1 and kolanghi = -1 ",
    "gheymatehkoole > '2000' AND  gheymatehkoole < '8000' and  fooroosh = -1 and maghazeh = -1 ",
    "gheymatehkoole > '500' AND  gheymatehkoole < '900' and  vahed02 > '10' AND  vahed02 < '20'  "
    "and ejareh = -1 and apartman = -1  ",
    "gheymatehkoole > '1000' AND  gheymatehkoole < '5000' and  fooroosh = -1",
};
const char* const kPriceLow = "gheymatehkoole > '";
const char* const kPriceHigh = "' AND  gheymatehkoole < '";
const char* const kRentLow = "' and  vahed02 > '";
const char* const kRentHigh = "' AND  vahed02 < '";
const char* const kOwner = "malek='";
// Deal-only closings of the locate panel: sale, mortgage, rent.
const char* const kDealClosing[3] = {"' and  fooroosh = -1  ", "' and  rahn = -1  ",
                                     "' and  ejareh = -1  "};
// Kind flag, then the closing of its sale, mortgage and rent rows.
struct KindClosing {
    const char* kind;
    const char* closing[3];
};
const KindClosing kKindClosings[] = {
    {"kolanghi",
     {"' and  fooroosh = -1 and kolanghi = -1 ", "' and  rahn = -1 and kolanghi = -1 ",
      "'  and ejareh = -1 and kolanghi = -1  "}},
    {"maghazeh",
     {"' and  fooroosh = -1 and maghazeh = -1 ", "' and  rahn = -1 and maghazeh = -1 ",
      "'  and ejareh = -1 and maghazeh = -1  "}},
    {"daftarehkar",
     {"' and  fooroosh = -1 and daftarehkar = -1 ", "' and  rahn = -1 and daftarehkar = -1 ",
      "'  and ejareh = -1 and daftarehkar = -1  "}},
    {"apartman",
     {"' and  fooroosh = -1 and apartman = -1 ", "' and  rahn = -1 and apartman = -1 ",
      "'  and ejareh = -1 and apartman = -1  "}},
    {"vila",
     {"' and  fooroosh = -1 and vila = -1 ", "' and  rahn = -1 and vila = -1 ",
      "'  and ejareh = -1 and vila = -1  "}},
    {"mostaghelat",
     {"' and  fooroosh = -1 and mostaghelat = -1 ", "' and  rahn = -1 and mostaghelat = -1 ",
      "'  and ejareh = -1 and mostaghelat = -1  "}},
};

class CriterionTest : public StoreTest {
protected:
    // The owners of every row the criterion finds, by FindFirst then FindNext
    // until NoMatch.
    QStringList ownersFound(RecordSource& source, const QString& criterion) {
        QStringList owners;
        source.FindFirst(criterion);
        while (!source.NoMatch()) {
            owners << source.text(field("malek"));
            source.FindNext(criterion);
        }
        return owners;
    }

    // A listing with the owner, the price, the rent value and the flags.
    static long long add(RecordSource& source, const QString& owner, const QString& price,
                         const QString& rent, const std::vector<const char*>& flags) {
        return addListing(source, {{"malek", owner}, {"gheymatehkoole", price}, {"vahed02", rent}},
                          flags);
    }

    // A criterion that must be refused leaves everything as it was: the
    // row, the no-match indicator, a pending change, the table.
    void expectRefused(RecordSource& source, const QString& criterion) {
        const long long row = source.currentRowId();
        const bool noMatch = source.NoMatch();
        const long long rows = countRows();
        for (int next = 0; next < 2; ++next) {
            try {
                next ? source.FindNext(criterion) : source.FindFirst(criterion);
                ADD_FAILURE() << "accepted: [" << criterion.toStdString() << "]";
            } catch (const StoreError& e) {
                EXPECT_TRUE(e.message().startsWith(QStringLiteral("شرط جستجو")))
                    << e.message().toStdString();
            }
            EXPECT_EQ(source.currentRowId(), row) << criterion.toStdString();
            EXPECT_EQ(source.NoMatch(), noMatch) << criterion.toStdString();
        }
        EXPECT_EQ(countRows(), rows) << criterion.toStdString();
    }
};

struct ExampleRow {
    const char* owner;
    const char* price;
    const char* rent;
    std::vector<const char*> flags;
};

TEST_P(CriterionTest, EveryExampleCriterionFindsExactlyItsRows) {
    // For each example: rows that match it (owner "yes...") and near misses.
    const std::vector<std::vector<ExampleRow>> rows = {
        {{"yes", "150", "", {"rahn", "kolanghi"}},
         {"no: text order only", "1500", "", {"rahn", "kolanghi"}},
         {"no: bound", "200", "", {"rahn", "kolanghi"}},
         {"no: below", "50", "", {"rahn", "kolanghi"}},
         {"no: sale", "150", "", {"fooroosh", "kolanghi"}},
         {"no: kind", "150", "", {"rahn", "apartman"}},
         {"yes too", "۱۹۹", "", {"rahn", "kolanghi", "vila", "fooroosh"}}},
        {{"yes", "5000", "", {"fooroosh", "maghazeh"}},
         {"no: text order only", "800", "", {"fooroosh", "maghazeh"}},
         {"no: bound", "2000", "", {"fooroosh", "maghazeh"}},
         {"no: mortgage", "5000", "", {"rahn", "maghazeh"}},
         {"no: not a number", "توافقي", "", {"fooroosh", "maghazeh"}}},
        {{"yes", "700", "15", {"ejareh", "apartman"}},
         {"no: rent by text order only", "700", "150", {"ejareh", "apartman"}},
         {"no: rent bound", "700", "20", {"ejareh", "apartman"}},
         {"no: price", "5000", "15", {"ejareh", "apartman"}},
         {"no: villa", "700", "15", {"ejareh", "vila"}},
         {"yes, Persian digits", "۷۰۰", "۱۲", {"ejareh", "apartman"}}},
        {{"yes", "1500", "", {"fooroosh"}},
         {"no: text order only", "12000", "", {"fooroosh"}},
         {"no: mortgage", "1500", "", {"rahn"}},
         {"yes, grouped", "4,999", "", {"fooroosh", "rahn"}}},
    };
    ASSERT_EQ(std::size(kExamples), rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        emptyListings();
        RecordSource source(store(), listingsTable());
        QStringList expected;
        for (const ExampleRow& row : rows[i]) {
            add(source, row.owner, row.price, row.rent, row.flags);
            const QString owner = QString::fromUtf8(row.owner);
            if (owner.startsWith("yes")) {
                expected << owner;
            }
        }
        EXPECT_EQ(ownersFound(source, kExamples[i]), expected) << kExamples[i];
    }
}

TEST_P(CriterionTest, EveryRowOfThePanelsFindsItsKindAndDealOnly) {
    RecordSource source(store(), listingsTable());
    const char* const deals[3] = {"fooroosh", "rahn", "ejareh"};
    for (const KindClosing& k : kKindClosings) {
        for (const char* deal : deals) {
            add(source, QString("%1-%2").arg(k.kind, deal), "150", "15", {k.kind, deal});
        }
    }
    // Near misses of every row: price by text order, a price that is no
    // number, a rent value by text order.
    add(source, "price 1500", "1500", "15",
        {"fooroosh", "rahn", "ejareh", "kolanghi", "maghazeh", "daftarehkar", "apartman", "vila",
         "mostaghelat"});
    add(source, "price by agreement", "توافقي", "15",
        {"fooroosh", "rahn", "ejareh", "kolanghi", "maghazeh", "daftarehkar", "apartman", "vila",
         "mostaghelat"});
    add(source, "rent 150", "150", "150",
        {"ejareh", "kolanghi", "maghazeh", "daftarehkar", "apartman", "vila", "mostaghelat"});

    for (const KindClosing& k : kKindClosings) {
        for (int d = 0; d < 3; ++d) {
            QString criterion = QString(kPriceLow) + "100" + kPriceHigh + "200";
            if (d == 2) {
                criterion += QString(kRentLow) + "10" + kRentHigh + "20";
            }
            criterion += k.closing[d];
            EXPECT_EQ(ownersFound(source, criterion),
                      QStringList{QString("%1-%2").arg(k.kind, deals[d])})
                << criterion.toStdString();
        }
    }
    for (int d = 0; d < 3; ++d) {
        const QString criterion = QString(kPriceLow) + "100" + kPriceHigh + "200" + kDealClosing[d];
        QStringList expected;
        for (const KindClosing& k : kKindClosings) {
            expected << QString("%1-%2").arg(k.kind, deals[d]);
        }
        if (d == 2) {
            expected << "rent 150"; // the locate panel does not test the rent value
        }
        EXPECT_EQ(ownersFound(source, criterion), expected) << criterion.toStdString();
    }
    // The locate panel's sale example, as it is sent: it ends in two blanks.
    EXPECT_EQ(QString(kPriceLow) + "1000" + kPriceHigh + "5000" + kDealClosing[0],
              QString(kExamples[3]) + "  ");
    EXPECT_EQ(ownersFound(source, QString(kOwner) + "vila-rahn'"), QStringList{"vila-rahn"});
    EXPECT_EQ(ownersFound(source, QString(kOwner) + "'"), QStringList{});
}

TEST_P(CriterionTest, FindsTheSameRowsWithOrWithoutTheFindIndex) {
    const auto run = [&] {
        RecordSource source(store(), listingsTable());
        QStringList found = ownersFound(source, QString(kPriceLow) + "100" + kPriceHigh + "200" +
                                                    kKindClosings[3].closing[0]);
        found << "|" << ownersFound(source, "details='x' and vila=-1"); // details: not indexed
        return found;
    };
    {
        RecordSource source(store(), listingsTable());
        add(source, "a", "150", "", {"fooroosh", "apartman"});
        add(source, "b", "1500", "", {"fooroosh", "apartman"});
        addListing(source, {{"malek", "c"}, {"details", "x"}}, {"vila"});
        add(source, "d", "۱۲۰", "", {"fooroosh", "apartman", "vila"});
    }
    const QStringList expected{"a", "d", "|", "c"};
    EXPECT_EQ(run(), expected);
    rawExec("DROP INDEX new_find");
    EXPECT_EQ(run(), expected);
}

TEST_P(CriterionTest, OwnerFindTakesArabicAndPersianYehAndKafAndLatinCaseAsTheSameLetters) {
    // The name with Arabic Yeh and Kaf, as old keyboards and the Access files
    // write it, and with the Persian Yeh and Keheh of today's keyboards.
    const QString arabic = QString::fromUtf8("\u0639\u0644\u064A \u0643\u0631\u064A\u0645\u064A");
    const QString persian = QString::fromUtf8("\u0639\u0644\u06CC \u06A9\u0631\u06CC\u0645\u06CC");
    const QString mixed = QString::fromUtf8("\u0639\u0644\u064A \u06A9\u0631\u06CC\u0645\u064A");
    // Alef maksura (U+0649) in place of the last Yeh: another letter.
    const QString maksura = QString::fromUtf8("\u0639\u0644\u06CC \u06A9\u0631\u06CC\u0645\u0649");
    const QString first = QString::fromUtf8("\u0639\u0644\u06CC");
    {
        RecordSource source(store(), listingsTable());
        for (const QString& owner :
             {arabic, QStringLiteral("ALI KARIMI"), persian, QStringLiteral("Ali  Karimi"), maksura,
              first + " x", QStringLiteral("O'Neil"), QStringLiteral("ÉLODIE İNCE")}) {
            addListing(source, {{"malek", owner}});
        }
    }
    const auto find = [&](const QString& typed) {
        RecordSource source(store(), listingsTable());
        return ownersFound(source, kOwner + QString(typed).replace("'", "''") + "'");
    };
    const auto check = [&] {
        // Typed either way, both stored spellings are found, in stored order.
        for (const QString& typed : {persian, arabic, mixed}) {
            EXPECT_EQ(find(typed), (QStringList{arabic, persian})) << typed.toStdString();
        }
        EXPECT_EQ(find(maksura), QStringList{maksura});
        EXPECT_EQ(find("ali karimi"), QStringList{"ALI KARIMI"});
        EXPECT_EQ(find("aLi KaRiMi"), QStringList{"ALI KARIMI"});
        EXPECT_EQ(find("ali  karimi"), QStringList{"Ali  Karimi"});
        EXPECT_EQ(find("o'neil"), QStringList{"O'Neil"});
        // Latin letters beyond ASCII too, whichever case each is stored in.
        EXPECT_EQ(find(QStringLiteral("élodie İnce")), QStringList{"ÉLODIE İNCE"});
        EXPECT_EQ(find(QStringLiteral("Élodie İNCE")), QStringList{"ÉLODIE İNCE"});
        // The whole name, blanks included; no wildcard.
        EXPECT_EQ(find(first), QStringList{});
        EXPECT_EQ(find(persian + " "), QStringList{});
        EXPECT_EQ(find(" " + arabic), QStringList{});
        EXPECT_EQ(find("ali"), QStringList{});
        EXPECT_EQ(find("%"), QStringList{});
    };
    check();
    rawExec("DROP INDEX new_find");
    check();
}

TEST_P(CriterionTest, NamesAndAndInAnyCaseBlanksQuotesAndSignedNumbers) {
    RecordSource source(store(), listingsTable());
    add(source, "it's", "150", "", {"vila"});
    add(source, "b", "150", "", {});
    EXPECT_EQ(ownersFound(source, "MALEK='it''s'"), QStringList{"it's"});
    EXPECT_EQ(ownersFound(source, "   Malek  =  'b'   AnD   VILA = 0  "), QStringList{"b"});
    EXPECT_EQ(ownersFound(source, "vila=-1 and gheymatehkoole>'100'and gheymatehkoole<+151"),
              QStringList{"it's"});
    EXPECT_EQ(ownersFound(source, "gheymatehkoole > -1000"), (QStringList{"it's", "b"}));
    // A value that is not a number compares as text, character by character.
    EXPECT_EQ(ownersFound(source, "malek > 'c'"), QStringList{"it's"});
    EXPECT_EQ(ownersFound(source, "malek < 'c' and malek > 'a'"), QStringList{"b"});
    // "=" compares texts, never numbers.
    EXPECT_EQ(ownersFound(source, "gheymatehkoole = '150.0'"), QStringList{});
}

TEST_P(CriterionTest, AnythingOutsideTheLanguageIsRefusedAndChangesNothing) {
    RecordSource source(store(), listingsTable());
    add(source, "a", "150", "", {"vila"});
    const long long b = add(source, "b", "150", "", {});
    source.FindFirst("malek='b'");
    source.setText(field("details"), "pending");
    for (const char* bad : {"",
                            "   ",
                            "malek",
                            "malek=",
                            "malek='a' and",
                            "and malek='a'",
                            "malek='a' or vila=-1",
                            "malek>='a'",
                            "malek<>'a'",
                            "(malek='a')",
                            "malek='a'; DROP TABLE new",
                            "malek='a",
                            "malek='a''",
                            "nosuch='a'",
                            "malek=\"a\"",
                            "malek='a' vila=-1",
                            "malek=a",
                            "vila=-1.5",
                            "malek='a' and and vila=-1",
                            "malek LIKE 'a%'",
                            "malek='a' --",
                            "rowid > 0",
                            "id = 1",
                            "malek='a' and vila=-",
                            "vila=1e3",
                            "vila = 99999999999999999999",
                            "malek = 'O'Brien'",
                            "‏malek='a'"}) {
        expectRefused(source, QString::fromUtf8(bad));
    }
    EXPECT_EQ(source.currentRowId(), b);
    EXPECT_TRUE(source.isChanged()); // not written back by a refused find
    EXPECT_EQ(rawText(b, "details"), "");
}

TEST_P(CriterionTest, TypedTextNeverBecomesSql) {
    RecordSource source(store(), listingsTable());
    add(source, "a", "150", "", {});
    add(source, "x", "150", "", {});
    source.MoveFirst();
    const long long a = source.currentRowId();
    // An owner name with quotes in it, put in the owner criterion as typed.
    const QString owner = QString(kOwner) + "x' and malek > '" + "'";
    EXPECT_EQ(ownersFound(source, owner), QStringList{"x"}); // only what the words say

    source.MoveFirst();
    expectRefused(source, QString(kOwner) + "'; DROP TABLE new; --" + "'");
    expectRefused(source, QString(kOwner) + "'; DELETE FROM new; --" + "'");
    // Inside a quoted value it is only text to compare with.
    source.FindFirst("malek=''';DROP TABLE new;--'");
    EXPECT_TRUE(source.NoMatch());
    source.FindFirst("malek > ''' OR 1=1 --' and malek < 'b'");
    EXPECT_EQ(source.currentRowId(), a);
    EXPECT_EQ(countRows(), 2);
}

TEST_P(CriterionTest, PriceRangesCompareNumbersAsTheAgencyWritesThem) {
    RecordSource source(store(), listingsTable());
    for (const char* price :
         {"150", "1500", "50", "100", "200", "۱۵۰", "١٥٠", " 150 ", "+150", "1,500", "۱٬۵۰۰",
          "150.5", "۱۵۰٫۵", "توافقي", "", "150 تومان", "1,50", "-150"}) {
        add(source, price, price, "", {"fooroosh"});
    }
    const auto range = [](const char* low, const char* high) {
        return QString(kPriceLow) + low + kPriceHigh + high + kDealClosing[0];
    };
    EXPECT_EQ(ownersFound(source, range("100", "200")),
              (QStringList{"150", "۱۵۰", "١٥٠", " 150 ", "+150", "150.5", "۱۵۰٫۵"}));
    EXPECT_EQ(ownersFound(source, range("1000", "2000")), (QStringList{"1500", "1,500", "۱٬۵۰۰"}));
    EXPECT_EQ(ownersFound(source, range("-200", "0")), QStringList{"-150"});
    // A price that is no number lies in no range, however wide.
    const QStringList all = ownersFound(source, range("-9999999999", "9999999999"));
    EXPECT_FALSE(all.contains("توافقي"));
    EXPECT_FALSE(all.contains(""));
    EXPECT_FALSE(all.contains("150 تومان"));
    EXPECT_FALSE(all.contains("1,50"));
    EXPECT_EQ(all.size(), 14);
    // The bounds themselves never match.
    EXPECT_EQ(ownersFound(source, range("150", "1500")), (QStringList{"200", "150.5", "۱۵۰٫۵"}));
    EXPECT_EQ(ownersFound(source, range("200", "100")), QStringList{});
}

// Applicants matched to listings and listings to applicants, both ways,
// against a plain reading of every stored row: districts with either Yeh
// and Kaf, in either Latin case and with blanks around; prices, rents,
// areas and rooms in every writing; the ranges' ends themselves included.
TEST_P(CriterionTest, ApplicantsAndListingsMatchBothWaysAsTheStoredRowsSay) {
    const QStringList writings = velmoran::test::numberWritings();
    const QStringList districts = {
        "منطقه يك", "منطقه \u06CC\u06A9", " منطقه يك ", "Shahrak A", "shahrak a", "5", "۵", ""};
    const char* const flagNames[] = {"fooroosh", "rahn",     "ejareh",      "apartman",   "vila",
                                     "kolanghi", "maghazeh", "daftarehkar", "mostaghelat"};
    const char* const ranged[] = {"gheymatehkoole", "vahed02", "zirbana01", "khab0"};
    std::mt19937 random(30);
    const auto pick = [&random](const QStringList& list) { return list[random() % list.size()]; };
    RecordSource source(store(), listingsTable());
    for (int n = 0; n < 300; ++n) {
        std::vector<const char*> flags;
        for (const char* flag : flagNames) {
            if (random() % 2) {
                flags.push_back(flag);
            }
        }
        addListing(source,
                   {{"malek", QString::number(n)},
                    {"mantagheh", pick(districts)},
                    {"gheymatehkoole", pick(writings)},
                    {"vahed02", pick(writings)},
                    {"zirbana01", pick(writings)},
                    {"khab0", n % 3 ? QString::number(n % 5) : pick(writings)}},
                   flags);
    }
    // The table is added to the store the listings made.
    ASSERT_EQ(prepareStore(store(), applicantsTable()), QString());
    const std::unique_ptr<TableStore> applicants = openTableStore(store(), applicantsTable());
    const std::unique_ptr<TableStore> listings = openTableStore(store(), listingsTable());
    const TableSpec& table = applicantsTable();
    const QStringList ends = {"",    "",    "0",     "1",    "2",   "100",  "150",       "199",
                              "200", "۲۰۰", "1,500", "-150", "0.5", "5000", "12,345,678"};
    const QStringList wanted = {"منطقه \u06CC\u06A9", "SHAHRAK A ", "5", "منطقه"};
    struct Stored {
        long long id;
        RowValues row;
    };
    std::vector<Stored> stored;
    for (int n = 0; n < 150; ++n) {
        RowValues row{std::vector<QString>(table.fieldCount),
                      std::vector<bool>(table.fieldCount, false)};
        const auto text = [&](const char* name) -> QString& {
            return row.texts[static_cast<std::size_t>(table.indexOf(QLatin1String(name)))];
        };
        text(applicant::kName) = QString::number(n);
        row.flags[static_cast<std::size_t>(table.indexOf(kDealFlags[random() % 3]))] = true;
        for (int k = random() % 3; k > 0; --k) {
            row.flags[static_cast<std::size_t>(table.indexOf(kKindFlags[random() % 6]))] = true;
        }
        QStringList asked;
        for (int d = random() % 3; d > 0; --d) {
            asked << pick(wanted);
        }
        text(applicant::kDistricts) = asked.join(QLatin1Char('\n'));
        for (const ApplicantRange& range : kApplicantRanges) {
            if (n == 0) {
                // Ends that listings hold exactly, in other digits.
                text("gheymataz") = QStringLiteral("150");
                text("gheymatta") = QStringLiteral("۲۰۰");
                break;
            }
            if (random() % 3) {
                continue;
            }
            QString from = pick(ends), to = pick(ends);
            if (!from.isEmpty() && !to.isEmpty() && *readNumber(from) > *readNumber(to)) {
                std::swap(from, to);
            }
            text(range.fromField) = from;
            text(range.toField) = to;
        }
        row.flags[static_cast<std::size_t>(table.indexOf(applicant::kClosed))] = n % 7 == 0;
        ASSERT_FALSE(applicantProblem(row).has_value()) << n;
        stored.push_back({applicants->insert(row), row});
    }

    // The plain reading: letters folded by hand, ends compared as numbers.
    const auto plain = [](QString text) {
        text = text.trimmed().toLower();
        text.replace(QChar(0x064A), QChar(0x06CC));
        text.replace(QChar(0x0643), QChar(0x06A9));
        return text;
    };
    const auto fitsPlainly = [&](const RowValues& a, const RowValues& listing) {
        const auto flag = [](const TableSpec& t, const RowValues& r, const char* name) {
            return bool(r.flags[static_cast<std::size_t>(t.indexOf(QLatin1String(name)))]);
        };
        const auto text = [](const TableSpec& t, const RowValues& r, const char* name) {
            return r.texts[static_cast<std::size_t>(t.indexOf(QLatin1String(name)))];
        };
        bool deal = false, anyKind = false, kind = false;
        for (const char* d : kDealFlags) {
            deal = deal || (flag(table, a, d) && flag(listingsTable(), listing, d));
        }
        for (const char* k : kKindFlags) {
            anyKind = anyKind || flag(table, a, k);
            kind = kind || (flag(table, a, k) && flag(listingsTable(), listing, k));
        }
        if (!deal || (anyKind && !kind)) {
            return false;
        }
        const QString asked = text(table, a, applicant::kDistricts);
        if (!asked.isEmpty()) {
            bool in = false;
            for (const QString& d : asked.split(QLatin1Char('\n'))) {
                in = in || plain(d) == plain(text(listingsTable(), listing, "mantagheh"));
            }
            if (!in) {
                return false;
            }
        }
        for (std::size_t r = 0; r < 4; ++r) {
            const QString from = text(table, a, kApplicantRanges[r].fromField);
            const QString to = text(table, a, kApplicantRanges[r].toField);
            if (from.isEmpty() && to.isEmpty()) {
                continue;
            }
            const std::optional<double> v = readNumber(text(listingsTable(), listing, ranged[r]));
            if (!v || (!from.isEmpty() && *v < *readNumber(from)) ||
                (!to.isEmpty() && *v > *readNumber(to))) {
                return false;
            }
        }
        return true;
    };

    std::vector<std::pair<long long, RowValues>> all;
    listings->scan([&all](long long id, const RowValues& row) {
        all.emplace_back(id, row);
        return true;
    });
    std::size_t pairs = 0, atAnEnd = 0;
    const ListingDigest digest(*listings); // what the applicants list counts by
    const auto at = [&table](const RowValues& a, const char* name) {
        return a.texts[static_cast<std::size_t>(table.indexOf(QLatin1String(name)))];
    };
    for (const Stored& a : stored) {
        std::vector<long long> expected;
        for (const auto& [id, row] : all) {
            if (fitsPlainly(a.row, row)) {
                expected.push_back(id);
                const std::optional<double> price =
                    readNumber(row.texts[static_cast<std::size_t>(field("gheymatehkoole"))]);
                for (const char* end : {"gheymataz", "gheymatta"}) {
                    atAnEnd += !at(a.row, end).isEmpty() && price == readNumber(at(a.row, end));
                }
            }
        }
        pairs += expected.size();
        // Read a few at a time, as a list's pages are.
        std::vector<long long> found;
        const ApplicantRequest request = applicantRequest(a.row);
        std::optional<long long> after;
        for (;;) {
            const std::vector<ListedRow> page = fittingListings(*listings, request, {}, after, 7);
            for (const ListedRow& row : page) {
                found.push_back(row.id);
            }
            if (page.size() < 7) {
                break;
            }
            after = page.back().id;
        }
        EXPECT_EQ(found, expected) << "applicant " << a.id;
        EXPECT_EQ(digest.count(request), static_cast<long long>(expected.size())) << a.id;
        EXPECT_EQ(countFittingListings(*listings, request), static_cast<long long>(expected.size()))
            << a.id;
    }
    EXPECT_GT(pairs, 100u); // the applicants fit listings, not only none
    EXPECT_GT(atAnEnd, 0u); // and listings at a range's very end
    for (const auto& [id, row] : all) {
        std::vector<long long> expected;
        for (const Stored& a : stored) {
            if (!a.row.flags[static_cast<std::size_t>(table.indexOf(applicant::kClosed))] &&
                fitsPlainly(a.row, row)) {
                expected.push_back(a.id);
            }
        }
        EXPECT_EQ(fittingApplicants(*applicants, row), expected) << "listing " << id;
    }
}

VELMORAN_ON_BOTH_STORES(CriterionTest);

} // namespace

namespace {

// A flag compared with a text: the server reads the text as the file's
// number column does. SQLite itself is the reference, over the writings a
// panel or a hand-typed criterion may give.
TEST(FlagOperandTest, ReadsATextAsTheFilesNumberColumnReadsIt) {
    const QStringList texts = {"-1",
                               "0",
                               "1",
                               " -1 ",
                               "\t-1\n",
                               "+1",
                               "-0",
                               "007",
                               "-1.0",
                               "1.5",
                               ".5",
                               "5.",
                               "1e3",
                               "1E+3",
                               "2.5e-1",
                               "1e",
                               "e1",
                               ".",
                               "-",
                               "+",
                               "",
                               " ",
                               "1 1",
                               "1,000",
                               "۱",
                               "١",
                               "9223372036854775807",
                               "-9223372036854775808",
                               "9223372036854775808",
                               "-9223372036854775809",
                               "99999999999999999999",
                               "1e999",
                               "-1e999",
                               "1e-999",
                               "0x10",
                               "1_0",
                               "--1",
                               "1-",
                               "\u00a01",
                               "1\u00a0",
                               "1.5.5",
                               "3.0e0",
                               "12abc",
                               "000000000000000000000000000001",
                               "4.9e-324",
                               "1.7976931348623157e308"};
    sql::Database db(QStringLiteral(":memory:"), SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    db.exec("CREATE TABLE t (v INTEGER)");
    for (const QString& text : texts) {
        SCOPED_TRACE(text.toStdString());
        db.exec("DELETE FROM t");
        sql::Statement insert = db.prepare(QStringLiteral("INSERT INTO t VALUES (?)"));
        insert.bindText(1, text);
        insert.run();
        sql::Statement read = db.prepare(QStringLiteral("SELECT typeof(v), v, v + 0.0 FROM t"));
        ASSERT_TRUE(read.step());
        const QString type = read.columnText(0);
        const std::optional<Criterion::Param> ours = flagOperand(text);
        if (type == QLatin1String("text")) {
            EXPECT_FALSE(ours.has_value());
            continue;
        }
        ASSERT_TRUE(ours.has_value());
        if (type == QLatin1String("integer")) {
            EXPECT_EQ(ours->kind, Criterion::Param::Kind::Integer);
            EXPECT_EQ(ours->integer, read.columnInt(1));
        } else {
            EXPECT_EQ(ours->kind, Criterion::Param::Kind::Real);
            EXPECT_EQ(ours->real, sqlite3_column_double(read.handle(), 2));
        }
    }
}

} // namespace
