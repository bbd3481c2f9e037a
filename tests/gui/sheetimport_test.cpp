// Adding listings from a spreadsheet in the program: Ctrl+I of the main
// window asks for the file, the preview shows the headings' fields, the first
// rows (a duplicate marked) and the refused rows; a cancel of the progress
// window stores nothing, the button stores every sound row.

#include "app/mdiform1.h"
#include "data/store/recordsource.h"
#include "data/store/storelocation.h"
#include "screens/list/matchlist.h"
#include "screens/list/matchmodel.h"
#include "screens/sheetimport/sheetpreview.h"
#include "tests/gui/apptest.h"
#include "ui/filechooser.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

using namespace velmoran;
using namespace velmoran::test;

namespace {

class SheetImportScreenTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        // One listing already stored: row 2 of the sheet repeats it.
        std::unique_ptr<TableStore> table = openTableStore(activeStore(), listingsTable());
        RowValues row;
        row.texts.assign(kListingFieldCount, QString());
        row.flags.assign(kListingFieldCount, false);
        row.texts[listingsTable().indexOf("malek")] = QStringLiteral("علي كريمي");
        row.texts[listingsTable().indexOf("tel03")] = QStringLiteral("0912");
        table->insert(row);

        file_ = QDir(folder()).filePath(QStringLiteral("agency.csv"));
        QFile out(file_);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(QStringLiteral("مالک,تلفن,فروش,رنگ\r\nعلی کریمی,0912,بله,\r\n").toUtf8());
        for (int r = 0; r < 1500; ++r) {
            const QByteArray flag = r % 500 == 7 ? "maybe" : (r % 2 ? "1" : "0");
            out.write("owner " + QByteArray::number(r) + ",021," + flag + ",blue\r\n");
        }
        out.close();
        FileChooser::setOpenFile([this](QWidget*, const QString&, const QString& filter) {
            ++asked_;
            EXPECT_TRUE(filter.contains(QStringLiteral("*.xlsx")));
            return file_;
        });
    }
    void TearDown() override {
        FileChooser::setOpenFile({});
        AppTest::TearDown();
    }
    long long countRows() const {
        long long rows = 0;
        openTableStore(activeStore(), listingsTable())->scan([&](long long, const RowValues&) {
            ++rows;
            return true;
        });
        return rows;
    }
    // Ctrl+I on the main window, as the user presses it.
    SheetPreview* openPreview() {
        MDIForm1* window = showMainForm();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window));
        QTest::keyClick(window, Qt::Key_I, Qt::ControlModifier);
        auto* preview = window->findChild<SheetPreview*>(QStringLiteral("SheetPreview"));
        EXPECT_TRUE(preview);
        return preview;
    }
    static QTableWidget* tableOf(SheetPreview* preview, const char* name) {
        auto* table = preview->findChild<QTableWidget*>(QLatin1String(name));
        EXPECT_TRUE(table) << name;
        return table;
    }
    static QString cell(QTableWidget* table, int row, int column) {
        QTableWidgetItem* item = table->item(row, column);
        return item ? item->text() : QString();
    }
    // Presses the cancel button of the progress window once it shows.
    static void cancelProgressOf(SheetPreview* preview) {
        QTimer::singleShot(0, preview, [preview] {
            auto* progress =
                preview->findChild<QProgressDialog*>(QStringLiteral("SheetImportProgress"));
            ASSERT_TRUE(progress);
            EXPECT_EQ(progress->maximum(), 1000);
            auto* cancel = progress->findChild<QPushButton*>();
            ASSERT_TRUE(cancel);
            QTest::mouseClick(cancel, Qt::LeftButton);
        });
    }

    QString file_;
    int asked_ = 0;
};

TEST_F(SheetImportScreenTest, ThePreviewShowsTheFieldsTheFirstRowsAndTheRefusedRows) {
    SheetPreview* preview = openPreview();
    ASSERT_TRUE(preview);
    EXPECT_EQ(asked_, 1);
    EXPECT_TRUE(preview->isVisible());
    EXPECT_EQ(preview->layoutDirection(), Qt::RightToLeft);

    QTableWidget* headings = tableOf(preview, "HeadingsTable");
    ASSERT_EQ(headings->rowCount(), 4);
    EXPECT_EQ(cell(headings, 0, 0), QStringLiteral("مالک"));
    EXPECT_TRUE(cell(headings, 0, 1).contains(QStringLiteral("(malek)")));
    EXPECT_TRUE(cell(headings, 2, 1).contains(QStringLiteral("(fooroosh)")));
    EXPECT_TRUE(cell(headings, 3, 1).contains(QStringLiteral("خوانده نمي شود")));

    QTableWidget* rows = tableOf(preview, "PreviewTable");
    ASSERT_EQ(rows->rowCount(), SheetPreview::kPreviewRows);
    EXPECT_EQ(rows->columnCount(), 4); // the row number and three fields
    EXPECT_TRUE(cell(rows, 0, 0).contains(QStringLiteral("تكراري")));
    EXPECT_EQ(cell(rows, 1, 0), QStringLiteral("3"));
    EXPECT_EQ(cell(rows, 1, 1), QStringLiteral("owner 0"));
    EXPECT_EQ(cell(rows, 2, 3), QStringLiteral("✓"));

    QTableWidget* notes = tableOf(preview, "NotesTable");
    QStringList refused;
    for (int r = 0; r < notes->rowCount(); ++r) {
        if (cell(notes, r, 2) == QStringLiteral("پذيرفته نمي شود")) {
            refused << cell(notes, r, 0) + QLatin1Char(' ') + cell(notes, r, 1);
            EXPECT_TRUE(cell(notes, r, 3).contains(QStringLiteral("maybe")));
        }
    }
    EXPECT_EQ(refused, (QStringList{"10 فروش", "510 فروش", "1010 فروش"}));
    const auto* summary = preview->findChild<QLabel*>(QStringLiteral("SummaryLabel"));
    ASSERT_TRUE(summary);
    EXPECT_TRUE(summary->text().contains(QStringLiteral("1497 فايل")))
        << summary->text().toStdString();
    EXPECT_EQ(countRows(), 1); // nothing stored by the preview
}

TEST_F(SheetImportScreenTest, ACancelStoresNothingAndTheButtonStoresEverySoundRow) {
    SheetPreview* preview = openPreview();
    ASSERT_TRUE(preview);
    auto* add = preview->findChild<QPushButton*>(QStringLiteral("AddButton"));
    ASSERT_TRUE(add);
    EXPECT_TRUE(add->text().contains(QStringLiteral("1497")));

    cancelProgressOf(preview);
    QTest::mouseClick(add, Qt::LeftButton);
    EXPECT_EQ(countRows(), 1);
    ASSERT_FALSE(boxes().shown().empty());
    EXPECT_TRUE(boxes().shown().back().request.text.contains(QStringLiteral("لغو")));
    EXPECT_TRUE(preview->isVisible());

    QPointer<SheetPreview> open(preview);
    QTest::mouseClick(add, Qt::LeftButton);
    EXPECT_EQ(countRows(), 1 + 1497);
    EXPECT_TRUE(boxes().shown().back().request.text.contains(QStringLiteral("1497 فايل")));
    settle();
    EXPECT_TRUE(open.isNull()); // closed once the rows are in
}

TEST_F(SheetImportScreenTest, ARefusedFileIsNamedInAMessageAndNoPreviewShows) {
    QFile out(file_);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
    out.write("phone,address\r\n021,x\r\n");
    out.close();
    MDIForm1* window = showMainForm();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    QTest::keyClick(window, Qt::Key_I, Qt::ControlModifier);
    EXPECT_FALSE(window->findChild<SheetPreview*>());
    ASSERT_EQ(boxes().shown().size(), 1u);
    EXPECT_TRUE(boxes().shown().front().request.text.contains(shownPath(file_)));
    EXPECT_EQ(boxes().shown().front().request.icon, MessageBox::Icon::Critical);
}

// The list of matches offers the same import in its menu, and shows what was
// added once the preview has gone.
TEST_F(SheetImportScreenTest, TheListsMenuAddsFromASheetAndTheListShowsTheNewListings) {
    MDIForm1* window = showMainForm();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    QTest::keyClick(window, Qt::Key_F4);
    auto* list = screens().find<MatchList>(ScreenId::MatchList);
    ASSERT_TRUE(list);
    const auto* status = list->findChild<QLabel*>(QStringLiteral("listStatus"));
    ASSERT_TRUE(status);
    ASSERT_TRUE(QTest::qWaitFor([&] { return status->text().startsWith(QStringLiteral("1 ")); }))
        << status->text().toStdString();

    auto* entry = list->findChild<QAction*>(QStringLiteral("listImportSheet"));
    ASSERT_TRUE(entry);
    entry->trigger();
    EXPECT_EQ(asked_, 1);
    auto* preview = list->findChild<SheetPreview*>(QStringLiteral("SheetPreview"));
    ASSERT_TRUE(preview);
    QTest::mouseClick(preview->findChild<QPushButton*>(QStringLiteral("AddButton")),
                      Qt::LeftButton);
    settle();
    EXPECT_EQ(countRows(), 1 + 1497);
    ASSERT_TRUE(QTest::qWaitFor([&] { return status->text().startsWith(QStringLiteral("1498 ")); }))
        << status->text().toStdString();
    // Newest first: the sheet's last sound row leads the list.
    EXPECT_EQ(list->model()->index(0, 1).data().toString(), QStringLiteral("owner 1499"));
}

} // namespace
