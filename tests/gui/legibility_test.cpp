// What the listing screens and the criteria panels show must be legible as
// the agency types it: numbers and words alike right-aligned in every box,
// and a price of ten digits whole in every price box of the panels.

#include "platform/widgets/fonts.h"
#include "screens/common/listinglayout.h"
#include "screens/edit/form7.h"
#include "screens/edit/form8.h"
#include "screens/search/form2.h"
#include "screens/search/searchpanel.h"
#include "tests/gui/editfixture.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLineEdit>

#include <algorithm>
#include <cstdlib>

using namespace velmoran;
using namespace velmoran::test;

namespace {

class LegibilityTest : public EditTest {
protected:
    // The faces the program draws in: a family the system lacks has no
    // fallback face on Windows.
    void SetUp() override {
        EditTest::SetUp();
        installFontSubstitutes();
    }

    // The search screen and its panels, or the edit view and its panel,
    // opened through the menus, on a listing.
    QList<QWidget*> openSearchSide() {
        addListing({{"apartman", "fooroosh"}, QStringLiteral("1400000"), QString(), "x"});
        return {reinterpret_cast<QWidget*>(openSearch()), openForm4(), openForm13()};
    }
    QList<QWidget*> openEditSide() {
        addListing({{"apartman", "fooroosh"}, QStringLiteral("1400000"), QString(), "x"});
        openBoth();
        return {reinterpret_cast<QWidget*>(edit()), panel};
    }

    void expectRightAligned(const QList<QWidget*>& windows) {
        int boxes = 0;
        for (QWidget* window : windows) {
            ASSERT_TRUE(window);
            for (QLineEdit* box : window->findChildren<QLineEdit*>()) {
                if (!box->isVisibleTo(window)) {
                    continue;
                }
                ++boxes;
                for (const QString& text : {QStringLiteral("12"), kWord}) {
                    box->setText(text);
                    EXPECT_EQ(box->text(), text);
                    EXPECT_GT(rightEndOfText(box), box->width() * 3 / 4)
                        << qPrintable(window->objectName() + "." + box->objectName()) << " "
                        << text.toStdString();
                }
            }
        }
        EXPECT_GE(boxes, 7 * windows.size());
    }

    const QString kWord = QString::fromUtf8("\u062E\u0627\u0646\u0647");

    // Where the text's right end stands, from the box's left edge: the
    // cursor after a number's last digit, before a Persian word's first
    // letter.
    static int rightEndOfText(QLineEdit* box) {
        if (box->text().isRightToLeft()) {
            box->home(false);
        } else {
            box->end(false);
        }
        box->repaint(); // the box places its text when it paints
        return box->inputMethodQuery(Qt::ImCursorRectangle).toRect().center().x();
    }
};

TEST_F(LegibilityTest, EveryBoxOfTheSearchScreenAndItsPanelsAlignsRight) {
    expectRightAligned(openSearchSide());
}

TEST_F(LegibilityTest, EveryBoxOfTheEditViewAndItsPanelAlignsRight) {
    expectRightAligned(openEditSide());
}

// True when `text` shows whole in `box`: the box need not scroll it to show
// its first or its last character.
::testing::AssertionResult showsWhole(QLineEdit* box, const QString& text) {
    box->setText(text);
    box->home(false);
    box->repaint();
    const int home = box->inputMethodQuery(Qt::ImCursorRectangle).toRect().center().x();
    box->end(false);
    box->repaint();
    const int end = box->inputMethodQuery(Qt::ImCursorRectangle).toRect().center().x();
    const int needed = QFontMetrics(box->font()).horizontalAdvance(text);
    // The cursor positions are whole pixels: a pixel or two of rounding.
    if (std::abs(end - home) + 3 >= needed && std::min(home, end) >= 0 &&
        std::max(home, end) <= box->width()) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << box->objectName().toStdString() << " (" << box->width() << " px) shows "
           << std::abs(end - home) << " of " << needed << " px of " << text.toStdString();
}

TEST_F(LegibilityTest, EveryPriceBoxOfThePanelsShowsATenDigitPriceWhole) {
    QList<QWidget*> panels = openSearchSide().mid(1);
    ASSERT_EQ(panels.size(), 2);
    int boxes = 0;
    for (QWidget* panel : panels) {
        for (QLineEdit* box : panel->findChildren<QLineEdit*>()) {
            ++boxes;
            EXPECT_TRUE(showsWhole(box, QStringLiteral("1400000000")));
            EXPECT_TRUE(showsWhole(
                box,
                QString::fromUtf8("\u06F1\u06F4\u06F0\u06F0\u06F0\u06F0\u06F0\u06F0\u06F0\u06F0")));
        }
    }
    EXPECT_EQ(boxes, 24 + 24);
}

TEST_F(LegibilityTest, EveryPriceBoxOfTheEditPanelShowsATenDigitPriceWhole) {
    QList<QWidget*> windows = openEditSide();
    ASSERT_EQ(windows.size(), 2);
    for (const char* name : {"Text56", "Text68", "Text2", "Text1", "Text4", "Text3"}) {
        auto* box = windows[1]->findChild<QLineEdit*>(QLatin1String(name));
        ASSERT_TRUE(box) << name;
        EXPECT_TRUE(showsWhole(box, QStringLiteral("1400000000")));
    }
}

TEST_F(LegibilityTest, TheListingScreensShowTheirNumbersWhole) {
    QList<QWidget*> windows = openSearchSide();
    QWidget* search = windows.front();
    const std::pair<const char*, const char*> numbers[] = {
        {"Text10", "1400000000"},                           // the price
        {"Text16", "25000000"},                             // per metre
        {"Text11", "25000000"},   {"Text3", "09121234567"}, // the telephone
        {"Text6", "1402/05/12"},                            // the date
        {"Text7", "12"},                                    // floors
        {"Text8", "120"},                                   // units
        {"Text9", "120"},
    };
    for (const auto& [name, text] : numbers) {
        auto* box = search->findChild<QLineEdit*>(QLatin1String(name));
        ASSERT_TRUE(box) << name;
        EXPECT_TRUE(showsWhole(box, QString::fromLatin1(text)));
    }
}

} // namespace
