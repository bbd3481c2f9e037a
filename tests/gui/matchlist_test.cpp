// The list of a find's matches, driven as a user drives it: F4 on the
// search screen, the edit view and the main window; the keyboard through the
// rows; Enter to show one; the headings to sort.
#include "data/core/applicants.h"
#include "data/core/findcriterion.h"
#include "data/core/numbers.h"
#include "data/core/solardate.h"
#include "data/sqlite/sqlite.h"
#include "data/store/recordsource.h"
#include "data/store/storelocation.h"
#include "export/exportcolumns.h"
#include "platform/widgets/printqt.h"
#include "platform/widgets/printrecorder.h"
#include "screens/applicants/applicantform.h"
#include "screens/applicants/applicantlist.h"
#include "screens/applicants/applicantmodel.h"
#include "screens/applicants/listingapplicants.h"
#include "screens/common/boundcontrols.h"
#include "screens/edit/form7.h"
#include "screens/edit/form8.h"
#include "screens/entry/form1.h"
#include "screens/list/listcolumns.h"
#include "screens/list/listprint.h"
#include "screens/list/matchlist.h"
#include "screens/list/matchmodel.h"
#include "screens/search/form2.h"
#include "tests/gui/editfixture.h"
#include "tests/support/sheetreader.h"
#include "ui/filechooser.h"

#include <QApplication>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QPageLayout>
#include <QProcess>
#include <QRegularExpression>
#include <QTableView>
#include <QTest>

using namespace velmoran;

namespace {

class MatchListTest : public test::EditTest {
protected:
    // A table of tricky owners and prices, in both kinds of Yeh and Kaf and
    // three scripts of digits; every third not for sale, every fourth no
    // apartment.
    void addTrickyListings() {
        const QStringList owners = {QStringLiteral("علي كريمي"), QStringLiteral("علی کریمی"),
                                    QStringLiteral("O'Neil"),    QStringLiteral("پرويز"),
                                    QStringLiteral("ژاله"),      QString()};
        const QStringList prices = {QStringLiteral("150"),  QStringLiteral("۱۵۰"),
                                    QStringLiteral("1500"), QStringLiteral("12,000"),
                                    QStringLiteral("abc"),  QStringLiteral("100"),
                                    QStringLiteral("199"),  QStringLiteral("2")};
        for (int i = 0; i < 40; ++i) {
            std::initializer_list<const char*> sale = {"fooroosh", "apartman"};
            std::initializer_list<const char*> rentOnly = {"ejareh", "apartman"};
            std::initializer_list<const char*> saleVilla = {"fooroosh", "vila"};
            addListing({i % 3 == 0 ? rentOnly : (i % 4 == 1 ? saleVilla : sale),
                        prices[(i * 3) % prices.size()], QString(), owners[i % owners.size()]});
        }
    }

    // The ids an SQL statement of our own gives, on the listings file; with
    // `priceWithin`, only those whose price reads as a number strictly
    // between the two.
    std::vector<long long>
    idsBySql(const QString& where,
             std::optional<std::pair<double, double>> priceWithin = {}) const {
        sql::Database db(QDir(folder()).filePath(QString::fromUtf8(listingsTable().fileName)),
                         SQLITE_OPEN_READONLY);
        sql::Statement st = db.prepare(
            QStringLiteral("SELECT id, gheymatehkoole FROM new%1 ORDER BY id").arg(where));
        std::vector<long long> ids;
        while (st.step()) {
            const std::optional<double> price = readNumber(st.columnText(1));
            if (!priceWithin ||
                (price && *price > priceWithin->first && *price < priceWithin->second)) {
                ids.push_back(st.columnInt(0));
            }
        }
        return ids;
    }

    // F4 pressed where the cursor is in `screen`.
    MatchList* pressF4In(QWidget* screen) {
        MDIForm1* window = showMainForm();
        // The user clicks the main window, away from a panel.
        QApplication::setActiveWindow(window);
        EXPECT_TRUE(QTest::qWaitForWindowActive(window));
        if (auto* shown = qobject_cast<Screen*>(screen)) {
            // The user brings the screen forward first.
            screens().show(shown->id());
            auto* box = screen->findChild<QLineEdit*>();
            EXPECT_TRUE(box);
            box->setFocus();
        }
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget()
                                                    : static_cast<QWidget*>(window),
                        Qt::Key_F4);
        settle();
        return screens().find<MatchList>(ScreenId::MatchList);
    }

    static std::vector<long long> listedIds(MatchList* list) { return list->model()->allIds(); }

    static int column(const char* name) {
        const auto& columns = listColumns();
        for (std::size_t c = 0; c < columns.size(); ++c) {
            if (QString::fromLatin1(columns[c].objectName) == QLatin1String(name)) {
                return static_cast<int>(c);
            }
        }
        return -1;
    }

    static QString cell(MatchList* list, int row, const char* name) {
        return list->model()->index(row, column(name)).data().toString();
    }

    std::vector<long long> saleOfApartments() const {
        return idsBySql(QStringLiteral(" WHERE fooroosh = -1 AND apartman = -1"),
                        std::pair{100.0, 200.0});
    }
};

TEST_F(MatchListTest, EachPlaceListsItsOwnFindAndTheCountAgreesWithTheTable) {
    addTrickyListings();
    // The search screen before any find: every listing, said so.
    openSearch();
    MatchList* list = pressF4In(search());
    ASSERT_TRUE(list);
    EXPECT_EQ(listedIds(list), idsBySql(QString()));
    EXPECT_TRUE(list->status()->text().contains(QStringLiteral("هنوز جستجويي")));

    // After the apartments-for-sale find of 100 to 200.
    auto* form13 = openForm13();
    type(form13, "Text12", QStringLiteral("100"));
    type(form13, "Text11", QStringLiteral("200"));
    click(form13, "Command14");
    list = pressF4In(search());
    ASSERT_TRUE(list);
    const std::vector<long long> want = saleOfApartments();
    ASSERT_GE(want.size(), 3u);
    EXPECT_EQ(listedIds(list), want);
    EXPECT_EQ(list->model()->matchCount(), static_cast<long long>(want.size()));
    EXPECT_TRUE(list->status()->text().startsWith(QString::number(want.size())));
    EXPECT_TRUE(list->windowTitle().contains(QString::number(want.size())));
    // Texts as stored: the Persian digits and both Yehs as typed.
    {
        sql::Database db(QDir(folder()).filePath(QString::fromUtf8(listingsTable().fileName)),
                         SQLITE_OPEN_READONLY);
        sql::Statement st =
            db.prepare(QStringLiteral("SELECT malek, gheymatehkoole FROM new WHERE id = ?"));
        QStringList prices;
        for (int r = 0; r < list->model()->rowCount(); ++r) {
            st.reset();
            st.bindInt(1, list->model()->idAt(r));
            ASSERT_TRUE(st.step());
            EXPECT_EQ(cell(list, r, "malek"), st.columnText(0));
            EXPECT_EQ(cell(list, r, "gheymatehkoole"), st.columnText(1));
            prices << st.columnText(1);
        }
        EXPECT_TRUE(prices.contains(QStringLiteral("۱۵۰")));
    }

    // The edit view, after the owner find: the owner in either spelling.
    screens().show(ScreenId::Form7); // the search screen's menu stands in the main window
    settle();
    panel = openEditPanel();
    findOwner(QStringLiteral("علي كريمي"));
    list = pressF4In(edit());
    ASSERT_TRUE(list);
    EXPECT_EQ(list->origin(), MatchList::Origin::Edit);
    const std::vector<long long> owners =
        idsBySql(QStringLiteral(" WHERE malek IN ('علي كريمي', 'علی کریمی')"));
    EXPECT_EQ(listedIds(list), owners);

    // The main window, no listing screen active: every listing, newest first.
    screens().unload(ScreenId::Form2);
    screens().unload(ScreenId::Form7);
    screens().unload(ScreenId::MatchList);
    settle();
    list = pressF4In(nullptr);
    ASSERT_TRUE(list);
    std::vector<long long> all = idsBySql(QString());
    std::reverse(all.begin(), all.end());
    EXPECT_EQ(listedIds(list), all);
    EXPECT_EQ(list->origin(), MatchList::Origin::Main);
    EXPECT_TRUE(boxes().shown().empty());
}

TEST_F(MatchListTest, EnterShowsTheListingWhereTheListCameFromAndNextGoesOnFromIt) {
    addTrickyListings();
    openSearch();
    auto* form13 = openForm13();
    type(form13, "Text12", QStringLiteral("100"));
    type(form13, "Text11", QStringLiteral("200"));
    click(form13, "Command14");
    const std::vector<long long> want = saleOfApartments();
    ASSERT_GE(want.size(), 4u);
    MatchList* list = pressF4In(search());
    ASSERT_TRUE(list);
    QTableView* table = list->table();
    table->setFocus();
    QTest::keyClick(table, Qt::Key_Down);
    QTest::keyClick(table, Qt::Key_Down);
    QTest::keyClick(table, Qt::Key_Return);
    settle();
    EXPECT_EQ(shownRow(), want[2]);
    EXPECT_EQ(screens().mainWindow()->findChild<QMdiArea*>()->activeSubWindow()->widget(),
              search());
    // The panel's next goes on after it.
    click(form13, "Command13");
    EXPECT_EQ(shownRow(), want[3]);

    // A listing another desk deleted meanwhile: said so, nothing moved.
    list = pressF4In(search());
    ASSERT_TRUE(list);
    {
        RecordSource other(folder(), listingsTable());
        ASSERT_TRUE(other.MoveTo(want[0]));
        other.Delete();
    }
    list->table()->setCurrentIndex(list->model()->index(0, 0));
    list->table()->setFocus();
    QTest::keyClick(list->table(), Qt::Key_Return);
    settle();
    EXPECT_EQ(lastMessage(), QStringLiteral("اين فايل را ميز ديگري حذف كرده است."));
    EXPECT_EQ(shownRow(), want[3]);
}

TEST_F(MatchListTest, HeadingsSortPricesAsNumbersOwnersInPersianOrderAndDatesAsDates) {
    const std::vector<std::pair<QString, QString>> listings = {
        {QStringLiteral("زهرا"), QStringLiteral("1,200")},
        {QStringLiteral("پرويز"), QStringLiteral("۱۵۰")},
        {QStringLiteral("آرش"), QStringLiteral("abc")},
        {QStringLiteral("تقي"), QStringLiteral("90")},
        {QStringLiteral("ژاله"), QStringLiteral("1500")},
        {QStringLiteral("بهرام"), QStringLiteral("٢٠٠")},
        {QStringLiteral("ابراهيم"), QStringLiteral("1499.5")},
    };
    for (const auto& [owner, price] : listings) {
        addListing({{"fooroosh"}, price, QString(), owner});
    }
    MatchList* list = pressF4In(nullptr);
    ASSERT_TRUE(list);
    QHeaderView* header = list->table()->horizontalHeader();
    const auto clickHeading = [&](const char* name) {
        const int c = column(name);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(c) + header->sectionSize(c) / 2,
                                 header->height() / 2));
        settle();
    };
    const auto texts = [&](const char* name) {
        QStringList all;
        for (int r = 0; r < list->model()->rowCount(); ++r) {
            all << cell(list, r, name);
        }
        return all;
    };
    clickHeading("gheymatehkoole");
    EXPECT_EQ(texts("gheymatehkoole"),
              QStringList({"90", "۱۵۰", "٢٠٠", "1,200", "1499.5", "1500", "abc"}));
    clickHeading("gheymatehkoole");
    EXPECT_EQ(texts("gheymatehkoole"),
              QStringList({"1500", "1499.5", "1,200", "٢٠٠", "۱۵۰", "90", "abc"}));

    // Persian order: آ ا ب پ ت ... ز ژ (not the order of the code points).
    clickHeading("malek");
    EXPECT_EQ(texts("malek"),
              QStringList({"آرش", "ابراهيم", "بهرام", "پرويز", "تقي", "زهرا", "ژاله"}));
    // The key does the same on the column the cursor is in, both ways.
    list->table()->setCurrentIndex(list->model()->index(0, column("malek")));
    list->table()->setFocus();
    QTest::keyClick(list->table(), Qt::Key_R, Qt::ControlModifier);
    EXPECT_EQ(texts("malek").first(), QStringLiteral("ژاله"));
    EXPECT_EQ(cell(list, list->table()->currentIndex().row(), "malek"), QStringLiteral("آرش"));

    EXPECT_LT(dateKey(QStringLiteral("1402/12/29")), dateKey(QStringLiteral("۱۴۰۳/۱/۱۱")));
    EXPECT_LT(dateKey(QStringLiteral("1403/1/11")), dateKey(QStringLiteral("1403/01/12")));
    EXPECT_EQ(dateKey(QStringLiteral("farda")), -1);
}

TEST_F(MatchListTest, TheTableItsHeadingsAndCellsHaveAccessibleNames) {
    addListing({{"fooroosh", "apartman"}, QStringLiteral("150"), QString(), QStringLiteral("x")});
    MatchList* list = pressF4In(nullptr);
    ASSERT_TRUE(list);
    EXPECT_FALSE(list->table()->accessibleName().isEmpty());
    EXPECT_FALSE(list->table()->horizontalHeader()->accessibleName().isEmpty());
    for (int c = 0; c < list->model()->columnCount(); ++c) {
        EXPECT_FALSE(list->model()->headerData(c, Qt::Horizontal).toString().isEmpty()) << c;
    }
    EXPECT_EQ(list->model()->index(0, column("malek")).data(Qt::AccessibleTextRole).toString(),
              QStringLiteral("x"));
    EXPECT_EQ(cell(list, 0, "kinds"), QStringLiteral("آپارتمان"));
    EXPECT_EQ(cell(list, 0, "deals"), QStringLiteral("فروش"));
    for (QAction* action : list->actions()) {
        EXPECT_FALSE(action->objectName().isEmpty()) << action->text().toStdString();
    }
}

} // namespace

namespace {

class MatchListExportTest : public MatchListTest {};

TEST_F(MatchListExportTest, WritesTheListedRowsInTheOrderShownWithTheCellsOfTheToolsExport) {
    for (const auto& [owner, price] : std::vector<std::pair<QString, QString>>{
             {QStringLiteral("زهرا, \"ز\""), QStringLiteral("1,200")},
             {QStringLiteral("پرويز"), QStringLiteral("۱۵۰")},
             {QStringLiteral("آرش"), QStringLiteral("=1+2")},
             {QStringLiteral("تقي"), QStringLiteral("90")}}) {
        addListing({{"fooroosh", "apartman"}, price, QString(), owner});
    }
    addListing({{"rahn"}, QStringLiteral("5"), QString(), QStringLiteral("not listed")});
    openSearch();
    auto* form13 = openForm13();
    type(form13, "Text12", QStringLiteral("0"));
    type(form13, "Text11", QStringLiteral("100000"));
    click(form13, "Command14");
    MatchList* list = pressF4In(search());
    ASSERT_TRUE(list);
    list->table()->setCurrentIndex(list->model()->index(0, column("gheymatehkoole")));
    list->table()->setFocus();
    QTest::keyClick(list->table(), Qt::Key_R, Qt::ControlModifier); // by price
    const QString file = QDir(folder()).filePath(QStringLiteral("list.csv"));
    FileChooser::setSaveFile(
        [file](QWidget*, const QString&, const QString&, const QString&) { return file; });
    QTest::keyClick(list->table(), Qt::Key_E, Qt::ControlModifier);
    settle();
    FileChooser::setSaveFile({});
    EXPECT_TRUE(lastMessage().startsWith(QStringLiteral("3 فايل"))) << lastMessage().toStdString();

    bool bom = false;
    const std::vector<QStringList> written = test::readCsv(file, &bom);
    ASSERT_EQ(written.size(), 4u);
    EXPECT_EQ(written[0], exportHeadings());
    const int owner = listingsTable().indexOf(QStringLiteral("malek"));
    EXPECT_EQ(written[1][owner], QStringLiteral("تقي"));
    EXPECT_EQ(written[2][owner], QStringLiteral("پرويز"));
    EXPECT_EQ(written[3][owner], QStringLiteral("زهرا, \"ز\""));

    // The same cells as the tool's export of the whole table.
    const QString all = QDir(folder()).filePath(QStringLiteral("all.csv"));
    QProcess tool;
    tool.start(QStringLiteral(VELMORAN_CLI_TOOL),
               {QStringLiteral("export"), QStringLiteral("--folder"), folder(), all});
    ASSERT_TRUE(tool.waitForFinished(60000));
    ASSERT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
    const std::vector<QStringList> whole = test::readCsv(all, &bom);
    for (std::size_t r = 1; r < written.size(); ++r) {
        const auto same = std::find_if(whole.begin(), whole.end(), [&](const QStringList& row) {
            return row.value(owner) == written[r][owner];
        });
        ASSERT_NE(same, whole.end());
        EXPECT_EQ(*same, written[r]);
    }
}

} // namespace

namespace {

// What one of poppler's tools (poppler-utils) finds in a PDF.
QString poppler(const QString& tool, const QStringList& arguments) {
    QProcess process;
    process.start(tool, arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0) {
        ADD_FAILURE() << qPrintable(tool) << " failed";
        return QString();
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The PDF's text, letters in their plain forms, Kaf and Yeh folded (the
// faces draw both spellings alike), without the marks of direction.
QString pdfText(const QString& path) {
    return poppler(QStringLiteral("pdftotext"), {path, QStringLiteral("-")})
        .normalized(QString::NormalizationForm_KC)
        .replace(QChar(0x06A9), QChar(0x0643))
        .replace(QChar(0x06CC), QChar(0x064A))
        .remove(QRegularExpression(QStringLiteral("[\u200E\u200F\u202A-\u202E\u2066-\u2069]")));
}

class MatchListPrintTest : public MatchListTest {
protected:
    void SetUp() override {
        MatchListTest::SetUp();
        printer = std::make_shared<Print::Recorder>();
        Print::setBackend(printer);
    }
    void TearDown() override {
        Print::setBackend(nullptr);
        MatchListTest::TearDown();
    }
    std::shared_ptr<Print::Recorder> printer;
};

TEST_F(MatchListPrintTest, PrintsLandscapePagesOfTextWithHeadingsCriterionDateAndPageNumbers) {
    for (int i = 0; i < 65; ++i) {
        addListing({{"fooroosh", "apartman"},
                    QString::number(150 + i),
                    QString(),
                    QStringLiteral("مالك شماره %1").arg(i)});
    }
    addListing({{"rahn"}, QStringLiteral("5"), QString(), QStringLiteral("not listed")});
    openSearch();
    auto* form13 = openForm13();
    type(form13, "Text12", QStringLiteral("100"));
    type(form13, "Text11", QStringLiteral("1000"));
    click(form13, "Command14");
    MatchList* list = pressF4In(search());
    ASSERT_TRUE(list);
    list->table()->setFocus();
    QTest::keyClick(list->table(), Qt::Key_P, Qt::ControlModifier);
    settle();
    ASSERT_EQ(printer->pages().size(), 1u);
    const Print::Page& page = printer->pages()[0].page;
    EXPECT_EQ(page.count, 3); // 65 rows, 30 a page
    EXPECT_GT(page.size.width(), page.size.height());

    const QString path = QDir(folder()).filePath(QStringLiteral("list.pdf"));
    const QPageLayout a4(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(10, 10, 10, 10),
                         QPageLayout::Millimeter);
    ASSERT_TRUE(QtPrintBackend::writePdf(
        listPrintout(*list->model(), list->described(), QStringLiteral("1403/01/11")),
        QStringLiteral("فهرست"), path, a4, 300));
    const QString info = poppler(QStringLiteral("pdfinfo"), {path});
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+3\\n"))))
        << info.toStdString();
    const QRegularExpressionMatch size =
        QRegularExpression(QStringLiteral("Page size:\\s+([0-9.]+) x ([0-9.]+)")).match(info);
    ASSERT_TRUE(size.hasMatch());
    EXPECT_GT(size.captured(1).toDouble(), size.captured(2).toDouble()); // landscape
    EXPECT_TRUE(poppler(QStringLiteral("pdfimages"), {QStringLiteral("-list"), path})
                    .split(QLatin1Char('\n'), Qt::SkipEmptyParts)
                    .mid(2)
                    .isEmpty()); // text and lines, no picture

    const QString text = pdfText(path);
    // The reader moves blanks around the digits in right-to-left lines.
    const QString words = QString(text).remove(QRegularExpression(QStringLiteral("\\s")));
    EXPECT_EQ(text.count(QStringLiteral("كد فايل")), 3); // the headings on every page
    for (int p = 1; p <= 3; ++p) {
        EXPECT_TRUE(words.contains(QStringLiteral("صفحه%1از3").arg(p))) << p;
    }
    EXPECT_EQ(text.count(QStringLiteral("1403/01/11")), 3);
    EXPECT_TRUE(text.contains(QStringLiteral("مالك شماره 64")));
    EXPECT_TRUE(words.contains(QStringLiteral("65فايل")));
    EXPECT_FALSE(text.contains(QStringLiteral("not listed")));
}

// The applicants' screens: an applicant typed in, its listings on the list
// of matches, contacted today, and a saved listing telling its applicants.
class ApplicantScreensTest : public MatchListTest {
protected:
    using Texts = std::vector<std::pair<const char*, QString>>;

    static RowValues row(const TableSpec& table, const Texts& texts,
                         std::initializer_list<const char*> flags) {
        RowValues values{std::vector<QString>(table.fieldCount),
                         std::vector<bool>(table.fieldCount, false)};
        for (const auto& [name, text] : texts) {
            values.texts[static_cast<std::size_t>(table.indexOf(QLatin1String(name)))] = text;
        }
        for (const char* flag : flags) {
            values.flags[static_cast<std::size_t>(table.indexOf(QLatin1String(flag)))] = true;
        }
        return values;
    }
    long long storeListing(const Texts& texts, std::initializer_list<const char*> flags) {
        return openTableStore(activeStore(), listingsTable())
            ->insert(row(listingsTable(), texts, flags));
    }
    long long storeApplicant(const Texts& texts, std::initializer_list<const char*> flags) {
        EXPECT_TRUE(prepareStore(activeStore(), applicantsTable()).isEmpty());
        return openTableStore(activeStore(), applicantsTable())
            ->insert(row(applicantsTable(), texts, flags));
    }
    // Every applicant as stored, and the listings' count: what a step that
    // stores nothing leaves as it was.
    QString storedApplicants() const {
        sql::Database db(QDir(folder()).filePath(QString::fromUtf8(listingsTable().fileName)),
                         SQLITE_OPEN_READONLY);
        QStringList columns;
        for (std::size_t i = 0; i < applicantsTable().fieldCount; ++i) {
            columns << QLatin1String(applicantsTable().fields[i].name);
        }
        sql::Statement st = db.prepare(QStringLiteral("SELECT id, %1, (SELECT count(*) FROM new) "
                                                      "FROM applicants ORDER BY id")
                                           .arg(columns.join(QLatin1Char(','))));
        QStringList rows;
        while (st.step()) {
            QStringList cells;
            for (int c = 0; c <= static_cast<int>(applicantsTable().fieldCount) + 1; ++c) {
                cells << st.columnText(c);
            }
            rows << cells.join(QLatin1Char('|'));
        }
        return rows.join(QLatin1Char('\n'));
    }
    QString applicantText(long long id, const char* field) const {
        sql::Database db(QDir(folder()).filePath(QString::fromUtf8(listingsTable().fileName)),
                         SQLITE_OPEN_READONLY);
        sql::Statement st = db.prepare(
            QStringLiteral("SELECT %1 FROM applicants WHERE id = ?").arg(QLatin1String(field)));
        st.bindInt(1, id);
        return st.step() ? st.columnText(0) : QStringLiteral("(none)");
    }
    MDIForm1* mainMenu(const char* item) {
        MDIForm1* window = showMainForm();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window));
        auto* action = window->findChild<QAction*>(QLatin1String(item));
        EXPECT_TRUE(action) << item;
        if (action) {
            action->trigger();
        }
        settle();
        return window;
    }
    template <class Box> static Box* bound(QWidget* screen, const char* field) {
        for (Box* box : screen->findChildren<Box*>()) {
            if (box->dataField() == QLatin1String(field)) {
                return box;
            }
        }
        ADD_FAILURE() << field;
        return nullptr;
    }
    static void typeInto(QWidget* box, const QString& text) {
        box->setFocus();
        QTest::keySequence(box, QKeySequence::SelectAll);
        QTest::keyClick(box, Qt::Key_Delete);
        for (const QChar c : text) {
            if (c == QLatin1Char('\n')) {
                QTest::keyClick(box, Qt::Key_Return);
            } else {
                QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(c), Qt::NoModifier);
            }
        }
    }
    static void tick(QWidget* box) {
        box->setFocus();
        QTest::keyClick(box, Qt::Key_Space);
    }
    std::vector<long long> marked(MatchList* list) {
        std::vector<long long> ids;
        for (int r = 0; r < list->model()->rowCount(); ++r) {
            if (list->model()->isMarked(r)) {
                ids.push_back(list->model()->idAt(r));
            }
        }
        return ids;
    }
};

TEST_F(ApplicantScreensTest, ANewApplicantIsRefusedWithABadRangeAndStoredWholeOnceRight) {
    mainMenu("newapplicant");
    auto* form = screens().find<ApplicantForm>(ScreenId::ApplicantForm);
    ASSERT_TRUE(form);
    EXPECT_TRUE(form->isAncestorOf(QApplication::focusWidget()));
    typeInto(bound<BoundTextBox>(form, "name"), QStringLiteral("سارا موسوي"));
    typeInto(bound<BoundTextBox>(form, "tel"), QStringLiteral("۰۹۱۲ ۱۲۳"));
    tick(bound<BoundCheckBox>(form, "ejareh"));
    tick(bound<BoundCheckBox>(form, "apartman"));
    typeInto(bound<BoundTextArea>(form, "mantagheh"), QStringLiteral("ونك\nپونك"));
    typeInto(bound<BoundTextBox>(form, "gheymataz"), QStringLiteral("300"));
    typeInto(bound<BoundTextBox>(form, "gheymatta"), QStringLiteral("200"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(boxes().shown().size(), 1u);
    EXPECT_EQ(boxes().shown().back().request.title, inputErrorTitle());
    EXPECT_TRUE(boxes().shown().back().request.text.startsWith(inputErrorText()));
    EXPECT_TRUE(boxes().shown().back().request.text.contains(QStringLiteral("قيمت كل يا وديعه")));
    EXPECT_EQ(form->applicantId(), 0);
    EXPECT_TRUE(storedApplicants().isEmpty());

    // Letters in a bound, and Esc: the form stays, nothing stored.
    typeInto(bound<BoundTextBox>(form, "gheymatta"), QStringLiteral("۴۰۰"));
    typeInto(bound<BoundTextBox>(form, "khabaz"), QStringLiteral("دو"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    settle();
    ASSERT_EQ(boxes().shown().size(), 2u);
    EXPECT_TRUE(boxes().shown().back().request.text.contains(QStringLiteral("تعداد خواب")));
    EXPECT_EQ(QApplication::focusWidget(), bound<BoundTextBox>(form, "khabaz"));
    EXPECT_TRUE(screens().isLoaded(ScreenId::ApplicantForm));
    EXPECT_TRUE(storedApplicants().isEmpty());

    typeInto(bound<BoundTextBox>(form, "khabaz"), QStringLiteral("2"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(boxes().shown().size(), 2u);
    const long long id = form->applicantId();
    ASSERT_GT(id, 0);
    EXPECT_EQ(applicantText(id, "name"), QStringLiteral("سارا موسوي"));
    EXPECT_EQ(applicantText(id, "mantagheh"), QStringLiteral("ونك\nپونك"));
    EXPECT_EQ(applicantText(id, "gheymatta"), QStringLiteral("۴۰۰"));
    EXPECT_EQ(applicantText(id, "ejareh"), QStringLiteral("-1"));
    EXPECT_EQ(applicantText(id, "fooroosh"), QStringLiteral("0"));
    EXPECT_EQ(applicantText(id, "date"), solarToday());
    EXPECT_EQ(applicantText(id, "tamas"), solarToday());
    EXPECT_EQ(applicantText(id, "baste"), QStringLiteral("0"));

    // A change and Esc: stored as the form goes.
    typeInto(bound<BoundTextBox>(form, "tozihat"), QStringLiteral("طبقه بالا"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    settle();
    EXPECT_FALSE(screens().isLoaded(ScreenId::ApplicantForm));
    EXPECT_EQ(applicantText(id, "tozihat"), QStringLiteral("طبقه بالا"));
}

TEST_F(ApplicantScreensTest, AnApplicantsListingsAreMarkedSinceTheLastContactUntilContactedToday) {
    const auto listing = [this](const char* district, const char* date, const char* price,
                                const char* rent, std::initializer_list<const char*> flags) {
        return storeListing({{"malek", QStringLiteral("مالك")},
                             {"mantagheh", QString::fromUtf8(district)},
                             {"date", QString::fromUtf8(date)},
                             {"gheymatehkoole", QString::fromUtf8(price)},
                             {"vahed02", QString::fromUtf8(rent)}},
                            flags);
    };
    const long long fitsNew = listing("ونك", "1400/02/01", "150", "10", {"ejareh", "apartman"});
    const long long fitsOld = listing(" ونک ", "1399/12/01", "۲۰۰", "12", {"ejareh", "apartman"});
    listing("ونك", "1400/05/05", "201", "10", {"ejareh", "apartman"});
    const long long sale = listing("ونك", "1400/05/05", "100", "10", {"fooroosh", "apartman"});
    listing("پونك", "1400/05/05", "100", "5", {"ejareh", "vila"});
    listing("پونك", "1400/05/05", "abc", "5", {"ejareh", "apartman"});
    const long long fitsPersian = listing("پونك", "۱۴۰۱/۰۱/۰۱", "٩٩", "۸", {"ejareh", "apartman"});
    const Texts request = {
        {"name", QStringLiteral("سارا")},           {"tel", QStringLiteral("0912 555")},
        {"mantagheh", QStringLiteral("ونك\nپونك")}, {"gheymatta", QStringLiteral("200")},
        {"ejarehta", QStringLiteral("12")},         {"date", QStringLiteral("1400/01/01")},
        {"tamas", QStringLiteral("1400/01/10")}};
    const long long sara = storeApplicant(request, {"ejareh", "apartman"});
    Texts closed = request;
    closed[0].second = QStringLiteral("بسته شده");
    storeApplicant(closed, {"ejareh", "apartman", "baste"});
    const long long buyer = storeApplicant({{"name", QStringLiteral("خريدار")}}, {"fooroosh"});
    const QString before = storedApplicants();

    // The list: active first, newest first; each with its count.
    mainMenu("applicantlist");
    auto* applicants = screens().find<ApplicantList>(ScreenId::ApplicantList);
    ASSERT_TRUE(applicants);
    ApplicantModel* model = applicants->model();
    EXPECT_EQ(QApplication::focusWidget(), applicants->table())
        << QApplication::focusWidget()->objectName().toStdString();
    ASSERT_EQ(model->rowCount(), 3);
    EXPECT_EQ(model->idAt(0), buyer);
    EXPECT_EQ(model->idAt(1), sara);
    EXPECT_TRUE(QTest::qWaitFor([&] { return model->fitCount(1) >= 0; }, 5000));
    EXPECT_EQ(model->fitCount(1), 3);
    EXPECT_TRUE(QTest::qWaitFor([&] { return model->fitCount(0) >= 0; }, 5000));
    EXPECT_EQ(model->fitCount(0), 1);
    model->sort(ApplicantModel::Name, Qt::AscendingOrder);
    QTest::keyClick(applicants->table(), Qt::Key_F, Qt::ControlModifier);
    typeInto(QApplication::focusWidget(), QStringLiteral("۵۵۵")); // both of that telephone
    EXPECT_EQ(model->rowCount(), 2);
    typeInto(QApplication::focusWidget(), QStringLiteral("سارا"));
    ASSERT_EQ(model->rowCount(), 1);
    EXPECT_EQ(model->idAt(0), sara);

    // Its listings: those that fit, the ones after the last contact marked.
    applicants->table()->setFocus();
    QTest::keyClick(applicants->table(), Qt::Key_F4);
    settle();
    auto* list = screens().find<MatchList>(ScreenId::MatchList);
    ASSERT_TRUE(list);
    EXPECT_EQ(list->origin(), MatchList::Origin::Applicant);
    EXPECT_EQ(listedIds(list), (std::vector<long long>{fitsNew, fitsOld, fitsPersian}));
    EXPECT_EQ(marked(list), (std::vector<long long>{fitsNew, fitsPersian}));
    EXPECT_TRUE(QTest::qWaitFor([&] { return list->model()->matchCount() >= 0; }, 5000));
    EXPECT_EQ(list->model()->matchCount(), 3);
    list->sortByCurrentColumn();
    EXPECT_EQ(before, storedApplicants()); // opening, counting, sorting: nothing stored
    const std::vector<long long> sorted = listedIds(list);
    EXPECT_EQ(std::count(sorted.begin(), sorted.end(), sale), 0);
    EXPECT_EQ(sorted.size(), 3u);

    // Contacted today: stored, and the marks go.
    QTest::keyClick(list->table(), Qt::Key_T, Qt::ControlModifier);
    settle();
    EXPECT_EQ(applicantText(sara, "tamas"), solarToday());
    EXPECT_EQ(applicantText(sara, "name"), QStringLiteral("سارا"));
    EXPECT_TRUE(marked(list).empty());
    EXPECT_TRUE(boxes().shown().empty());

    // Deleted by another desk meanwhile: said, and not stored again.
    sql::Database(QDir(folder()).filePath(QString::fromUtf8(listingsTable().fileName)),
                  SQLITE_OPEN_READWRITE)
        .exec(QStringLiteral("DELETE FROM applicants WHERE id = %1").arg(sara));
    QTest::keyClick(list->table(), Qt::Key_T, Qt::ControlModifier);
    settle();
    ASSERT_EQ(boxes().shown().size(), 1u);
    EXPECT_EQ(boxes().shown().back().request.text,
              QStringLiteral("اين متقاضي را ميز ديگري حذف كرده است."));
    EXPECT_EQ(applicantText(sara, "name"), QStringLiteral("(none)"));
}

TEST_F(ApplicantScreensTest, ASavedListingTellsHowManyActiveApplicantsItFitsAndCtrlMListsThem) {
    const long long wants =
        storeApplicant({{"name", QStringLiteral("خريدار")}, {"gheymatta", QStringLiteral("500")}},
                       {"fooroosh", "apartman"});
    storeApplicant({{"name", QStringLiteral("بسته")}}, {"fooroosh", "baste"});
    storeApplicant({{"name", QStringLiteral("مستاجر")}}, {"ejareh"});

    MDIForm1* window = mainMenu("enterfile");
    auto* form = screens().find<Form1>(ScreenId::Form1);
    ASSERT_TRUE(form);
    auto* line = form->findChild<ListingApplicantsLine*>();
    ASSERT_TRUE(line);
    EXPECT_TRUE(line->text().isEmpty());
    typeInto(bound<BoundTextBox>(form, "malek"), QStringLiteral("مالك"));
    typeInto(bound<BoundTextBox>(form, "date"), QStringLiteral("1405/01/01"));
    typeInto(bound<BoundTextBox>(form, "gheymatehkoole"), QStringLiteral("۵۰۰"));
    typeInto(form->findChild<QLineEdit*>(QStringLiteral("Text16")), QStringLiteral("3"));
    tick(bound<BoundCheckBox>(form, "fooroosh"));
    tick(bound<BoundCheckBox>(form, "apartman"));
    boxes().setNextAnswer(MessageBox::vbYes); // another listing
    form->SAVE_Click();
    settle();
    EXPECT_EQ(line->count(), 1);
    EXPECT_TRUE(line->text().contains(QStringLiteral("1 متقاضي فعال")));
    ASSERT_EQ(boxes().shown().size(), 1u); // only the question of before
    const long long saved = line->listing();
    ASSERT_GT(saved, 0);

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_M, Qt::ControlModifier);
    settle();
    auto* applicants = screens().find<ApplicantList>(ScreenId::ApplicantList);
    ASSERT_TRUE(applicants);
    EXPECT_EQ(applicants->listing(), saved);
    ASSERT_EQ(applicants->model()->rowCount(), 1);
    EXPECT_EQ(applicants->model()->idAt(0), wants);

    // The edit view tells it of the listing it shows.
    screens().unload(ScreenId::ApplicantList);
    screens().unload(ScreenId::Form1);
    settle();
    QTest::keyClick(window, Qt::Key_F6);
    settle();
    auto* view = screens().find<Form7>(ScreenId::Form7);
    ASSERT_TRUE(view);
    EXPECT_EQ(view->Data1()->currentRowId(), saved);
    EXPECT_EQ(view->findChild<ListingApplicantsLine*>()->count(), 1);
}

} // namespace
