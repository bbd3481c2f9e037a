// The entry screen opened beside the other listing screens, in the orders a
// user meets: its boxes take what is typed into its pending new row whatever
// the other screens' record sources hold, and coming back to it stores the
// typed row; the edit screen on an empty table still takes no typing.

#include "app/mdiform1.h"
#include "app/workspace.h"
#include "data/store/recordsource.h"
#include "screens/common/listinglayout.h"
#include "screens/edit/form7.h"
#include "screens/entry/form1.h"
#include "tests/gui/editfixture.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QTest>

using namespace velmoran;
using namespace velmoran::test;

namespace {

// Owners as a user types them, Persian letters and a space.
const QString kOwner = QStringLiteral("رضا كريمي");
const QString kOtherOwner = QStringLiteral("مريم");

class EntryBesideOtherScreensTest : public EditTest {
protected:
    // F2 in the main window: the entry screen, active.
    Form1* openEntry() {
        MDIForm1* window = showMainForm();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window));
        QTest::keyClick(window, Qt::Key_F2);
        settle();
        return entry();
    }
    // A command of the main menu, as its key runs it where the main menu is
    // in force; the search and the entry screen show a menu of their own
    // in its place, and there the keys of the main menu do nothing.
    static void mainCommand(const char* name) {
        auto* action = mainForm()->findChild<QAction*>(QLatin1String(name));
        ASSERT_TRUE(action) << name;
        action->trigger();
        settle();
    }
    static Form1* entry() { return Screens::instance().find<Form1>(ScreenId::Form1); }
    static QLineEdit* entryBox(const char* name) {
        Form1* form = entry();
        auto* found =
            form ? form->listingForm()->findChild<QLineEdit*>(QLatin1String(name)) : nullptr;
        EXPECT_TRUE(found) << name;
        return found;
    }

    // Types `text` key by key where the cursor is.
    static void typeHere(const QString& text) {
        for (const QChar c : text) {
            QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), Qt::Key_unknown,
                                QString(c), Qt::NoModifier);
        }
    }
    // A click into the box, then `text` typed.
    static void clickAndType(QLineEdit* box, const QString& text) {
        ASSERT_TRUE(box);
        QTest::mouseClick(box, Qt::LeftButton, {}, box->rect().center());
        ASSERT_EQ(QApplication::focusWidget(), box);
        typeHere(text);
    }
    // Ctrl+Tab where the cursor is: the next listing screen of the main window.
    static void nextScreen() {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
        settle();
    }
    // Ctrl+S where the cursor is; the answer to "another listing?" is No.
    void save() {
        boxes().setNextAnswer(MessageBox::vbNo);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::ControlModifier);
        settle();
    }
    // The listing screen active in the main window.
    static Screen* activeScreen() {
        MDIForm1* window = mainForm();
        QMdiSubWindow* active = window ? window->workspace()->activeSubWindow() : nullptr;
        return active ? qobject_cast<Screen*>(active->widget()) : nullptr;
    }

    // The entry screen just opened: a blank pending row, the cursor in the
    // owner box, which shows what is typed after F2 and after a click into
    // it; with the date and the unit typed too, Ctrl+S stores the listing.
    void enterListing(const QString& owner) {
        Form1* form = entry();
        ASSERT_TRUE(form);
        ASSERT_EQ(activeScreen(), form);
        EXPECT_TRUE(form->Data1()->isNewRow());
        QLineEdit* ownerBox = entryBox("Text1");
        ASSERT_TRUE(ownerBox);
        EXPECT_TRUE(ownerBox->text().isEmpty());
        EXPECT_EQ(QApplication::focusWidget(), ownerBox);
        typeHere(owner.left(2));
        EXPECT_EQ(ownerBox->text(), owner.left(2)) << "typing after F2";
        clickAndType(ownerBox, owner.mid(2));
        EXPECT_EQ(ownerBox->text(), owner) << "typing after a click into the box";
        clickAndType(entryBox("Text6"), QStringLiteral("۱۴۰۲/۰۵/۱۰"));
        clickAndType(entryBox("Text16"), QStringLiteral("85"));
        const std::size_t shown = boxes().shown().size();
        save();
        ASSERT_EQ(boxes().shown().size(), shown + 1);
        EXPECT_EQ(boxes().shown().back().request.buttons, MessageBox::Buttons::YesNo)
            << "not the question after a stored listing: "
            << boxes().shown().back().request.text.toStdString();
        EXPECT_FALSE(entry());
    }
};

TEST_F(EntryBesideOtherScreensTest, AfterTheEditScreenOnAnEmptyStoreItTakesAListing) {
    ASSERT_TRUE(openEdit());
    ASSERT_TRUE(openEntry());
    enterListing(kOwner);
    EXPECT_EQ(ownersInTable(), QStringList{kOwner});
}

TEST_F(EntryBesideOtherScreensTest, AfterTheEditScreenOnStoredListingsItTakesANewOne) {
    const long long first = addListing({{"vila"}, "4500", "", QStringLiteral("owner 1")});
    Form7* view = openEdit();
    ASSERT_TRUE(view);
    ASSERT_EQ(viewRow(), first);
    ASSERT_TRUE(openEntry());
    enterListing(kOwner);
    // A listing of its own; the one the edit screen stands on as it was.
    EXPECT_EQ(ownersInTable(), (QStringList{QStringLiteral("owner 1"), kOwner}));
    EXPECT_EQ(storedText(first, "date"), QString());
    EXPECT_EQ(viewText("Text1"), QStringLiteral("owner 1"));
}

TEST_F(EntryBesideOtherScreensTest, AfterTheSearchScreenOnAnEmptyStoreItTakesAListing) {
    ASSERT_TRUE(openSearch());
    mainCommand("enterfile");
    enterListing(kOwner);
    EXPECT_EQ(ownersInTable(), QStringList{kOwner});
}

// A refused save leaves the typed row on the screen; switching to the edit
// screen and back stores it and starts a blank row, which takes typing.
TEST_F(EntryBesideOtherScreensTest, ComingBackFromTheEditScreenStoresTheTypedRow) {
    Form7* view = openEdit();
    ASSERT_TRUE(view);
    Form1* form = openEntry();
    ASSERT_TRUE(form);
    typeHere(kOwner);
    ASSERT_EQ(entryBox("Text1")->text(), kOwner);
    save();
    ASSERT_EQ(boxes().shown().size(), 1u);
    EXPECT_EQ(boxes().shown()[0].request.icon, MessageBox::Icon::Critical);
    EXPECT_TRUE(ownersInTable().isEmpty());

    nextScreen();
    ASSERT_EQ(activeScreen(), view);
    EXPECT_TRUE(ownersInTable().isEmpty()) << "stored before the entry screen was back";
    nextScreen();
    ASSERT_EQ(activeScreen(), form);
    EXPECT_EQ(ownersInTable(), QStringList{kOwner});
    EXPECT_TRUE(form->Data1()->isNewRow());
    EXPECT_FALSE(form->Data1()->isChanged());
    enterListing(kOtherOwner);
    EXPECT_EQ(ownersInTable(), (QStringList{kOwner, kOtherOwner}));
}

// The entry screen first, the edit screen opened from it, back with Ctrl+Tab:
// the typed row is stored and the cursor is in the owner box of the blank
// row, not in the box it was in when the screen was left.
TEST_F(EntryBesideOtherScreensTest, OpenedFirstItStoresTheTypedRowWhenItIsBackFromTheEditScreen) {
    Form1* form = openEntry();
    ASSERT_TRUE(form);
    typeHere(kOwner);
    ASSERT_EQ(entryBox("Text1")->text(), kOwner);
    clickAndType(entryBox("Text4"), QStringLiteral("خيابان ۱۲"));
    mainCommand("filedlete");
    Form7* view = edit();
    ASSERT_TRUE(view);
    ASSERT_EQ(activeScreen(), view);
    EXPECT_TRUE(ownersInTable().isEmpty());
    nextScreen();
    ASSERT_EQ(activeScreen(), form);
    ASSERT_EQ(ownersInTable(), QStringList{kOwner});
    EXPECT_EQ(storedText(1, "address"), QStringLiteral("خيابان ۱۲"));
    EXPECT_TRUE(form->Data1()->isNewRow());
    EXPECT_TRUE(entryBox("Text4")->text().isEmpty());
    enterListing(kOtherOwner);
    EXPECT_EQ(ownersInTable(), (QStringList{kOwner, kOtherOwner}));
}

// Beside an entry screen that takes typing, the edit screen with no listing
// to show still takes none: nothing would hold it.
TEST_F(EntryBesideOtherScreensTest, TheEditScreenOnAnEmptyStoreStillTakesNoTyping) {
    Form7* view = openEdit();
    ASSERT_TRUE(view);
    ASSERT_TRUE(openEntry());
    typeHere(kOwner);
    ASSERT_EQ(entryBox("Text1")->text(), kOwner);
    nextScreen();
    ASSERT_EQ(activeScreen(), view);
    auto* owner = view->listingForm()->findChild<QLineEdit*>(QStringLiteral("Text1"));
    ASSERT_TRUE(owner);
    clickAndType(owner, kOtherOwner);
    EXPECT_TRUE(owner->text().isEmpty());
    QCheckBox* flag = view->listingForm()->findChildren<QCheckBox*>().value(0);
    ASSERT_TRUE(flag);
    QTest::mouseClick(flag, Qt::LeftButton, {}, flag->rect().center());
    EXPECT_FALSE(flag->isChecked());
    ASSERT_TRUE(view->unload());
    settle();
    // Only the entry screen's row, stored as it became active again.
    EXPECT_EQ(ownersInTable(), QStringList{kOwner});
}

} // namespace
