// Where the criteria panels open, on the desktops the agencies have: at
// 1024 x 768 and larger, clear of what the target screen shows after a find
// (owner, district, telephone, price, the deal and kind flags), and clear of
// one another where there is room.

#include "platform/twips.h"
#include "platform/widgets/fonts.h"
#include "screens/common/listinglayout.h"
#include "screens/edit/form8.h"
#include "screens/search/panelplacement.h"
#include "screens/search/searchpanel.h"
#include "tests/gui/editfixture.h"

#include <algorithm>
#include <string>

using namespace velmoran;
using namespace velmoran::test;

namespace {

// The main window maximised: its title bar and menu bar, then the listing
// form centred at the top of the workspace.
constexpr int kMenuBarBottom = 40;

QList<QRect> keptOnScreen(const QSize& screen, ListingVariant variant) {
    const int formWidth = twipsToPixels(kListingDesignWidth);
    const QPoint origin((screen.width() - formWidth) / 2, kMenuBarBottom + 2);
    QList<QRect> kept;
    for (const QString& name : fieldsKeptInSight()) {
        const ListingItem* item = listingTable().find(name);
        EXPECT_TRUE(item) << name.toStdString();
        if (item) {
            const QRect twips = listingItemTwips(*item, variant);
            kept << twipsRect(twips.x(), twips.y(), twips.width(), twips.height())
                        .translated(origin);
        }
    }
    return kept;
}

bool meetsAny(const QRect& place, const QList<QRect>& rects) {
    return std::any_of(rects.begin(), rects.end(),
                       [&](const QRect& r) { return place.intersects(r); });
}

class PanelPlacementTest : public EditTest {
protected:
    // A panel's frame as the desktop draws it around it.
    static QSize frameOf(QWidget* panel) { return panel->size() + QSize(8, 28); }
};

TEST_F(PanelPlacementTest, PanelsOpenClearOfTheFieldsTheyFindOnCommonScreens) {
    installFontSubstitutes(); // the program's faces, as on the desktop
    ASSERT_TRUE(openSearch());
    SearchPanel* form4 = openForm4();
    SearchPanel* form13 = openForm13();
    ASSERT_TRUE(form4 && form13);
    const QSize size4 = frameOf(form4);
    const QSize size13 = frameOf(form13);
    for (const QSize screen : {QSize(1024, 768), QSize(1280, 800), QSize(1280, 1024),
                               QSize(1366, 768), QSize(1920, 1080)}) {
        SCOPED_TRACE(std::to_string(screen.width()) + "x" + std::to_string(screen.height()));
        const QRect area(QPoint(0, 0), screen);
        const QList<QRect> kept = keptOnScreen(screen, ListingVariant::Entry);
        const QRect place4(panelPlace(area, kMenuBarBottom, size4, kept, {}, false), size4);
        EXPECT_TRUE(area.contains(place4));
        EXPECT_GT(place4.top(), kMenuBarBottom);
        EXPECT_FALSE(meetsAny(place4, kept));
        const QRect place13(panelPlace(area, kMenuBarBottom, size13, kept, {place4}, false),
                            size13);
        EXPECT_TRUE(area.contains(place13));
        EXPECT_FALSE(meetsAny(place13, kept))
            << place13.x() << "," << place13.y() << " " << size13.width() << "x" << size13.height();
        if (screen.width() >= 1280 && screen.height() >= 1024) {
            EXPECT_FALSE(place13.intersects(place4)) << "room for both side by side";
        }
    }
}

TEST_F(PanelPlacementTest, TheEditPanelOpensBottomRightClearOfTheEditViewsFields) {
    installFontSubstitutes();
    openBoth();
    const QSize size8 = frameOf(panel);
    for (const QSize screen : {QSize(1024, 768), QSize(1280, 1024), QSize(1920, 1080)}) {
        SCOPED_TRACE(std::to_string(screen.width()) + "x" + std::to_string(screen.height()));
        const QRect area(QPoint(0, 0), screen);
        const QList<QRect> kept = keptOnScreen(screen, ListingVariant::Edit);
        const QRect place(panelPlace(area, kMenuBarBottom, size8, kept, {}, true), size8);
        EXPECT_TRUE(area.contains(place));
        EXPECT_FALSE(meetsAny(place, kept));
        EXPECT_GT(place.center().x(), area.center().x());
        EXPECT_GT(place.center().y(), area.center().y());
    }
}

} // namespace
