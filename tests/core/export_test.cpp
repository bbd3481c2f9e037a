// The export to .xlsx and .csv: the headings, and every value of 1 000
// generated listings read back exactly from the written files.

#include "data/core/fields.h"
#include "data/store/storelocation.h"
#include "export/exportcolumns.h"
#include "export/listingexport.h"
#include "tests/support/importfixtures.h"
#include "tests/support/sheetreader.h"
#include "tests/support/storefiles.h"
#include "tests/support/testenv.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <algorithm>

using namespace velmoran;
using namespace velmoran::test;

namespace {

// The headings, field by field, as the listing screens caption them.
const char* const kExpectedHeadings[] = {
    "مالك",             // malek
    "منطقه",            // mantagheh
    "تلفن",             // tel03
    "تاريخ",            // date
    "آدرس",             // address
    "شماره",            // number
    "فروش",             // fooroosh
    "رهن",              // rahn
    "اجاره",            // ejareh
    "ويلا",             // vila
    "آپارتمان",         // apartman
    "مستغلات",          // mostaghelat
    "كلنگي",            // kolanghi
    "دفتر كار",         // daftarehkar
    "مغازه",            // maghazeh
    "سوئيت",            // soeit
    "شمالي",            // shoomali
    "جنوبي",            // joonoobi
    "شرقي",             // sharghi
    "غربي",             // gharbi
    "تعداد طبقات",      // tedadehtabaghat
    "تعداد واحد",       // tedadehvahed01
    "تعداد واحد (2)",   // tedadehvahedeh02
    "قيمت كل / وديعه",  // gheymatehkoole
    "واحد / متري",      // vahed01
    "واحد / متري (2)",  // vahed02
    "شوفاژ",            // shoofaj
    "كولر",             // cooler
    "گاز",              // gas
    "فن كوئل",          // fancoel
    "چيلر",             // chiler
    "پكيج",             // pakage
    "آسانسور",          // asensor
    "سونا",             // soona
    "جكوزي",            // jakozi
    "استخر",            // estakhr
    "تراكم",            // tarakoom
    "طول بر",           // tolebar
    "اصلاحي",           // eslahi
    "حياط",             // hayat
    "حياط خلوت",        // hayatkhalvat
    "زير زمين",         // zirzamin
    "سرويس مستخدم",     // servicemostakhdem
    "پاسيو",            // pasio
    "مسكوني",           // maskooni
    "تخليه",            // takhlieh
    "اجاره",            // ejarehdoen
    "سن بنا",           // senebana
    "نما",              // nama
    "منبع اطلاعاتي",    // manbaeetelaati
    "تنظيم كننده",      // tanzimkonnandeh
    "سكونت مالك",       // sookoonatehmalek
    "وضعيت سند",        // vaziatehsanad
    "توضيحات",          // details
    "طبقات 1",          // taba01
    "طبقات 2",          // taba02
    "طبقات 3",          // taba03
    "طبقات 4",          // taba04
    "زير بنا 1",        // zirbana01
    "زير بنا 2",        // zirbana02
    "زير بنا 3",        // zirbana03
    "زير بنا 4",        // zirbana04
    "خواب 1",           // khab0
    "خواب 2",           // khab02
    "خواب 3",           // khab03
    "خواب 4",           // khab04
    "متراژ بالكن 1",    // metrajehbalkoon01
    "متراژ بالكن 2",    // metrajehbalkoon02
    "متراژ بالكن 3",    // metrajehbalkoon03
    "متراژ بالكن 4",    // metrajehbalkoon04
    "تلفن 1",           // tele01
    "تلفن 2",           // tele02
    "تلفن 3",           // tele03
    "تلفن 4",           // tele04
    "سرويس آشپزخانه 1", // serviceashpaz01
    "سرويس آشپزخانه 2", // serviceashpaz02
    "سرويس آشپزخانه 3", // serviceashpaz03
    "سرويس آشپزخانه 4", // serviceashpaz04
    "OPEN 1",           // open01
    "OPEN 2",           // open02
    "OPEN 3",           // open03
    "OPEN 4",           // open04
    "سرويس بهداشتي 1",  // servicebehdasht01
    "سرويس بهداشتي 2",  // servicebehdasht02
    "سرويس بهداشتي 3",  // servicebehdasht03
    "سرويس بهداشتي 4",  // servicebehdasht04
    "كف پوش 1",         // kafpoosh01
    "كف پوش 2",         // kafpoosh02
    "كف پوش 3",         // kafpoosh03
    "كف پوش 4",         // kafpoosh04
    "پاركينگ 1",        // p01
    "پاركينگ 2",        // p02
    "پاركينگ 3",        // p03
    "پاركينگ 4",        // p04
    "انباري 1",         // anbari01
    "انباري 2",         // anbari02
    "انباري 3",         // anbari03
    "انباري 4",         // anbari04
    "شومينه 1",         // shoomineh01
    "شومينه 2",         // shoomineh02
    "شومينه 3",         // shoomineh03
    "شومينه 4",         // shoomineh04
};

class ExportTest : public DataFolderTest {
protected:
    void SetUp() override {
        DataFolderTest::SetUp();
        listings_ = generatedListings(1000, 12);
        storeListings(folder(), listings_);
    }
    QString output(const char* name) const { return QDir(folder()).filePath(QLatin1String(name)); }
    // What a listing looks like in the sheet: flags as a tick or nothing;
    // in an .xlsx each CR LF a line feed.
    static QStringList shown(const ListingValues& listing, ExportFormat format) {
        QStringList cells;
        for (std::size_t f = 0; f < kListingFieldCount; ++f) {
            QString text = listing[f];
            if (format == ExportFormat::Xlsx) {
                text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
            }
            cells << (kListingFields[f].kind == FieldKind::Flag
                          ? (listing[f] == QLatin1String("-1") ? QStringLiteral("✓") : QString())
                          : text);
        }
        return cells;
    }
    void expectEveryValue(const std::vector<QStringList>& rows, ExportFormat format) {
        ASSERT_EQ(rows.size(), listings_.size() + 1);
        for (std::size_t f = 0; f < kListingFieldCount; ++f) {
            EXPECT_EQ(rows[0].value(static_cast<int>(f)), QString::fromUtf8(kExpectedHeadings[f]));
        }
        for (std::size_t r = 0; r < listings_.size(); ++r) {
            ASSERT_EQ(rows[r + 1], shown(listings_[r], format)) << "listing " << r + 1;
        }
    }
    std::vector<ListingValues> listings_;
};

TEST(ExportHeadingsTest, EveryFieldIsHeadedByItsCaptionTheFloorRowsByTheirNumber) {
    const QStringList headings = exportHeadings();
    ASSERT_EQ(headings.size(), static_cast<int>(kListingFieldCount));
    for (std::size_t f = 0; f < kListingFieldCount; ++f) {
        EXPECT_EQ(headings[static_cast<int>(f)], QString::fromUtf8(kExpectedHeadings[f]))
            << kListingFields[f].name;
    }
}

TEST_F(ExportTest, AnXlsxSheetReadsBackRightToLeftWithEveryValueExact) {
    const QString file = output("listings.xlsx");
    qint64 lastProgress = 0;
    const ExportResult result =
        exportListings(StoreLocation{folder(), QString()}, file, ExportFormat::Xlsx,
                       ExistingFile::Keep, [&](qint64 rows) { lastProgress = rows; });
    ASSERT_TRUE(result.ok()) << result.error.toStdString();
    EXPECT_EQ(result.rows, 1000);
    EXPECT_EQ(lastProgress, 1000);
    EXPECT_TRUE(result.warnings.isEmpty());
    const Sheet sheet = readXlsx(file);
    ASSERT_TRUE(sheet.error.isEmpty()) << sheet.error.toStdString();
    EXPECT_TRUE(sheet.rightToLeft);
    EXPECT_EQ(sheet.numberCells, 0);
    expectEveryValue(sheet.rows, ExportFormat::Xlsx);
    // Only the file asked for is left beside it.
    EXPECT_EQ(filesIn(folder()).filter(QStringLiteral("listings")), QStringList{"listings.xlsx"});
}

TEST_F(ExportTest, ACsvFileIsUtf8WithAByteOrderMarkAndEveryValueExact) {
    const QString file = output("listings.CSV");
    writeFile(file, "an older export");
    const ExportResult result = exportListings(StoreLocation{folder(), QString()}, file,
                                               ExportFormat::Csv, ExistingFile::Replace);
    ASSERT_TRUE(result.ok()) << result.error.toStdString();
    bool bom = false;
    const std::vector<QStringList> rows = readCsv(file, &bom);
    EXPECT_TRUE(bom);
    expectEveryValue(rows, ExportFormat::Csv);
    EXPECT_EQ(exportFormatOf(file), ExportFormat::Csv);
    EXPECT_EQ(exportFormatOf(QStringLiteral("a.XLSX")), ExportFormat::Xlsx);
    EXPECT_FALSE(exportFormatOf(QStringLiteral("a.xls")).has_value());
}

TEST_F(ExportTest, TextLongerThanACellHoldsIsCutInTheSheetWithAWarningAndKeptInTheCsv) {
    ListingValues huge(kListingFieldCount, QString());
    for (std::size_t f = 0; f < kListingFieldCount; ++f) {
        huge[f] = kListingFields[f].kind == FieldKind::Flag ? QStringLiteral("0") : QString();
    }
    huge[0] = QString(kXlsxCellCharacters + 10, QChar(0x0633));
    // A NUL an older import stored: neither file holds it (a sheet would cut
    // the text there), so it goes, said so.
    const auto nulField =
        static_cast<int>(std::find_if(kListingFields + 1, kListingFields + kListingFieldCount,
                                      [](const FieldDef& f) { return f.kind != FieldKind::Flag; }) -
                         kListingFields);
    huge[static_cast<std::size_t>(nulField)] = QStringLiteral("before%1after").arg(QChar(0));
    storeListings(folder(), {huge});
    const ExportResult xlsx =
        exportListings(StoreLocation{folder(), QString()}, output("long.xlsx"), ExportFormat::Xlsx,
                       ExistingFile::Keep);
    ASSERT_TRUE(xlsx.ok()) << xlsx.error.toStdString();
    ASSERT_EQ(xlsx.warnings.size(), 2);
    EXPECT_TRUE(xlsx.warnings.join(' ').contains(QStringLiteral("1001")));
    EXPECT_TRUE(xlsx.warnings.join(' ').contains(QStringLiteral("NUL")));
    EXPECT_EQ(readXlsx(output("long.xlsx")).rows.back().front().size(), kXlsxCellCharacters);
    EXPECT_EQ(readXlsx(output("long.xlsx")).rows.back().value(nulField),
              QStringLiteral("beforeafter"));
    const ExportResult csv = exportListings(StoreLocation{folder(), QString()}, output("long.csv"),
                                            ExportFormat::Csv, ExistingFile::Keep);
    ASSERT_TRUE(csv.ok());
    EXPECT_EQ(csv.warnings.size(), 1);
    bool bom = false;
    EXPECT_EQ(readCsv(output("long.csv"), &bom).back().front(), huge[0]);
    EXPECT_EQ(readCsv(output("long.csv"), &bom).back().value(nulField),
              QStringLiteral("beforeafter"));
}

TEST_F(ExportTest, AFailureNamesTheFileAndLeavesNothing) {
    const QString missing = QDir(folder()).filePath(QStringLiteral("no/such/dir/x.csv"));
    const ExportResult noDir = exportListings(StoreLocation{folder(), QString()}, missing,
                                              ExportFormat::Csv, ExistingFile::Keep);
    EXPECT_FALSE(noDir.ok());
    EXPECT_TRUE(noDir.error.contains(shownPath(missing))) << noDir.error.toStdString();

    QTemporaryDir empty;
    const ExportResult noStore =
        exportListings(StoreLocation{empty.path(), QString()}, output("nothing.xlsx"),
                       ExportFormat::Xlsx, ExistingFile::Keep);
    EXPECT_FALSE(noStore.ok());
    EXPECT_FALSE(QFileInfo::exists(output("nothing.xlsx")));
    for (const QString& name : filesIn(folder())) {
        EXPECT_FALSE(name.startsWith(QStringLiteral(".nothing"))) << name.toStdString();
    }
}

} // namespace
