// What the listing screens and the criteria panels show must be legible as
// the agency types it: numbers and words alike right-aligned in every box,
// and a price of ten digits whole in every price box of the panels.

#include "screens/common/listinglayout.h"
#include "screens/edit/form7.h"
#include "screens/edit/form8.h"
#include "screens/search/form2.h"
#include "screens/search/searchpanel.h"
#include "tests/gui/editfixture.h"

#include <QApplication>
#include <QLineEdit>

using namespace velmoran;
using namespace velmoran::test;

namespace {

class LegibilityTest : public EditTest {
protected:
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

} // namespace
