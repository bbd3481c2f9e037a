// The edit view and its panel as windows: F6, the first listing, no menu of
// its own, the search button, the panel's single instance, layout, fonts,
// frame, caption and tab order.

#include "app/mdiform1.h"
#include "app/workspace.h"
#include "platform/twips.h"
#include "screens/common/listinglayout.h"
#include "screens/edit/form7.h"
#include "screens/edit/form8.h"
#include "tests/gui/editfixture.h"
#include "tests/gui/form8expect.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QWindow>

#include <algorithm>
#include <iterator>
#include <vector>

using namespace velmoran;
using namespace velmoran::test;

namespace {

QString utf8(const char* text) {
    return QString::fromUtf8(text);
}

using EditViewTest = EditTest;

TEST_F(EditViewTest, F6OpensTheViewOnTheFirstListingWithTheMainMenuInForce) {
    const long long first = addListing({{"vila", "rahn"}, "4500", "", QStringLiteral("owner 1")});
    addListing({{"apartman"}, "900", "", QStringLiteral("owner 2")});
    Form7* view = openEdit();
    ASSERT_TRUE(view);
    EXPECT_TRUE(view->isVisible());
    EXPECT_EQ(viewRow(), first);
    EXPECT_EQ(viewText("Text1"), QStringLiteral("owner 1"));
    EXPECT_EQ(viewText("Text10"), QStringLiteral("4500"));
    EXPECT_EQ(view->listingForm()->variant(), ListingVariant::Edit);

    // No menu of its own: the main menu stays.
    MDIForm1* window = mainForm();
    QList<QAction*> main;
    for (QMenu* menu : window->mainMenus()) {
        main << menu->menuAction();
    }
    EXPECT_EQ(window->menuBar()->actions(), main);
    EXPECT_TRUE(view->menuBarMenus().isEmpty());

    // Its button: caption, font, place, first in the tab order.
    QPushButton* search = view->Command1();
    ASSERT_TRUE(search);
    EXPECT_EQ(search->objectName(), QStringLiteral("Command1"));
    EXPECT_EQ(search->text(), utf8(kEditSearchCaption));
    EXPECT_EQ(search->font().family(), QStringLiteral("B Badr"));
    EXPECT_DOUBLE_EQ(search->font().pointSizeF(), 15.75);
    EXPECT_TRUE(search->font().bold());
    EXPECT_EQ(search->geometry(), view->listingForm()->pixels(QRect(4680, 7995, 1770, 405)));
    ASSERT_EQ(view->listingForm()->tabOrder().size(), 104);
    EXPECT_EQ(view->listingForm()->tabOrder().first(), search);
    EXPECT_FALSE(search->autoDefault() || search->isDefault());

    // F6 again: the same screen on the same listing.
    type(view, "Text2", QStringLiteral("typed"));
    QTest::keyClick(window, Qt::Key_F6);
    settle();
    EXPECT_EQ(edit(), view);
    EXPECT_EQ(viewRow(), first);
    EXPECT_EQ(viewText("Text2"), QStringLiteral("typed"));
}

TEST_F(EditViewTest, OnAnEmptyTableTheFieldsAreEmptyAndNothingIsStored) {
    Form7* view = openEdit();
    ASSERT_TRUE(view);
    EXPECT_EQ(viewRow(), 0);
    for (QLineEdit* field : view->listingForm()->findChildren<QLineEdit*>()) {
        EXPECT_TRUE(field->text().isEmpty()) << qPrintable(field->objectName());
    }
    ASSERT_TRUE(view->unload());
    settle();
    EXPECT_TRUE(ownersInTable().isEmpty());
    EXPECT_TRUE(boxes().shown().empty());
}

TEST_F(EditViewTest, WithNoListingShownTheFieldsTakeNoTypingThatWouldBeLost) {
    Form7* view = openEdit();
    ASSERT_TRUE(view);
    auto* owner = view->listingForm()->findChild<QLineEdit*>(QStringLiteral("Text1"));
    ASSERT_TRUE(owner);
    QTest::keyClicks(owner, QStringLiteral("typed"));
    QCheckBox* flag = view->listingForm()->findChildren<QCheckBox*>().value(0);
    ASSERT_TRUE(flag);
    QTest::mouseClick(flag, Qt::LeftButton, {}, flag->rect().center());
    // Nothing stands on the screen that the table will not hold.
    EXPECT_TRUE(owner->text().isEmpty());
    EXPECT_FALSE(flag->isChecked());
    ASSERT_TRUE(view->unload());
    settle();
    EXPECT_TRUE(ownersInTable().isEmpty());
}

TEST_F(EditViewTest, TheButtonShowsOnePanelModelessWithItsBoxesUntilClosed) {
    ASSERT_TRUE(openEdit());
    Form8* panel = openEditPanel();
    ASSERT_TRUE(panel);
    EXPECT_TRUE(panel->isWindow());
    EXPECT_EQ(panel->parentWidget(), nullptr);
    EXPECT_FALSE(panel->isModal());
    // The main window stays switched on.
    MDIForm1* window = mainForm();
    EXPECT_TRUE(window->menuBar()->isEnabled());
    EXPECT_TRUE(window->workspace()->isEnabled());
    // It stays above the main window when the user clicks into the view.
    ASSERT_TRUE(panel->windowHandle());
    EXPECT_EQ(panel->windowHandle()->transientParent(), window->windowHandle());
    // The focus opens on the rent row's search.
    EXPECT_EQ(QApplication::focusWidget(), button(panel, "Command6"));

    type(panel, "Text5", QStringLiteral("kept"));
    EXPECT_EQ(openEditPanel(), panel);
    EXPECT_EQ(box(panel, "Text5")->text(), QStringLiteral("kept"));
    EXPECT_EQ(QApplication::topLevelWidgets().count(panel), 1);

    // Closing discards what was typed.
    ASSERT_TRUE(panel->close());
    settle();
    EXPECT_FALSE(editPanel());
    Form8* again = openEditPanel();
    ASSERT_TRUE(again);
    EXPECT_EQ(box(again, "Text5")->text(), QString());

    // The main window's sweep closes both.
    ASSERT_TRUE(window->unload());
    settle();
    EXPECT_FALSE(edit());
    EXPECT_FALSE(editPanel());
}

TEST_F(EditViewTest, ThePanelIsLaidOutAsDesigned) {
    ASSERT_TRUE(openEdit());
    Form8* panel = openEditPanel();
    ASSERT_TRUE(panel);
    const auto pixels = [panel](int left, int top, int width, int height) {
        return twipsRect(left, top, width, height, panel->logicalDpiX(), panel->logicalDpiY());
    };
    // Frame, client area and caption.
    EXPECT_EQ(panel->windowTitle(), utf8(kEditPanelCaption));
    EXPECT_TRUE(panel->windowFlags().testFlag(Qt::Tool));
    EXPECT_FALSE(panel->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(panel->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    expectDesignedLayout(panel);
    EXPECT_EQ(panel->minimumSize(), panel->maximumSize());

    // Every control by its name, with its caption; left 0 is the panel's
    // left edge, where the high bounds and the delete button stand.
    std::vector<std::pair<int, QString>> tabIndexes;
    for (const ExpectedEditControl& expected : kExpectedEditControls) {
        SCOPED_TRACE(expected.name);
        QWidget* control = panel->findChild<QWidget*>(QLatin1String(expected.name));
        ASSERT_TRUE(control);
        if (auto* label = qobject_cast<QLabel*>(control)) {
            EXPECT_EQ(label->text(), utf8(expected.caption));
            continue;
        }
        tabIndexes.emplace_back(expected.tabIndex, control->objectName());
        if (auto* pushed = qobject_cast<QPushButton*>(control)) {
            EXPECT_EQ(pushed->text(), utf8(expected.caption));
            EXPECT_FALSE(pushed->autoDefault() || pushed->isDefault());
        } else {
            EXPECT_TRUE(qobject_cast<QLineEdit*>(control));
        }
    }
    EXPECT_EQ(button(panel, "Command9")->geometry(), pixels(0, 1755, 1380, 405));
    EXPECT_EQ(box(panel, "Text5")->layoutDirection(), Qt::RightToLeft);
    const QFont remove = button(panel, "Command9")->font();
    EXPECT_EQ(remove.family(), QStringLiteral("B Badr"));
    EXPECT_DOUBLE_EQ(remove.pointSizeF(), 15.75);
    EXPECT_TRUE(remove.bold());
    EXPECT_EQ(box(panel, "Text5")->font().family(), QStringLiteral("B Nazanin"));
    EXPECT_EQ(panel->findChild<QLabel*>(QStringLiteral("Label3"))->font().family(),
              QStringLiteral("B Jadid"));
    EXPECT_EQ(button(panel, "Command7")->font(), panel->font());

    // The tab order of the design, walked with Tab from Command6.
    std::sort(tabIndexes.begin(), tabIndexes.end());
    ASSERT_EQ(tabIndexes.size(), 16u);
    ASSERT_EQ(tabIndexes.front().second, QStringLiteral("Command6"));
    ASSERT_EQ(QApplication::focusWidget(), button(panel, "Command6"));
    for (std::size_t i = 1; i <= tabIndexes.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        ASSERT_TRUE(QApplication::focusWidget());
        EXPECT_EQ(QApplication::focusWidget()->objectName(),
                  tabIndexes[i % tabIndexes.size()].second);
    }
}

} // namespace
