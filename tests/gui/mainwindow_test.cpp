#include "app/form9.h"
#include "app/mdiform1.h"
#include "app/workspace.h"
#include "data/core/fields.h"
#include "data/sqlite/sqlite.h"
#include "data/store/recordsource.h"
#include "platform/twips.h"
#include "tests/gui/apptest.h"
#include "ui/artwork.h"

#include <QAction>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

#include <sqlite3.h>

using namespace velmoran;
using namespace velmoran::test;

namespace {

struct ExpectedItem {
    const char* name;
    bool top;
    const char* caption;
    const char* shortcut;
};

// The menu tree, in menu-bar order, captions with their padding blanks.
const ExpectedItem kExpectedMenu[] = {
    {"file", true, "        فايل               ", ""},
    {"enterfile", false, "وارد كردن فايل", "F2"},
    {"mnuline01", false, "-", ""},
    {"filedlete", false, "حذف فايل", "F6"},
    {"EXIT", true, "      خـــروج          ", ""},
    {"exitapp", false, "خروج از برنامه", "F11"},
    {"exitwin", false, "خروج از ويندوز", "F12"},
    {"search", true, "       جستجو          ", ""},
    {"searchoneone", false, "جستجو ", "F3"},
    {"SETTING", true, "    تنظيمات      ", ""},
    {"CHNAGEPASS", false, "    تغيير رمز عبور       ", "F8"},
    {"screensaver", false, "     محافظ صفحه       ", "F9"},
    {"about", true, "       درباره         ", ""},
    {"aboutapp", false, "   درباره  برنامه     ", "F5"},
    {"aboutus", false, "  درباره  ما    ", "F1"},
    {"CONTACTUS", false, "  ارتباط با ما         ", "F7"},
    {"applicants", true, "متقاضيان", ""},
    {"applicantlist", false, "فهرست متقاضيان", "Ctrl+L"},
    {"newapplicant", false, "متقاضي جديد", "Ctrl+N"},
};

const QString kExitQuestion = QStringLiteral("آيا مايل به خروج از برنامه مي باشيد ؟");
const QString kExitTitle = QStringLiteral("خروج از برنامه . . . ! ! !");

class MainWindowTest : public AppTest {
protected:
    MDIForm1* openMain() {
        MDIForm1* window = showMainForm();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window));
        return window;
    }
    QAction* action(MDIForm1* window, const char* name) {
        auto* found = window->findChild<QAction*>(QString::fromLatin1(name));
        EXPECT_TRUE(found) << name;
        return found;
    }
    QList<QAction*> menuBarActions(MDIForm1* window) { return window->menuBar()->actions(); }
    QList<QAction*> mainMenuActions(MDIForm1* window) {
        QList<QAction*> actions;
        for (QMenu* menu : window->mainMenus()) {
            actions << menu->menuAction();
        }
        return actions;
    }
    // Logs in with the master password; the main window is then open.
    MDIForm1* logIn() {
        auto* form = qobject_cast<Form9*>(screens().show(ScreenId::Form9));
        EXPECT_TRUE(form);
        form->findChild<QLineEdit*>(QStringLiteral("Text1"))
            ->setText(QStringLiteral("QORVATELKS58"));
        form->Command1_Click();
        settle();
        EXPECT_FALSE(screens().isLoaded(ScreenId::Form9));
        return mainForm();
    }
    void renameTable(const char* from, const char* to) {
        sql::Database db(folder() + QStringLiteral("/pc.db"), SQLITE_OPEN_READWRITE);
        db.exec(QStringLiteral("ALTER TABLE %1 RENAME TO %2")
                    .arg(QLatin1String(from), QLatin1String(to)));
    }
};

TEST_F(MainWindowTest, MenuTreeFollowsTheTableCharacterForCharacter) {
    MDIForm1* window = openMain();
    QStringList names, captions, shortcuts;
    for (QAction* top : menuBarActions(window)) {
        ASSERT_TRUE(top->menu());
        names << top->menu()->objectName();
        captions << top->menu()->title();
        shortcuts << QString();
        for (QAction* item : top->menu()->actions()) {
            names << item->objectName();
            // The caption "-" is a separator, a plain line without text.
            captions << (item->isSeparator() && item->text().isEmpty() ? QStringLiteral("-")
                                                                       : item->text());
            shortcuts << item->shortcut().toString();
            EXPECT_EQ(item->isSeparator(), item->objectName() == QLatin1String("mnuline01"));
        }
    }
    QStringList expectedNames, expectedCaptions, expectedShortcuts;
    for (const ExpectedItem& item : kExpectedMenu) {
        expectedNames << QString::fromLatin1(item.name);
        expectedCaptions << QString::fromUtf8(item.caption);
        expectedShortcuts << QString::fromLatin1(item.shortcut);
    }
    EXPECT_EQ(names, expectedNames);
    EXPECT_EQ(captions, expectedCaptions);
    EXPECT_EQ(shortcuts, expectedShortcuts);
}

TEST_F(MainWindowTest, StartsWithAnEmptyCaptionItsIconAndTheBackgroundPicture) {
    MDIForm1* window = openMain();
    EXPECT_TRUE(window->caption().isEmpty());
    EXPECT_TRUE(window->isMaximized() ||
                window->geometry().size() == window->screen()->availableGeometry().size());
    const QIcon icon = window->windowIcon();
    EXPECT_FALSE(icon.isNull());
    QList<QSize> sizes;
    for (const int size : kIconSizes) {
        sizes << QSize(size, size);
    }
    EXPECT_EQ(icon.availableSizes(), sizes);
    // Drawn from the program's SVG: the tile's corner is clear, the roof red.
    const QImage drawn = icon.pixmap(QSize(48, 48)).toImage();
    EXPECT_EQ(drawn.pixelColor(0, 0).alpha(), 0);
    EXPECT_EQ(drawn.pixelColor(24, 16).name(), QStringLiteral("#d95532"));
    EXPECT_EQ(drawn.pixelColor(24, 42).name(), QStringLiteral("#5f9e3e"));
    EXPECT_EQ(window->workspace()->picture().size(), QSize(kBackgroundWidth, kBackgroundHeight));
}

TEST_F(MainWindowTest, ChoosingACommandTwiceOpensOneScreen) {
    registerProbe(ScreenId::Form2);
    registerProbe(ScreenId::Form10);
    MDIForm1* window = openMain();
    action(window, "searchoneone")->trigger();
    QTest::keyClick(window, Qt::Key_F3);
    EXPECT_EQ(made(ScreenId::Form2), 1);
    EXPECT_EQ(window->workspace()->subWindowList().size(), 1);
    EXPECT_EQ(probe(ScreenId::Form2)->loads, 1);

    action(window, "CHNAGEPASS")->trigger();
    action(window, "CHNAGEPASS")->trigger();
    EXPECT_EQ(made(ScreenId::Form10), 1);
    EXPECT_TRUE(probe(ScreenId::Form10)->isWindow());
    EXPECT_TRUE(probe(ScreenId::Form10)->isVisible());
}

TEST_F(MainWindowTest, ListingScreensAreMaximisedChildrenOthersWindowsOfTheirOwn) {
    registerProbe(ScreenId::Form7);
    registerProbe(ScreenId::Form5);
    MDIForm1* window = openMain();
    QTest::keyClick(window, Qt::Key_F6);
    ProbeScreen* child = probe(ScreenId::Form7);
    ASSERT_TRUE(child);
    auto* sub = qobject_cast<QMdiSubWindow*>(child->parentWidget());
    ASSERT_TRUE(sub);
    EXPECT_EQ(sub->mdiArea(), window->workspace());
    EXPECT_TRUE(sub->isMaximized());

    QTest::keyClick(window, Qt::Key_F5);
    ASSERT_TRUE(probe(ScreenId::Form5));
    EXPECT_TRUE(probe(ScreenId::Form5)->isWindow());
}

TEST_F(MainWindowTest, AListingScreenLeftBehindFillsTheWindowAgainWhenTheOneAboveCloses) {
    registerProbe(ScreenId::Form7);
    registerProbe(ScreenId::Form1);
    MDIForm1* window = openMain();
    QTest::keyClick(window, Qt::Key_F6);
    QTest::keyClick(window, Qt::Key_F2);
    ASSERT_TRUE(probe(ScreenId::Form7) && probe(ScreenId::Form1));
    auto* below = qobject_cast<QMdiSubWindow*>(probe(ScreenId::Form7)->parentWidget());
    ASSERT_TRUE(below);

    // Entry done (its close box, a Cancel or a No after saving).
    ASSERT_TRUE(screens().unload(ScreenId::Form1));
    settle();
    EXPECT_TRUE(below->isVisible());
    EXPECT_TRUE(below->isMaximized());
    EXPECT_EQ(window->workspace()->activeSubWindow(), below);
    EXPECT_EQ(below->geometry(), window->workspace()->viewport()->rect());
}

TEST_F(MainWindowTest, RestoredTheMainWindowIsANormalWindowInsideTheWorkArea) {
    MDIForm1* window = openMain();
    EXPECT_TRUE(window->isMaximized());
    const QRect area = window->screen()->availableGeometry();
    window->showNormal();
    settle();
    EXPECT_FALSE(window->isMaximized());
    // Inside the work area with room above it for the desktop's title bar
    // and on every side for its frame, so the close box can be reached.
    const QRect frame = window->frameGeometry();
    EXPECT_TRUE(area.contains(frame)) << frame.x() << "," << frame.y();
    EXPECT_GE(window->geometry().top() - area.top(), 30);
    EXPECT_GE(window->geometry().left() - area.left(), 10);
    EXPECT_GE(area.right() - window->geometry().right(), 10);
    EXPECT_GE(area.bottom() - window->geometry().bottom(), 10);
    window->showMaximized();
    settle();
    EXPECT_TRUE(window->isMaximized());
}

TEST_F(MainWindowTest, AListingScreenRestoredByItsButtonKeepsTheSizeItWasDrawnFor) {
    registerProbe(ScreenId::Form7);
    MDIForm1* window = openMain();
    QTest::keyClick(window, Qt::Key_F6);
    ASSERT_TRUE(probe(ScreenId::Form7));
    auto* sub = qobject_cast<QMdiSubWindow*>(probe(ScreenId::Form7)->parentWidget());
    ASSERT_TRUE(sub);
    sub->showNormal();
    settle();
    // The main window's design client area, 11880 x 8190 twips.
    EXPECT_GE(sub->width(), twipsToPixels(11880, sub->logicalDpiX()));
    EXPECT_GE(sub->height(), twipsToPixels(8190, sub->logicalDpiY()));
    // Most of it within the workspace, not pushed out of sight.
    const QRect seen = sub->geometry() & window->workspace()->viewport()->rect();
    EXPECT_GE(seen.width(), sub->width() * 9 / 10);
    sub->showMaximized();
    EXPECT_EQ(sub->geometry(), window->workspace()->viewport()->rect());
}

TEST_F(MainWindowTest, CommandsWhoseScreensDoNotExistYetDoNothing) {
    screens().discardAll(); // no screen registered at all
    screens().registerMainWindow([] { return new MDIForm1; });
    MDIForm1* window = openMain();
    for (const char* name : {"enterfile", "filedlete", "searchoneone", "CHNAGEPASS", "screensaver",
                             "aboutapp", "aboutus", "CONTACTUS"}) {
        action(window, name)->trigger();
    }
    EXPECT_FALSE(screens().anyLoaded());
    EXPECT_EQ(mainForm(), window);
    EXPECT_TRUE(boxes().shown().empty());
}

TEST_F(MainWindowTest, ScreenWhoseLoadFailsIsNotOpenedAndTheFailureIsShown) {
    registerProbe(ScreenId::Form2, {false, false, true});
    MDIForm1* window = openMain();
    action(window, "searchoneone")->trigger();
    EXPECT_FALSE(screens().isLoaded(ScreenId::Form2));
    ASSERT_EQ(boxes().shown().size(), 1u);
    EXPECT_EQ(boxes().shown().front().request.icon, MessageBox::Icon::Critical);
    EXPECT_TRUE(window->workspace()->subWindowList().isEmpty());
}

TEST_F(MainWindowTest, ExitAnsweredNoLeavesEverythingAsItWas) {
    registerProbe(ScreenId::Form2);
    MDIForm1* window = openMain();
    action(window, "searchoneone")->trigger();
    QSignalSpy ended(&screens(), &Screens::programEnded);
    boxes().setNextAnswer(MessageBox::vbNo);
    QTest::keyClick(window, Qt::Key_F11);

    ASSERT_EQ(boxes().shown().size(), 1u);
    const MessageBox::Request& box = boxes().shown().front().request;
    EXPECT_EQ(box.text, kExitQuestion);
    EXPECT_EQ(box.title, kExitTitle);
    EXPECT_EQ(box.icon, MessageBox::Icon::None);
    EXPECT_EQ(box.buttons, MessageBox::Buttons::YesNo);
    EXPECT_EQ(window->exitAnswer(), MessageBox::vbNo);
    EXPECT_EQ(mainForm(), window);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(probe(ScreenId::Form2)->unloads, 0);
    EXPECT_EQ(ended.count(), 0);
}

TEST_F(MainWindowTest, ExitAnsweredYesUnloadsTheMainWindowAndEndsTheProgram) {
    registerProbe(ScreenId::Form2);
    MDIForm1* window = openMain();
    action(window, "searchoneone")->trigger();
    QSignalSpy ended(&screens(), &Screens::programEnded);
    boxes().setNextAnswer(MessageBox::vbYes);
    action(window, "exitapp")->trigger();
    EXPECT_EQ(window->exitAnswer(), MessageBox::vbYes);
    EXPECT_FALSE(mainForm());
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(unloadOrder, std::vector<ScreenId>{ScreenId::Form2});
    EXPECT_EQ(ended.count(), 1);
}

TEST_F(MainWindowTest, CloseBoxUnloadsWithoutAsking) {
    MDIForm1* window = openMain();
    QSignalSpy ended(&screens(), &Screens::programEnded);
    EXPECT_TRUE(window->close());
    EXPECT_TRUE(boxes().shown().empty());
    EXPECT_FALSE(mainForm());
    EXPECT_EQ(ended.count(), 1);
}

TEST_F(MainWindowTest, SweepUnloadsTheScreensInItsOrderAndLeavesTheOthersOpen) {
    const QList<ScreenId> all = {ScreenId::Form13, ScreenId::Form12, ScreenId::Form11,
                                 ScreenId::Form10, ScreenId::Form9,  ScreenId::Form8,
                                 ScreenId::Form7,  ScreenId::Form6,  ScreenId::Form5,
                                 ScreenId::Form4,  ScreenId::Form2,  ScreenId::Form1};
    openMain();
    for (ScreenId id : all) {
        registerProbe(id);
        ASSERT_TRUE(screens().show(id));
    }
    QSignalSpy ended(&screens(), &Screens::programEnded);
    ASSERT_TRUE(mainForm()->unload());

    const std::vector<ScreenId> expected = {
        ScreenId::Form1, ScreenId::Form2, ScreenId::Form4, ScreenId::Form5,  ScreenId::Form6,
        ScreenId::Form7, ScreenId::Form8, ScreenId::Form9, ScreenId::Form10, ScreenId::Form13};
    EXPECT_EQ(unloadOrder, expected);
    // The contact screen and the screensaver keep the program running.
    EXPECT_TRUE(screens().isLoaded(ScreenId::Form11));
    EXPECT_TRUE(screens().isLoaded(ScreenId::Form12));
    EXPECT_EQ(ended.count(), 0);
    screens().unload(ScreenId::Form11);
    screens().unload(ScreenId::Form12);
    EXPECT_EQ(ended.count(), 1);
}

TEST_F(MainWindowTest, ChangedStoredPasswordReachesTableOnlyThroughTheSweep) {
    setPasswordInTable(QStringLiteral("old"));
    logIn();
    ASSERT_EQ(Form9::storedPassword(), QStringLiteral("old"));
    Form9* holder = screens().find<Form9>(ScreenId::Form9);
    ASSERT_TRUE(holder);
    EXPECT_FALSE(holder->isVisible());

    ASSERT_TRUE(Form9::setStoredPassword(QStringLiteral("new one")));
    EXPECT_EQ(Form9::storedPassword(), QStringLiteral("new one"));
    EXPECT_EQ(passwordInTable(), QStringLiteral("old"));

    boxes().setNextAnswer(MessageBox::vbYes);
    mainForm()->exitapp_Click();
    EXPECT_FALSE(screens().isLoaded(ScreenId::Form9));
    EXPECT_EQ(passwordInTable(), QStringLiteral("new one"));
}

TEST_F(MainWindowTest, StoredPasswordHolderReadsTheTableAfresh) {
    logIn();
    setPasswordInTable(QStringLiteral("changed elsewhere"));
    EXPECT_EQ(Form9::storedPassword(), QStringLiteral("changed elsewhere"));
}

TEST_F(MainWindowTest, StoredPasswordIsKeptEvenWhenTheTableHasNoRow) {
    {
        RecordSource source(folder(), passwordTable());
        source.Delete();
    }
    logIn();
    ASSERT_TRUE(Form9::setStoredPassword(QStringLiteral("fresh")));
    ASSERT_TRUE(mainForm()->close());
    EXPECT_EQ(passwordInTable(), QStringLiteral("fresh"));
}

TEST_F(MainWindowTest, FailedWriteBackKeepsTheScreenAndTheMainWindowOpen) {
    registerProbe(ScreenId::Form2);
    MDIForm1* window = logIn();
    screens().show(ScreenId::Form2);
    ASSERT_TRUE(Form9::setStoredPassword(QStringLiteral("kept")));
    renameTable("pc", "pc_away");
    QSignalSpy ended(&screens(), &Screens::programEnded);

    EXPECT_FALSE(window->close());
    ASSERT_EQ(boxes().shown().size(), 1u);
    EXPECT_EQ(boxes().shown().front().request.icon, MessageBox::Icon::Critical);
    EXPECT_FALSE(boxes().shown().front().request.text.isEmpty());
    EXPECT_TRUE(screens().isLoaded(ScreenId::Form9));
    EXPECT_EQ(mainForm(), window);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(ended.count(), 0);
    EXPECT_EQ(Form9::storedPassword(), QStringLiteral("kept"));

    renameTable("pc_away", "pc");
    EXPECT_TRUE(window->close());
    EXPECT_EQ(ended.count(), 1);
    EXPECT_EQ(passwordInTable(), QStringLiteral("kept"));
}

TEST_F(MainWindowTest, LockSwitchesTheMainWindowOffAndOnAgain) {
    registerProbe(ScreenId::Form2);
    MDIForm1* window = openMain();
    setMainWindowEnabled(false);
    EXPECT_FALSE(window->menuBar()->isEnabled());
    EXPECT_FALSE(window->workspace()->isEnabled());
    QTest::keyClick(window, Qt::Key_F3);
    action(window, "searchoneone")->trigger();
    EXPECT_FALSE(screens().isLoaded(ScreenId::Form2));
    EXPECT_FALSE(window->close());
    EXPECT_EQ(mainForm(), window);
    EXPECT_TRUE(window->isVisible());

    setMainWindowEnabled(true);
    EXPECT_TRUE(window->menuBar()->isEnabled());
    QTest::keyClick(window, Qt::Key_F3);
    EXPECT_TRUE(screens().isLoaded(ScreenId::Form2));
}

TEST_F(MainWindowTest, ChildMenuBarStandsInForTheMainMenuWhileItIsTheActiveChild) {
    registerProbe(ScreenId::Form2, {true});
    registerProbe(ScreenId::Form7);
    MDIForm1* window = openMain();
    const QList<QAction*> mainMenu = mainMenuActions(window);
    ASSERT_EQ(menuBarActions(window), mainMenu);

    screens().show(ScreenId::Form2);
    const QList<QAction*> probeMenu = {
        probe(ScreenId::Form2)->menuBarMenus().front()->menuAction()};
    EXPECT_EQ(menuBarActions(window), probeMenu);

    screens().show(ScreenId::Form7);
    EXPECT_EQ(menuBarActions(window), mainMenu);

    screens().show(ScreenId::Form2);
    EXPECT_EQ(menuBarActions(window), probeMenu);

    screens().unload(ScreenId::Form2);
    EXPECT_EQ(menuBarActions(window), mainMenu);
    screens().show(ScreenId::Form2);
    EXPECT_EQ(menuBarActions(window).size(), 1);
    screens().unload(ScreenId::Form7);
    screens().unload(ScreenId::Form2);
    settle();
    EXPECT_EQ(menuBarActions(window), mainMenu);
}

TEST_F(MainWindowTest, ChildActivationRunsOncePerSwitchOfTheActiveChild) {
    registerProbe(ScreenId::Form2);
    registerProbe(ScreenId::Form7);
    openMain();
    screens().show(ScreenId::Form2);
    screens().show(ScreenId::Form2);
    EXPECT_EQ(probe(ScreenId::Form2)->activations, 1);
    screens().show(ScreenId::Form7);
    EXPECT_EQ(probe(ScreenId::Form7)->activations, 1);
    screens().show(ScreenId::Form2);
    EXPECT_EQ(probe(ScreenId::Form2)->activations, 2);
    // The child that takes over when the active one unloads is activated.
    screens().unload(ScreenId::Form2);
    EXPECT_EQ(probe(ScreenId::Form7)->activations, 2);
}

TEST_F(MainWindowTest, WindowActivationRunsWhenComingFromAnotherScreenOnly) {
    registerProbe(ScreenId::Form10);
    registerProbe(ScreenId::Form5);
    openMain();
    ProbeScreen* dialog = static_cast<ProbeScreen*>(screens().show(ScreenId::Form10));
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
    EXPECT_EQ(dialog->activations, 1);

    // A window that is no screen (a message box, say) coming and going is no
    // activation.
    QWidget box;
    box.show();
    box.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&box));
    box.hide();
    dialog->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
    EXPECT_EQ(dialog->activations, 1);

    ProbeScreen* other = static_cast<ProbeScreen*>(screens().show(ScreenId::Form5));
    ASSERT_TRUE(QTest::qWaitForWindowActive(other));
    EXPECT_EQ(other->activations, 1);
    screens().show(ScreenId::Form10);
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
    EXPECT_EQ(dialog->activations, 2);
}

TEST_F(MainWindowTest, ExitWindowsCallsTheDesktopDialogAndKeepsRunning) {
    MDIForm1* window = openMain();
    QTest::keyClick(window, Qt::Key_F12);
    EXPECT_EQ(exitWindows().calls(), 1);
    EXPECT_EQ(mainForm(), window);
    EXPECT_TRUE(boxes().shown().empty());
}

} // namespace
