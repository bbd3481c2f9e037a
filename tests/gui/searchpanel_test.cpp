// The search screen and its two panels as windows: menus, layout, fonts,
// frames, tab order, single instances.

#include "app/mdiform1.h"
#include "platform/twips.h"
#include "screens/common/listinglayout.h"
#include "screens/search/form13.h"
#include "screens/search/form2.h"
#include "screens/search/form4.h"
#include "tests/gui/findpressexpect.h"
#include "tests/gui/searchfixture.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>

using namespace velmoran;
using namespace velmoran::test;

namespace {

QString utf8(const char* text) {
    return QString::fromUtf8(text);
}

class SearchScreenTest : public SearchTest {
protected:
    QRect pixels(QWidget* widget, int left, int top, int width, int height) {
        return twipsRect(left, top, width, height, widget->logicalDpiX(), widget->logicalDpiY());
    }
};

TEST_F(SearchScreenTest, F3OpensTheSearchScreenOnTheFirstListingWithItsOwnMenu) {
    const long long first = addListing({{"apartman", "fooroosh"}, "4500", "", "first owner"});
    addListing({{"vila", "rahn"}, "900", "", "second owner"});
    Form2* form = openSearch();
    ASSERT_TRUE(form);
    EXPECT_EQ(shownRow(), first);
    EXPECT_EQ(shownPrice(), QStringLiteral("4500"));
    auto* owner = form->listingForm()->findChild<QLineEdit*>(QStringLiteral("Text1"));
    ASSERT_TRUE(owner);
    EXPECT_EQ(owner->text(), QStringLiteral("first owner"));
    // The same bound fields as the entry screen, all 103.
    EXPECT_EQ(form->listingForm()->tabOrder().size(), 103);

    // Its menu stands in the main menu bar.
    MDIForm1* window = mainForm();
    const QList<QAction*> bar = window->menuBar()->actions();
    ASSERT_EQ(bar.size(), 1);
    QMenu* file = bar.first()->menu();
    ASSERT_TRUE(file);
    EXPECT_EQ(file->objectName(), QStringLiteral("file"));
    EXPECT_EQ(file->title(), utf8(kFileMenuCaption));
    const QList<QAction*> items = file->actions();
    ASSERT_EQ(items.size(), 2);
    EXPECT_EQ(items[0]->objectName(), QStringLiteral("mosvilaapasearch"));
    EXPECT_EQ(items[0]->text(), utf8(kResidentialCaption));
    EXPECT_EQ(items[1]->objectName(), QStringLiteral("mghazehkolanghidaftarehkarsearch"));
    EXPECT_EQ(items[1]->text(), utf8(kCommercialCaption));

    // F3 again: the same screen. Closed: the main menu is back.
    QTest::keyClick(window, Qt::Key_F3);
    EXPECT_EQ(search(), form);
    ASSERT_TRUE(form->unload());
    settle();
    QList<QAction*> main;
    for (QMenu* menu : window->mainMenus()) {
        main << menu->menuAction();
    }
    EXPECT_EQ(window->menuBar()->actions(), main);
}

TEST_F(SearchScreenTest, EachPanelIsOneWindowKeptWithItsBoxesUntilClosed) {
    ASSERT_TRUE(openSearch());
    for (const auto& [command, id] :
         {std::pair{"mghazehkolanghidaftarehkarsearch", ScreenId::Form4},
          std::pair{"mosvilaapasearch", ScreenId::Form13}}) {
        SCOPED_TRACE(command);
        SearchPanel* panel = openPanel(command, id);
        ASSERT_TRUE(panel);
        EXPECT_TRUE(panel->isWindow());
        EXPECT_TRUE(panel->isVisible());
        // Not a child of the main window or of the search screen.
        EXPECT_EQ(panel->parentWidget(), nullptr);
        QLineEdit* first = qobject_cast<QLineEdit*>(panel->tabOrder().first());
        ASSERT_TRUE(first);
        type(panel, first->objectName().toLatin1().constData(), QStringLiteral("1234"));

        EXPECT_EQ(openPanel(command, id), panel);
        EXPECT_EQ(first->text(), QStringLiteral("1234"));
        EXPECT_EQ(QApplication::topLevelWidgets().count(panel), 1);

        // Closing discards what was typed.
        ASSERT_TRUE(panel->close());
        settle();
        EXPECT_FALSE(screens().isLoaded(id));
        SearchPanel* again = openPanel(command, id);
        ASSERT_TRUE(again);
        for (QLineEdit* edit : again->findChildren<QLineEdit*>()) {
            EXPECT_TRUE(edit->text().isEmpty()) << qPrintable(edit->objectName());
        }
    }
    // Closing the search screen leaves the panels open.
    ASSERT_TRUE(search()->unload());
    settle();
    EXPECT_TRUE(screens().isLoaded(ScreenId::Form4));
    EXPECT_TRUE(screens().isLoaded(ScreenId::Form13));
    // The main window's sweep closes them.
    ASSERT_TRUE(mainForm()->unload());
    settle();
    EXPECT_FALSE(screens().isLoaded(ScreenId::Form4));
    EXPECT_FALSE(screens().isLoaded(ScreenId::Form13));
}

TEST_F(SearchScreenTest, PanelsOpenUnderTheMenuBarLeavingTheChildButtonsFree) {
    ASSERT_TRUE(openSearch());
    MDIForm1* window = mainForm();
    // Wherever the main window stands, the panels leave its menu bar, with
    // the search screen's own buttons in it, to be clicked.
    window->showNormal();
    window->setGeometry(60, 240, 700, 500);
    settle();
    const QRect menuBar(window->menuBar()->mapToGlobal(QPoint()), window->menuBar()->size());
    SearchPanel* form4 = openForm4();
    SearchPanel* form13 = openForm13();
    ASSERT_TRUE(form4 && form13);
    for (SearchPanel* panel : {form4, form13}) {
        SCOPED_TRACE(qPrintable(panel->objectName()));
        EXPECT_GT(panel->frameGeometry().top(), menuBar.bottom());
    }
}

TEST_F(SearchScreenTest, PanelsOpenWithTheFocusInTheirFirstBoxAndTabInDesignOrder) {
    ASSERT_TRUE(openSearch());
    const struct {
        bool commercial;
        const char* const* order;
        std::size_t count;
    } panels[] = {
        {true, kForm4TabOrder, std::size(kForm4TabOrder)},
        {false, kForm13TabOrder, std::size(kForm13TabOrder)},
    };
    for (const auto& p : panels) {
        SearchPanel* panel = p.commercial ? openForm4() : openForm13();
        ASSERT_TRUE(panel);
        SCOPED_TRACE(qPrintable(panel->objectName()));
        EXPECT_EQ(panel->tabOrder().size(), static_cast<int>(p.count));
        // Text48 on the commercial panel, Text11 on the residential one.
        ASSERT_EQ(QApplication::focusWidget(), box(panel, p.order[0]));
        for (std::size_t i = 1; i <= p.count; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            const char* expected = p.order[i % p.count]; // Tab goes round
            ASSERT_TRUE(QApplication::focusWidget());
            EXPECT_EQ(QApplication::focusWidget()->objectName(), QLatin1String(expected));
        }
    }
}

TEST_F(SearchScreenTest, PanelsAreLaidOutInTwipsWithTheirFontsAndFrames) {
    ASSERT_TRUE(openSearch());
    SearchPanel* form4 = openForm4();
    SearchPanel* form13 = openForm13();
    ASSERT_TRUE(form4 && form13);

    // Client areas, frames and captions; the controls in their design
    // places, the price boxes widened where ten digits would not show.
    expectDesignedLayout(form4);
    expectDesignedLayout(form13);
    EXPECT_TRUE(form4->windowFlags().testFlag(Qt::Tool));
    EXPECT_TRUE(form13->windowFlags().testFlag(Qt::Tool));
    EXPECT_FALSE(form4->windowFlags().testFlag(Qt::WindowMinMaxButtonsHint));
    EXPECT_FALSE(form13->windowFlags().testFlag(Qt::WindowMinMaxButtonsHint));
    EXPECT_EQ(form4->minimumSize(), form4->maximumSize());   // fixed
    EXPECT_NE(form13->minimumSize(), form13->maximumSize()); // sizable
    EXPECT_EQ(form4->windowTitle(), QString());
    EXPECT_EQ(form13->windowTitle(), QStringLiteral(" "));
    // Next 195 twips under search; 190 in the offices' rent row.
    EXPECT_EQ(button(form4, "Command7")->y(), pixels(form4, 885, 675, 990, 210).y());
    EXPECT_EQ(button(form4, "Command35")->y(), pixels(form4, 885, 7000, 990, 210).y());

    // Fonts.
    const auto font = [](QWidget* panel, const char* name) {
        return panel->findChild<QWidget*>(QString::fromLatin1(name))->font();
    };
    for (const auto& [panel, name] : {std::pair{form4, "Label7"}, std::pair{form13, "Label19"}}) {
        EXPECT_EQ(font(panel, name).family(), QStringLiteral("B Traffic"));
        EXPECT_DOUBLE_EQ(font(panel, name).pointSizeF(), 15.75);
        EXPECT_TRUE(font(panel, name).bold());
    }
    for (const auto& [panel, name] : {std::pair{form4, "Label5"}, std::pair{form13, "Label18"}}) {
        EXPECT_EQ(font(panel, name).family(), QStringLiteral("B Jadid"));
        EXPECT_DOUBLE_EQ(font(panel, name).pointSizeF(), 11.25);
        EXPECT_TRUE(font(panel, name).bold());
    }
    for (const auto& [panel, name] : {std::pair{form4, "Text48"}, std::pair{form13, "Text11"}}) {
        EXPECT_EQ(font(panel, name).family(), QStringLiteral("B Nazanin"));
        EXPECT_DOUBLE_EQ(font(panel, name).pointSizeF(), 12);
        EXPECT_FALSE(font(panel, name).bold());
    }
    EXPECT_EQ(font(form4, "Command8"), form4->font());

    // Right to left; no default button, so Enter in a box presses nothing.
    EXPECT_EQ(box(form4, "Text6")->layoutDirection(), Qt::RightToLeft);
    for (QPushButton* b : form4->findChildren<QPushButton*>()) {
        EXPECT_FALSE(b->isDefault() || b->autoDefault()) << qPrintable(b->objectName());
    }
}

} // namespace
