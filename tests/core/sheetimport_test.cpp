// A sheet brought over into the desk's listings, on both stores: the
// program's own export read back field for field, headings by alias and by
// map file, values a spreadsheet changed brought back, duplicates skipped,
// and an import killed half way leaving the store as it was.

#include "data/core/tablestore.h"
#include "export/listingexport.h"
#include "import/sheetfile.h"
#include "import/sheetheadings.h"
#include "import/sheetimport.h"
#include "import/sheetvalues.h"
#include "tests/core/storefixture.h"
#include "tests/support/importfixtures.h"
#include "tests/support/sheetfiles.h"
#include "tests/support/storefiles.h"
#include "tests/support/testenv.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QThread>

using namespace velmoran;
using namespace velmoran::import;
using namespace velmoran::test;

namespace {

RowValues rowOf(const ListingValues& listing) {
    RowValues row;
    row.texts.assign(kListingFieldCount, QString());
    row.flags.assign(kListingFieldCount, false);
    for (std::size_t f = 0; f < kListingFieldCount; ++f) {
        if (kListingFields[f].kind == FieldKind::Flag) {
            row.flags[f] = listing[f] == QLatin1String("-1");
        } else {
            row.texts[f] = listing[f];
        }
    }
    return row;
}

class SheetImportTest : public StoreTest {
protected:
    QString path(const QString& name) const { return QDir(folder()).filePath(name); }
    std::unique_ptr<TableStore> open() const { return openTableStore(store(), listingsTable()); }
    std::vector<RowValues> stored() const {
        std::vector<RowValues> rows;
        open()->scan([&](long long, const RowValues& row) {
            rows.push_back(row);
            return true;
        });
        return rows;
    }
    SheetImportReport importInto(const QString& file, SheetImportOptions options = {}) {
        const auto table = open();
        return importSheet(file, table.get(), options);
    }
    // A .csv of `lines` (UTF-8, CR LF).
    QString csv(const QString& name, const QStringList& lines) const {
        const QString file = path(name);
        writeFile(file, (lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8());
        return file;
    }
    static int f(const char* name) { return field(name); }
};

TEST_P(SheetImportTest, TheProgramsOwnExportComesBackFieldForFieldInBothFormats) {
    std::vector<RowValues> listings;
    for (const ListingValues& listing : generatedListings(400, 26)) {
        listings.push_back(rowOf(listing));
    }
    // The values a spreadsheet would take for a formula, and the apostrophe
    // the .csv puts before them.
    listings[0].texts[f("gheymatehkoole")] = QStringLiteral("-1");
    listings[0].texts[f("tel03")] = QStringLiteral("+98 21 555");
    listings[1].texts[f("details")] = QStringLiteral("=SUM(A1)");
    listings[2].texts[f("malek")] = QStringLiteral("@home");
    // Stored texts that look like the file's own escapes: the apostrophe
    // before a formula's first character, the sheet's _xHHHH_.
    listings[3].texts[f("details")] = QStringLiteral("'=SUM(A1)");
    listings[3].texts[f("tel03")] = QStringLiteral("'+98 21 555");
    listings[4].texts[f("details")] = QStringLiteral("''@x");
    listings[4].texts[f("address")] = QStringLiteral("a_x0041_b _x0041_x0042_ _x005F_ _x00");
    for (const ExportFormat format : {ExportFormat::Xlsx, ExportFormat::Csv}) {
        const bool xlsx = format == ExportFormat::Xlsx;
        SCOPED_TRACE(xlsx ? "xlsx" : "csv");
        emptyListings();
        open()->insertAll(listings);
        const QString file = path(xlsx ? "round.xlsx" : "round.csv");
        ASSERT_TRUE(exportListings(store(), file, format, ExistingFile::Replace).ok());
        emptyListings();
        const SheetImportReport report = importInto(file);
        EXPECT_TRUE(report.ownExport);
        EXPECT_TRUE(report.unmatched.isEmpty()) << report.unmatched.join(",").toStdString();
        EXPECT_EQ(report.added, 400);
        EXPECT_EQ(report.refusedRows, 0);
        EXPECT_TRUE(report.warnings.empty());
        const std::vector<RowValues> back = stored();
        ASSERT_EQ(back.size(), listings.size());
        for (std::size_t r = 0; r < listings.size(); ++r) {
            RowValues expected = listings[r];
            if (xlsx) { // a sheet's cell breaks its lines with LF alone
                for (QString& text : expected.texts) {
                    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
                    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
                }
            }
            ASSERT_EQ(back[r].texts, expected.texts) << "listing " << r;
            ASSERT_EQ(back[r].flags, expected.flags) << "listing " << r;
        }
    }
}

TEST_P(SheetImportTest, AStoredListingIsADuplicateByOwnerAsTheFindComparesPhoneAndAddress) {
    RowValues listing = rowOf(ListingValues(kListingFieldCount, QString()));
    listing.texts[f("malek")] = QStringLiteral("علي كريمي");
    listing.texts[f("tel03")] = QStringLiteral("021-555");
    listing.texts[f("address")] = QStringLiteral("تهران");
    open()->insert(listing);
    const QString file =
        csv("dup.csv",
            {QStringLiteral("مالک,تلفن,آدرس"), QStringLiteral("علی کریمی,021-555,تهران"),
             QStringLiteral("ALI,021-555,تهران"), QStringLiteral("علی کریمی,021-556,تهران")});
    SheetImportOptions options;
    options.previewRows = 10;
    const SheetImportReport report = importInto(file, options);
    EXPECT_EQ(report.added, 2);
    EXPECT_EQ(report.duplicateRows, 1);
    ASSERT_EQ(report.duplicates.size(), 1u);
    EXPECT_EQ(report.duplicates[0].row, 2);
    EXPECT_EQ(report.previewDuplicate, (std::vector<bool>{true, false, false}));
    EXPECT_EQ(countRows(), 3);
    options.keepDuplicates = true;
    EXPECT_EQ(importInto(file, options).added, 3);
    EXPECT_EQ(countRows(), 6);
}

TEST_P(SheetImportTest, ADryRunChecksEverythingAndStoresNothing) {
    const QString file = csv("dry.csv", {QStringLiteral("owner,فروش"), QStringLiteral("a,بله"),
                                         QStringLiteral("b,maybe"), QStringLiteral("c,")});
    SheetImportOptions options;
    options.dryRun = true;
    const SheetImportReport report = importInto(file, options);
    EXPECT_EQ(report.added, 2);
    EXPECT_EQ(report.refusedRows, 1);
    ASSERT_EQ(report.refused.size(), 1u);
    EXPECT_EQ(report.refused[0].row, 3);
    EXPECT_EQ(report.refused[0].heading, QStringLiteral("فروش"));
    EXPECT_EQ(countRows(), 0);
}

TEST_P(SheetImportTest, AnImportKilledHalfWayLeavesTheStoreAsItWas) {
    open()->insert(rowOf(ListingValues(kListingFieldCount, QStringLiteral("0"))));
    // Enough rows that the store is still taking them when the tool is killed.
    const QString file = path("big.csv");
    {
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write("malek,details\r\n");
        const QByteArray details(2000, 'd');
        for (int r = 0; r < 60000; ++r) {
            out.write("owner " + QByteArray::number(r) + "," + details + "\r\n");
        }
    }
    if (onServer()) {
        const QString config = qEnvironmentVariable("XDG_CONFIG_HOME") + "/velmoran";
        ASSERT_TRUE(QDir().mkpath(config));
        QFile conf(config + "/velmoran.conf");
        ASSERT_TRUE(conf.open(QIODevice::WriteOnly));
        conf.write(QStringLiteral("[store]\nserver=%1\n").arg(store().server).toUtf8());
    }
    QProcess tool;
    tool.start(QStringLiteral(VELMORAN_CLI_TOOL), {QStringLiteral("import-sheet"), file});
    ASSERT_TRUE(tool.waitForStarted());
    // Killed once the store has taken part of the rows, uncommitted.
    const QString wal = listingsPath() + QStringLiteral("-wal");
    pg::Connection watch;
    if (onServer()) {
        watch = openServer();
    }
    bool underWay = false;
    while (!underWay && tool.state() == QProcess::Running) {
        if (onServer()) {
            underWay = watch
                           .exec("SELECT coalesce(max(tuples_processed), 0) > 2000 FROM "
                                 "pg_stat_progress_copy")
                           .text(0, 0) == QLatin1String("t");
        } else {
            underWay = QFileInfo(wal).size() > (qint64(8) << 20);
        }
        if (!underWay) {
            QThread::msleep(5);
        }
    }
    ASSERT_TRUE(underWay) << "the import ended before it could be killed";
    tool.kill();
    tool.waitForFinished();
    if (onServer()) {
        // The server ends the transaction once it sees the connection gone.
        while (watch
                   .exec("SELECT count(*) FROM pg_stat_activity WHERE query LIKE 'COPY%' AND "
                         "pid <> pg_backend_pid()")
                   .integer(0, 0) > 0) {
            QThread::msleep(5);
        }
    }
    EXPECT_EQ(countRows(), 1);
    // The store takes the next import whole.
    EXPECT_EQ(importInto(csv("after.csv", {"malek", "x", "y"})).added, 2);
    EXPECT_EQ(countRows(), 3);
}

TEST_P(SheetImportTest, ASheetFoundBadHalfWayStoresNothing) {
    open()->insert(rowOf(ListingValues(kListingFieldCount, QStringLiteral("0"))));
    QByteArray rows = "<row r=\"1\">" + inlineCell("A1", QStringLiteral("مالك")) + "</row>";
    for (int r = 2; r <= 3000; ++r) {
        const QByteArray ref = "A" + QByteArray::number(r);
        rows += "<row r=\"" + QByteArray::number(r) + "\">" +
                inlineCell(ref.constData(), QStringLiteral("owner %1").arg(r)) + "</row>";
    }
    // Broken XML after the first 2 999 rows: the rows before are not kept.
    const QString file = path(QStringLiteral("half.xlsx"));
    writeXlsx(file, rows + "<row r=\"3001\"><c r=\"A3001\" t=\"inlineStr\"><is><t>x</is>");
    try {
        importInto(file);
        FAIL() << "stored";
    } catch (const SheetError& e) {
        EXPECT_TRUE(e.message().contains(shownPath(file))) << e.message().toStdString();
    }
    EXPECT_EQ(countRows(), 1);
}

VELMORAN_ON_BOTH_STORES(SheetImportTest);

TEST(SheetFixtureTest, ASheetLibreOfficeWroteComesWithItsNumbersAndDatesBroughtBack) {
    const QString file =
        QStringLiteral(VELMORAN_SOURCE_DIR "/tests/fixtures/sheets/libreoffice.xlsx");
    SheetImportOptions options;
    options.dryRun = true;
    options.previewRows = 10;
    const SheetImportReport report = importSheet(file, nullptr, options);
    EXPECT_TRUE(report.unmatched.isEmpty());
    ASSERT_EQ(report.preview.size(), 2u);
    const auto text = [&](std::size_t r, const char* name) {
        return report.preview[r].texts[listingsTable().indexOf(QLatin1String(name))];
    };
    const auto flag = [&](std::size_t r, const char* name) {
        return report.preview[r].flags[listingsTable().indexOf(QLatin1String(name))];
    };
    EXPECT_EQ(text(0, "malek"), QStringLiteral("علی کریمی"));
    EXPECT_EQ(text(0, "tel03"), QStringLiteral("9121234567"));
    EXPECT_EQ(text(0, "gheymatehkoole"), QStringLiteral("12500000"));
    EXPECT_EQ(text(0, "date"), QStringLiteral("1403/01/12"));
    EXPECT_TRUE(flag(0, "fooroosh"));
    EXPECT_EQ(text(1, "gheymatehkoole"), QStringLiteral("15000000000"));
    EXPECT_EQ(text(1, "date"), QStringLiteral("1403/01/11"));
    EXPECT_FALSE(flag(1, "fooroosh"));
    // The two telephones that lost their zero, and the date cell.
    ASSERT_EQ(report.warnings.size(), 3u);
    EXPECT_EQ(report.warnings[0].heading, QStringLiteral("تلفن"));
    EXPECT_EQ(report.warnings[1].heading, QStringLiteral("تاریخ"));
}

class SheetHeadingsTest : public DataFolderTest {};

TEST_F(SheetHeadingsTest, OtherSheetsAreMatchedByCaptionNameAliasAndMap) {
    const QStringList headings = {QStringLiteral("مالک:"),   QStringLiteral("PHONE"),
                                  QStringLiteral("قیمت کل"), QStringLiteral("DETAILS"),
                                  QStringLiteral("اجاره"),   QStringLiteral("اجاره"),
                                  QStringLiteral("اجاره"),   QStringLiteral("رنگ در"),
                                  QStringLiteral("ملاحظات"), QString()};
    const HeadingMatch plain = matchHeadings(headings);
    EXPECT_FALSE(plain.ownExport);
    const auto name = [&](const HeadingMatch& m, int c) {
        const int field = m.fieldOf[static_cast<std::size_t>(c)];
        return field < 0 ? QString() : QString::fromLatin1(kListingFields[field].name);
    };
    EXPECT_EQ(name(plain, 0), QStringLiteral("malek"));
    EXPECT_EQ(name(plain, 1), QStringLiteral("tel03"));
    EXPECT_EQ(name(plain, 2), QStringLiteral("gheymatehkoole"));
    EXPECT_EQ(name(plain, 3), QStringLiteral("details"));
    // Two fields share the caption: each column takes the next of them.
    EXPECT_EQ(name(plain, 4), QStringLiteral("ejareh"));
    EXPECT_EQ(name(plain, 5), QStringLiteral("ejarehdoen"));
    EXPECT_EQ(name(plain, 6), QString());
    EXPECT_TRUE(plain.hasOwner());
    EXPECT_EQ(plain.unmatched.size(), 2); // the door's colour, the remarks
    EXPECT_TRUE(plain.unmatched[0].contains(QStringLiteral("رنگ در")));
    // The third rent is a heading twice, not one that matched nothing.
    ASSERT_EQ(plain.repeated.size(), 1u);
    EXPECT_TRUE(plain.repeated[0].column.contains(QStringLiteral("7")));
    EXPECT_EQ(plain.repeated[0].firstColumn, 5);

    const QString mapFile = QDir(folder()).filePath(QStringLiteral("map.csv"));
    writeFile(mapFile,
              QStringLiteral("heading,field\r\nملاحظات,nama\r\nرنگ در,estakhr\r\n").toUtf8());
    const HeadingMatch mapped = matchHeadings(headings, readHeadingMap(mapFile));
    EXPECT_EQ(name(mapped, 7), QStringLiteral("estakhr"));
    EXPECT_EQ(name(mapped, 8), QStringLiteral("nama"));
    EXPECT_TRUE(mapped.unmatched.isEmpty());
    EXPECT_EQ(mapped.repeated.size(), 1u); // the third rent still

    // Two map lines for one field: the second column is named as such.
    writeFile(mapFile, QStringLiteral("ملاحظات,nama\r\nرنگ در,nama\r\n").toUtf8());
    const HeadingMatch twice = matchHeadings(headings, readHeadingMap(mapFile));
    ASSERT_EQ(twice.repeated.size(), 2u);
    EXPECT_EQ(twice.repeated[1].field, QStringLiteral("nama"));
    EXPECT_TRUE(twice.repeated[1].column.contains(QStringLiteral("ملاحظات")));
    EXPECT_EQ(twice.repeated[1].firstColumn, 8);
    EXPECT_TRUE(twice.unmatched.isEmpty());

    writeFile(mapFile, "owner,nosuchfield\r\n");
    EXPECT_THROW(readHeadingMap(mapFile), SheetError);
    // One heading given two fields is refused, naming both lines.
    writeFile(mapFile, "owner,malek\r\nOwner,tel03\r\n");
    try {
        readHeadingMap(mapFile);
        ADD_FAILURE() << "read";
    } catch (const SheetError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("سطر 2"))) << e.message().toStdString();
        EXPECT_TRUE(e.message().contains(QStringLiteral("سطر 1"))) << e.message().toStdString();
    }
    EXPECT_FALSE(matchHeadings({QStringLiteral("تلفن"), QStringLiteral("آدرس")}).hasOwner());
    // The field names in the export's order are the export's own sheet too.
    EXPECT_TRUE(matchHeadings(fieldNames()).ownExport);
}

TEST_F(SheetHeadingsTest, ASheetWithoutAnOwnerColumnIsRefusedWhole) {
    const QString file = QDir(folder()).filePath(QStringLiteral("no-owner.csv"));
    writeFile(file, "phone,address\r\n021,x\r\n");
    try {
        importSheet(file, nullptr, {});
        FAIL() << "read";
    } catch (const SheetError& e) {
        EXPECT_TRUE(e.message().contains(shownPath(file)));
        EXPECT_TRUE(e.message().contains(QStringLiteral("مالك")));
    }
}

TEST_F(SheetHeadingsTest, ValuesASpreadsheetChangedAreBroughtBack) {
    const CellContext xlsx;
    CellContext csv;
    csv.fromCsv = true;
    using Kind = SheetCell::Kind;
    const int phone = listingsTable().indexOf(QStringLiteral("tel03"));
    const int price = listingsTable().indexOf(QStringLiteral("gheymatehkoole"));
    const int date = listingsTable().indexOf(QStringLiteral("date"));
    const int sale = listingsTable().indexOf(QStringLiteral("fooroosh"));

    const CellValue lostZero = cellValue({Kind::Number, "9121234567"}, phone, xlsx);
    EXPECT_EQ(lostZero.text, QStringLiteral("9121234567"));
    EXPECT_FALSE(lostZero.warning.isEmpty());
    const CellValue exponent = cellValue({Kind::Number, "1.25E+07"}, price, xlsx);
    EXPECT_EQ(exponent.text, QStringLiteral("12500000"));
    EXPECT_FALSE(exponent.warning.isEmpty());
    EXPECT_EQ(cellValue({Kind::Number, "2500000"}, price, xlsx).warning, QString());
    EXPECT_EQ(plainDigits("-4.5e-3"), QStringLiteral("-0.0045"));
    EXPECT_EQ(plainDigits("007"), QStringLiteral("7"));
    EXPECT_EQ(plainDigits("12a"), QString());
    // Digits of every kind are text as typed.
    EXPECT_EQ(cellValue({Kind::Text, "۱۲۵٠٠"}, price, xlsx).text, QStringLiteral("۱۲۵٠٠"));

    // 31 March 2024 is 12 Farvardin 1403; 1 January 1904 is day 0 there.
    const CellValue day = cellValue({Kind::Date, "45382"}, date, xlsx);
    EXPECT_EQ(day.text, QStringLiteral("1403/01/12"));
    EXPECT_FALSE(day.warning.isEmpty());
    CellContext from1904;
    from1904.dates1904 = true;
    // Day 0 of the 1904 system is day 1462 of the 1900 one.
    EXPECT_EQ(cellValue({Kind::Date, "0"}, date, from1904).text,
              cellValue({Kind::Date, "1462"}, date, xlsx).text);
    EXPECT_EQ(cellValue({Kind::Text, "1403/01/11"}, date, xlsx).text, QStringLiteral("1403/01/11"));

    EXPECT_EQ(cellValue({Kind::Text, "'=1+1"}, price, csv).text, QStringLiteral("=1+1"));
    EXPECT_EQ(cellValue({Kind::Text, "'-1"}, price, csv).text, QStringLiteral("-1"));
    EXPECT_EQ(cellValue({Kind::Text, "'quoted'"}, price, csv).text, QStringLiteral("'quoted'"));
    EXPECT_EQ(cellValue({Kind::Text, "''=1"}, price, csv).text, QStringLiteral("'=1"));
    EXPECT_EQ(cellValue({Kind::Text, "'=1+1"}, price, xlsx).text, QStringLiteral("'=1+1"));
    // A NUL stands in no file the export writes: stored without it, said so.
    const CellValue nul = cellValue({Kind::Text, QStringLiteral("a%1b").arg(QChar(0))}, price, csv);
    EXPECT_EQ(nul.text, QStringLiteral("ab"));
    EXPECT_FALSE(nul.warning.isEmpty());

    for (const char* yes : {"-1", "1", "TRUE", "بله", "✓", "۱"}) {
        EXPECT_TRUE(cellValue({Kind::Text, QString::fromUtf8(yes)}, sale, xlsx).flag) << yes;
    }
    for (const char* no : {"0", "false", "خير", "خیر", ""}) {
        const CellValue v = cellValue({Kind::Text, QString::fromUtf8(no)}, sale, xlsx);
        EXPECT_FALSE(v.flag) << no;
        EXPECT_TRUE(v.refusal.isEmpty()) << no;
    }
    EXPECT_TRUE(cellValue({Kind::Boolean, "1"}, sale, xlsx).flag);
    EXPECT_FALSE(cellValue({Kind::Text, "perhaps"}, sale, xlsx).refusal.isEmpty());
    EXPECT_FALSE(cellValue({Kind::Error, "#REF!"}, price, xlsx).refusal.isEmpty());
    EXPECT_FALSE(cellValue({Kind::Text, QString(kLongestValue + 1, QLatin1Char('a'))}, price, xlsx)
                     .refusal.isEmpty());
}

} // namespace
