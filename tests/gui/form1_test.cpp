#include "tests/support/testenv.h"

#include "app/mdiform1.h"
#include "data/core/fields.h"
#include "data/sqlite/sqlite.h"
#include "data/sqlite/sqlitefile.h"
#include "data/store/recordsource.h"
#include "platform/widgets/printrecorder.h"
#include "screens/common/listinglayout.h"
#include "screens/entry/form1.h"
#include "ui/screens.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QTest>

#include <map>
#include <memory>

namespace velmoran {
namespace {

// The texts the screen shows, as the owner wrote them down.
const QString kFieldsMissing =
    QStringLiteral("لطفا در وارد كردن فيلدها دقت لازم را مبذول بفرمائيد");
const QString kAnotherFileTitle = QStringLiteral("اضافه كردن فايل جديد . . . ");

class Form1Test : public test::DataFolderTest {
protected:
    void SetUp() override {
        DataFolderTest::SetUp();
        ASSERT_TRUE(prepareStoreFile(folder(), listingsTable()).isEmpty());
        Screens::instance().registerMainWindow([] { return new MDIForm1; });
        Screens::instance().registerScreen(ScreenId::Form1, [] { return new Form1; });
        printer_ = std::make_shared<Print::Recorder>();
        Print::setBackend(printer_);
    }
    void TearDown() override {
        Screens::instance().discardAll();
        Print::setBackend(nullptr);
        DataFolderTest::TearDown();
    }

    // enterfile: the screen shown in the main window, active.
    Form1* open() {
        auto* form = qobject_cast<Form1*>(Screens::instance().show(ScreenId::Form1));
        EXPECT_NE(form, nullptr);
        if (form) {
            EXPECT_TRUE(QTest::qWaitForWindowActive(mainForm()));
            QApplication::processEvents();
        }
        return form;
    }
    static bool isOpen() { return Screens::instance().isLoaded(ScreenId::Form1); }
    static void settle() {
        QApplication::processEvents();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    static QLineEdit* box(Form1* form, const char* name) {
        return form->listingForm()->findChild<QLineEdit*>(QLatin1String(name));
    }
    static QCheckBox* check(Form1* form, const char* name) {
        return form->listingForm()->findChild<QCheckBox*>(QLatin1String(name));
    }
    // Types `text` key by key where the cursor is, Persian letters included.
    static void type(const QString& text) {
        for (const QChar c : text) {
            QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), Qt::Key_unknown,
                                QString(c), Qt::NoModifier);
        }
    }
    static void typeInto(QLineEdit* edit, const QString& text) {
        edit->setFocus();
        type(text);
    }
    static void press(QWidget* target, Qt::Key key) {
        QTest::keyClick(target ? target : QApplication::focusWidget(), key, Qt::ControlModifier);
    }
    // Ctrl+S where the cursor is.
    static void save() { press(QApplication::focusWidget(), Qt::Key_S); }

    // Every stored row of table `new`, field by field, as text.
    std::vector<std::map<QString, QString>> rows() const {
        sql::Database db(QDir(folder()).filePath(QStringLiteral("newil.db")), SQLITE_OPEN_READONLY);
        sql::Statement select(db.handle(), QStringLiteral("SELECT * FROM new ORDER BY rowid"));
        std::vector<std::map<QString, QString>> result;
        while (select.step()) {
            std::map<QString, QString> row;
            for (int c = 0; c < select.columnCount(); ++c) {
                row[QString::fromUtf8(sqlite3_column_name(select.handle(), c))] =
                    select.columnText(c);
            }
            result.push_back(row);
        }
        return result;
    }

    std::shared_ptr<Print::Recorder> printer_;
};

TEST_F(Form1Test, OpensOnABlankNewRowWithTheFocusOnTheOwner) {
    Form1* form = open();
    ASSERT_NE(form, nullptr);
    EXPECT_TRUE(form->Data1()->isNewRow());
    EXPECT_FALSE(form->Data1()->isChanged());
    EXPECT_EQ(QApplication::focusWidget(), box(form, "Text1"));
    for (QLineEdit* edit : form->listingForm()->findChildren<QLineEdit*>()) {
        EXPECT_TRUE(edit->text().isEmpty()) << qPrintable(edit->objectName());
    }
    // The Tab key goes through the whole form inside the main window too,
    // from the owner to the rent flag, the last control.
    const QList<QWidget*>& order = form->listingForm()->tabOrder();
    ASSERT_EQ(order.size(), 103);
    for (QWidget* expected : order) {
        ASSERT_EQ(QApplication::focusWidget(), expected);
        QTest::keyClick(expected, Qt::Key_Tab);
    }
    EXPECT_EQ(order.last()->objectName(), QStringLiteral("Check1"));

    // Choosing enterfile again brings the same screen.
    EXPECT_EQ(Screens::instance().show(ScreenId::Form1), form);
}

TEST_F(Form1Test, RestoringAndMaximisingTheScreenLeaveTheFocusWhereItWas) {
    Form1* form = open();
    ASSERT_NE(form, nullptr);
    auto* sub = qobject_cast<QMdiSubWindow*>(form->parentWidget());
    ASSERT_TRUE(sub);
    type(QStringLiteral("ab"));
    ASSERT_EQ(QApplication::focusWidget(), box(form, "Text1"));
    // The restore button of a maximised child stands in the menu bar.
    QWidget* controls = mainForm()->menuBar()->cornerWidget(Qt::TopRightCorner);
    if (!controls || !controls->isVisible()) {
        controls = mainForm()->menuBar()->cornerWidget(Qt::TopLeftCorner);
    }
    ASSERT_TRUE(controls);
    auto* restore = controls->findChild<QAbstractButton*>(QStringLiteral("qt_mdi_restore"));
    QWidget* target = restore ? static_cast<QWidget*>(restore) : controls;
    QTest::mouseClick(target, Qt::LeftButton);
    settle();
    if (sub->isMaximized()) {
        sub->showNormal(); // the style draws its buttons itself
        settle();
    }
    ASSERT_FALSE(sub->isMaximized());
    type(QStringLiteral("c"));
    EXPECT_EQ(box(form, "Text1")->text(), QStringLiteral("abc"));
    EXPECT_EQ(box(form, "Text2")->text(), QString());
    sub->showMaximized();
    settle();
    type(QStringLiteral("d"));
    EXPECT_EQ(box(form, "Text1")->text(), QStringLiteral("abcd"));
}

TEST_F(Form1Test, SaveRefusesAnEmptyRequiredFieldAndCountsBlanksAsFilled) {
    Form1* form = open();
    ASSERT_NE(form, nullptr);
    typeInto(box(form, "Text16"), QStringLiteral("120"));
    typeInto(box(form, "Text1"), QStringLiteral("رضايي"));
    save();

    ASSERT_EQ(boxes().shown().size(), 1u);
    const auto& refused = boxes().shown()[0].request;
    EXPECT_EQ(refused.text, kFieldsMissing);
    EXPECT_EQ(refused.title, QStringLiteral("خطا در وارد كردن "));
    EXPECT_EQ(refused.icon, MessageBox::Icon::Critical);
    EXPECT_EQ(refused.buttons, MessageBox::Buttons::Ok);
    EXPECT_TRUE(rows().empty());
    EXPECT_TRUE(isOpen());
    EXPECT_EQ(box(form, "Text1")->text(), QStringLiteral("رضايي"));
    EXPECT_EQ(box(form, "Text16")->text(), QStringLiteral("120"));
    EXPECT_EQ(QApplication::focusWidget(), box(form, "Text1"));

    // A date of blanks is a date.
    typeInto(box(form, "Text6"), QStringLiteral("   "));
    boxes().setNextAnswer(MessageBox::vbNo);
    save();
    ASSERT_EQ(boxes().shown().size(), 2u);
    EXPECT_EQ(boxes().shown()[1].request.title, kAnotherFileTitle);
    ASSERT_EQ(rows().size(), 1u);
    EXPECT_EQ(rows()[0].at(QStringLiteral("date")), QStringLiteral("   "));
}

TEST_F(Form1Test, SaveWithYesStartsABlankRowAndWithNoCloses) {
    Form1* form = open();
    ASSERT_NE(form, nullptr);
    typeInto(box(form, "Text1"), QStringLiteral("owner one"));
    typeInto(box(form, "Text6"), QStringLiteral("1402/01/01"));
    typeInto(box(form, "Text16"), QStringLiteral("10"));
    boxes().setNextAnswer(MessageBox::vbYes);
    form->SAVE_Click();

    const auto& question = boxes().shown().back().request;
    EXPECT_EQ(question.text, QStringLiteral("آيا مايل به وارد كردن فايل ديگري هستيد؟"));
    EXPECT_EQ(question.icon, MessageBox::Icon::None);
    EXPECT_EQ(question.buttons, MessageBox::Buttons::YesNo);
    ASSERT_EQ(rows().size(), 1u);
    EXPECT_TRUE(isOpen());
    EXPECT_TRUE(form->Data1()->isNewRow());
    EXPECT_TRUE(box(form, "Text1")->text().isEmpty());
    EXPECT_EQ(QApplication::focusWidget(), box(form, "Text1"));

    typeInto(box(form, "Text1"), QStringLiteral("owner two"));
    typeInto(box(form, "Text6"), QStringLiteral("1402/01/02"));
    typeInto(box(form, "Text16"), QStringLiteral("20"));
    boxes().setNextAnswer(MessageBox::vbNo);
    form->SAVE_Click();
    settle();
    EXPECT_FALSE(isOpen());
    ASSERT_EQ(rows().size(), 2u);
    EXPECT_EQ(rows()[1].at(QStringLiteral("malek")), QStringLiteral("owner two"));
}

// As a new user types a listing: along the tab order with Tab and Space,
// then Ctrl+S and No. The row holds exactly what was typed.
TEST_F(Form1Test, TypedListingIsStoredExactlyAsTyped) {
    Form1* form = open();
    ASSERT_NE(form, nullptr);
    const QString longText =
        QString(QStringLiteral("خيابان ولي‌عصر، كوچه ۱۲ - Unit 4B; "))
            .repeated(40);
    const std::map<QString, QString> typed = {
        {QStringLiteral("malek"), QStringLiteral("محمد كريمي")},
        {QStringLiteral("mantagheh"), QStringLiteral("۳")},
        {QStringLiteral("tel03"), QStringLiteral("021-88776655")},
        {QStringLiteral("date"), QStringLiteral("۱۴۰۲/۰۵/۱۰")},
        {QStringLiteral("address"), longText},
        {QStringLiteral("number"), QStringLiteral("12 'b' \"c\"")},
    };
    // Owner to number, then the first two flags of the deal row (sale, mortgage).
    for (const char* field : {"malek", "mantagheh", "tel03", "date", "address", "number"}) {
        type(typed.at(QLatin1String(field)));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space); // fooroosh
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab); // rahn left clear
    for (int i = 0; i < 6; ++i) {                              // maghazeh .. gharbi
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    type(QStringLiteral("4")); // tedadehtabaghat
    for (int i = 0; i < 4; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    type(QStringLiteral("85")); // vahed01
    boxes().setNextAnswer(MessageBox::vbNo);
    save();
    settle();

    EXPECT_FALSE(isOpen());
    const auto stored = rows();
    ASSERT_EQ(stored.size(), 1u);
    std::map<QString, QString> expected = typed;
    expected[QStringLiteral("fooroosh")] = QStringLiteral("-1");
    expected[QStringLiteral("tedadehtabaghat")] = QStringLiteral("4");
    expected[QStringLiteral("vahed01")] = QStringLiteral("85");
    for (std::size_t i = 0; i < kListingFieldCount; ++i) {
        const QString field = QString::fromLatin1(kListingFields[i].name);
        const QString empty =
            kListingFields[i].kind == FieldKind::Flag ? QStringLiteral("0") : QString();
        const auto it = expected.find(field);
        EXPECT_EQ(stored[0].at(field), it == expected.end() ? empty : it->second)
            << qPrintable(field);
    }
}

TEST_F(Form1Test, CancelStoresNothingAndAsksNothingEvenFromATextBox) {
    Form1* form = open();
    ASSERT_NE(form, nullptr);
    for (QLineEdit* edit : form->listingForm()->findChildren<QLineEdit*>()) {
        edit->setText(QStringLiteral("x"));
    }
    for (QCheckBox* flag : form->listingForm()->findChildren<QCheckBox*>()) {
        flag->setChecked(true);
    }
    QLineEdit* address = box(form, "Text4");
    address->setFocus();
    address->selectAll();
    press(address, Qt::Key_C); // copy, in any other text box
    settle();
    EXPECT_FALSE(isOpen());
    EXPECT_TRUE(boxes().shown().empty());
    EXPECT_TRUE(rows().empty());
}

TEST_F(Form1Test, ClosingStoresAChangedRowWithoutTheCheckAndDropsAnUntouchedOne) {
    Form1* form = open();
    ASSERT_NE(form, nullptr);
    // Untouched, closed with the child window's close command.
    auto* window = qobject_cast<QMdiSubWindow*>(form->parentWidget());
    ASSERT_NE(window, nullptr);
    window->close();
    settle();
    EXPECT_FALSE(isOpen());
    EXPECT_TRUE(rows().empty());

    form = open();
    ASSERT_NE(form, nullptr);
    typeInto(box(form, "Text4"), QStringLiteral("only the address"));
    form->close();
    settle();
    EXPECT_FALSE(isOpen());
    EXPECT_TRUE(boxes().shown().empty());
    ASSERT_EQ(rows().size(), 1u);
    EXPECT_EQ(rows()[0].at(QStringLiteral("address")), QStringLiteral("only the address"));
    EXPECT_EQ(rows()[0].at(QStringLiteral("malek")), QString());

    // The main window's sweep does the same.
    form = open();
    ASSERT_NE(form, nullptr);
    check(form, "Check5")->setChecked(true); // apartman
    ASSERT_TRUE(mainForm()->unload());
    settle();
    ASSERT_EQ(rows().size(), 2u);
    EXPECT_EQ(rows()[1].at(QStringLiteral("apartman")), QStringLiteral("-1"));
}

TEST_F(Form1Test, ActivatedAgainItStoresTheTypedRowAndStartsANewOne) {
    Screens::instance().registerScreen(ScreenId::Form2, [] { return new Screen(ScreenId::Form2); });
    Form1* form = open();
    ASSERT_NE(form, nullptr);
    typeInto(box(form, "Text1"), QStringLiteral("first"));
    Screens::instance().show(ScreenId::Form2);
    QApplication::processEvents();
    EXPECT_TRUE(rows().empty()) << "stored before the screen was activated again";
    Screens::instance().show(ScreenId::Form1);
    QApplication::processEvents();
    ASSERT_EQ(rows().size(), 1u);
    EXPECT_EQ(rows()[0].at(QStringLiteral("malek")), QStringLiteral("first"));
    EXPECT_TRUE(box(form, "Text1")->text().isEmpty());
    EXPECT_TRUE(form->Data1()->isNewRow());
}

TEST_F(Form1Test, LandAreaIsStoredAsDensityAndShownInBothBoxes) {
    Form1* form = open();
    ASSERT_NE(form, nullptr);
    typeInto(box(form, "Text56"), QStringLiteral("۲۴۰"));
    EXPECT_EQ(box(form, "Text53")->text(), QStringLiteral("۲۴۰"));
    form->close();
    settle();
    ASSERT_EQ(rows().size(), 1u);
    EXPECT_EQ(rows()[0].at(QStringLiteral("tarakoom")), QStringLiteral("۲۴۰"));

    RecordSource shown(folder(), listingsTable());
    ListingForm listing(&shown, ListingVariant::Entry);
    EXPECT_EQ(listing.findChild<QLineEdit*>("Text53")->text(), QStringLiteral("۲۴۰"));
    EXPECT_EQ(listing.findChild<QLineEdit*>("Text56")->text(), QStringLiteral("۲۴۰"));
}

TEST_F(Form1Test, ItsMenuStandsInTheMainMenuBarWhileItIsActive) {
    MDIForm1* main = showMainForm();
    const QList<QAction*> mainMenu = main->menuBar()->actions();
    Form1* form = open();
    ASSERT_NE(form, nullptr);
    const QList<QAction*> shown = main->menuBar()->actions();
    ASSERT_EQ(shown.size(), 1);
    QMenu* file = shown[0]->menu();
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->objectName(), QStringLiteral("FILE"));
    EXPECT_EQ(file->title(), QStringLiteral("         فايل            "));
    const QList<QAction*> items = file->actions();
    ASSERT_EQ(items.size(), 4);
    EXPECT_EQ(items[0]->objectName(), QStringLiteral("SAVE"));
    EXPECT_EQ(items[0]->text(), QStringLiteral("     ذخيره"));
    EXPECT_EQ(items[0]->shortcut(), QKeySequence(QStringLiteral("Ctrl+S")));
    EXPECT_EQ(items[1]->objectName(), QStringLiteral("CANCEL"));
    EXPECT_EQ(items[1]->text(), QStringLiteral("    انصراف  "));
    EXPECT_EQ(items[1]->shortcut(), QKeySequence(QStringLiteral("Ctrl+C")));
    EXPECT_EQ(items[2]->objectName(), QStringLiteral("mnuline01"));
    EXPECT_TRUE(items[2]->isSeparator());
    EXPECT_EQ(items[2]->text(), QString()); // a plain line, no dash drawn
    EXPECT_EQ(items[3]->objectName(), QStringLiteral("print"));
    EXPECT_EQ(items[3]->text(), QStringLiteral("چاپ     "));
    EXPECT_EQ(items[3]->shortcut(), QKeySequence(QStringLiteral("Ctrl+P")));

    items[1]->trigger(); // CANCEL
    settle();
    EXPECT_EQ(main->menuBar()->actions(), mainMenu);
}

TEST_F(Form1Test, PrintSendsTheScreenWithItsValuesAndLeavesTheRowPending) {
    Form1* form = open();
    ASSERT_NE(form, nullptr);
    boxes().setNextAnswer(MessageBox::vbNo);
    press(nullptr, Qt::Key_P);
    EXPECT_TRUE(printer_->pages().empty());
    ASSERT_EQ(boxes().shown().size(), 1u);
    EXPECT_EQ(boxes().shown()[0].request.text,
              QStringLiteral("آيا مايل به چاپ اين فرم مي باشيد ؟"));

    form->print_Click(); // Yes, the default answer
    typeInto(box(form, "Text1"), QStringLiteral("مالك چاپي"));
    form->print_Click();
    ASSERT_EQ(printer_->pages().size(), 2u);
    const QImage blank = printer_->pages()[0].image;
    const QImage typed = printer_->pages()[1].image;
    EXPECT_EQ(printer_->pages()[1].page.size, form->listingForm()->size());
    EXPECT_EQ(typed.size(), form->listingForm()->size());
    EXPECT_NE(blank, typed) << "the page does not show the typed owner";
    // The job is named after the listing's owner, not the question box.
    EXPECT_EQ(printer_->pages()[1].title, QStringLiteral("مالك چاپي"));
    EXPECT_NE(printer_->pages()[0].title, QStringLiteral("چاپ فرم . . ."));
    EXPECT_FALSE(printer_->pages()[0].title.isEmpty());
    EXPECT_EQ(boxes().shown().size(), 3u) << "a printed page needs no message";
    EXPECT_TRUE(form->Data1()->isNewRow());
    EXPECT_TRUE(form->Data1()->isChanged());
    EXPECT_EQ(box(form, "Text1")->text(), QStringLiteral("مالك چاپي"));
    EXPECT_TRUE(rows().empty());

    // A printer that fails: a message, the screen as it was.
    printer_->setOutcome({Print::Outcome::Failed, QString(), QStringLiteral("خطاي چاپگر")});
    form->print_Click();
    EXPECT_EQ(boxes().shown().back().request.icon, MessageBox::Icon::Critical);
    EXPECT_TRUE(boxes().shown().back().request.text.contains(QStringLiteral("خطاي چاپگر")));
    EXPECT_TRUE(isOpen());
    EXPECT_EQ(box(form, "Text1")->text(), QStringLiteral("مالك چاپي"));
}

TEST_F(Form1Test, AFailedSaveIsReportedAndTheTypedRowStays) {
    Form1* form = open();
    ASSERT_NE(form, nullptr);
    form->Data1()->setBusyTimeout(50);
    typeInto(box(form, "Text1"), QStringLiteral("locked out"));
    typeInto(box(form, "Text6"), QStringLiteral("today"));
    typeInto(box(form, "Text16"), QStringLiteral("1"));
    {
        // Another copy of the program holds the file.
        sql::Database other(QDir(folder()).filePath(QStringLiteral("newil.db")),
                            SQLITE_OPEN_READWRITE);
        other.exec("BEGIN EXCLUSIVE");
        form->SAVE_Click();
        ASSERT_EQ(boxes().shown().size(), 1u);
        EXPECT_EQ(boxes().shown()[0].request.icon, MessageBox::Icon::Critical);
        EXPECT_TRUE(boxes().shown()[0].request.text.contains(QStringLiteral("newil.db")))
            << qPrintable(boxes().shown()[0].request.text);
        EXPECT_TRUE(isOpen());
        EXPECT_EQ(box(form, "Text1")->text(), QStringLiteral("locked out"));
        other.exec("ROLLBACK");
    }
    EXPECT_TRUE(rows().empty());
    boxes().setNextAnswer(MessageBox::vbNo);
    form->SAVE_Click();
    settle();
    ASSERT_EQ(rows().size(), 1u);
    EXPECT_EQ(rows()[0].at(QStringLiteral("malek")), QStringLiteral("locked out"));
    EXPECT_EQ(rows()[0].at(QStringLiteral("date")), QStringLiteral("today"));
}

} // namespace
} // namespace velmoran
