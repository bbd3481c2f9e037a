// The residential search panel: nine rows of income property, apartments and villas.
#include "screens/search/form13.h"

#include <iterator>

namespace velmoran {

namespace {

// The controls, top to bottom as designed; left 0 is the panel's left edge.
// clang-format off
const PanelControl kControls[] = {
    {"Label1", PanelControl::Label, "مستغلات", PanelFont::KindLabel, 870, 120, 1125, 570, 47},
    {"Label25", PanelControl::Label, "فروش", PanelFont::DealLabel, 2520, 600, 600, 390, 46},
    {"Text39", PanelControl::TextBox, nullptr, PanelFont::Box, 1860, 600, 660, 420, 42},
    {"Command41", PanelControl::Button, "جستجو", PanelFont::Default, 885, 600, 990, 210, 40},
    {"Command42", PanelControl::Button, "بعدي", PanelFont::Default, 885, 795, 990, 210, 41},
    {"Text40", PanelControl::TextBox, nullptr, PanelFont::Box, 120, 600, 780, 420, 43},
    {"Label24", PanelControl::Label, " رهـن", PanelFont::DealLabel, 2520, 1200, 600, 390, 45},
    {"Text37", PanelControl::TextBox, nullptr, PanelFont::Box, 1860, 1185, 660, 420, 38},
    {"Command39", PanelControl::Button, "جستجو", PanelFont::Default, 885, 1185, 990, 210, 36},
    {"Command40", PanelControl::Button, "بعدي", PanelFont::Default, 885, 1380, 990, 210, 37},
    {"Text38", PanelControl::TextBox, nullptr, PanelFont::Box, 120, 1185, 780, 420, 39},
    {"Label3", PanelControl::Label, "اجاره", PanelFont::DealLabel, 2520, 1800, 570, 390, 44},
    {"Text35", PanelControl::TextBox, nullptr, PanelFont::Box, 1860, 1770, 660, 420, 34},
    {"Command37", PanelControl::Button, "جستجو", PanelFont::Default, 885, 1770, 990, 210, 32},
    {"Command38", PanelControl::Button, "بعدي", PanelFont::Default, 885, 1965, 990, 210, 33},
    {"Text36", PanelControl::TextBox, nullptr, PanelFont::Box, 120, 1770, 780, 420, 35},
    {"Text2", PanelControl::TextBox, nullptr, PanelFont::Box, 1860, 2160, 660, 420, 49},
    {"Text1", PanelControl::TextBox, nullptr, PanelFont::Box, 120, 2160, 780, 420, 48},
    {"Label11", PanelControl::Label, "آپارتمان", PanelFont::KindLabel, 1110, 3000, 1035, 570, 15},
    {"Label8", PanelControl::Label, "فروش", PanelFont::DealLabel, 2520, 3480, 600, 390, 12},
    {"Text12", PanelControl::TextBox, nullptr, PanelFont::Box, 1860, 3480, 660, 420, 1},
    {"Command14", PanelControl::Button, "جستجو", PanelFont::Default, 885, 3480, 990, 210, 3},
    {"Command13", PanelControl::Button, "بعدي", PanelFont::Default, 885, 3675, 990, 210, 2},
    {"Text11", PanelControl::TextBox, nullptr, PanelFont::Box, 120, 3480, 780, 420, 0},
    {"Label9", PanelControl::Label, " رهـن", PanelFont::DealLabel, 2520, 4080, 600, 390, 13},
    {"Text14", PanelControl::TextBox, nullptr, PanelFont::Box, 1860, 4065, 660, 420, 5},
    {"Command16", PanelControl::Button, "جستجو", PanelFont::Default, 885, 4065, 990, 210, 7},
    {"Command15", PanelControl::Button, "بعدي", PanelFont::Default, 885, 4260, 990, 210, 6},
    {"Text13", PanelControl::TextBox, nullptr, PanelFont::Box, 120, 4065, 780, 420, 4},
    {"Label10", PanelControl::Label, "اجاره", PanelFont::DealLabel, 2520, 4680, 570, 390, 14},
    {"Text16", PanelControl::TextBox, nullptr, PanelFont::Box, 1860, 4650, 660, 420, 9},
    {"Command18", PanelControl::Button, "جستجو", PanelFont::Default, 885, 4650, 990, 210, 11},
    {"Command17", PanelControl::Button, "بعدي", PanelFont::Default, 885, 4845, 990, 210, 10},
    {"Text15", PanelControl::TextBox, nullptr, PanelFont::Box, 120, 4650, 780, 420, 8},
    {"Text3", PanelControl::TextBox, nullptr, PanelFont::Box, 1860, 5040, 660, 420, 50},
    {"Text4", PanelControl::TextBox, nullptr, PanelFont::Box, 120, 5040, 780, 420, 51},
    {"Label19", PanelControl::Label, "ويلا", PanelFont::KindLabel, 1440, 5520, 420, 570, 31},
    {"Label16", PanelControl::Label, "فروش", PanelFont::DealLabel, 2520, 6000, 600, 390, 28},
    {"Text24", PanelControl::TextBox, nullptr, PanelFont::Box, 1800, 6000, 780, 420, 17},
    {"Command26", PanelControl::Button, "جستجو", PanelFont::Default, 885, 6000, 990, 210, 19},
    {"Command25", PanelControl::Button, "بعدي", PanelFont::Default, 885, 6195, 990, 210, 18},
    {"Text23", PanelControl::TextBox, nullptr, PanelFont::Box, 120, 6000, 780, 420, 16},
    {"Label17", PanelControl::Label, " رهـن", PanelFont::DealLabel, 2520, 6600, 600, 390, 29},
    {"Text26", PanelControl::TextBox, nullptr, PanelFont::Box, 1800, 6600, 780, 420, 21},
    {"Command28", PanelControl::Button, "جستجو", PanelFont::Default, 885, 6585, 990, 210, 23},
    {"Command27", PanelControl::Button, "بعدي", PanelFont::Default, 885, 6780, 990, 210, 22},
    {"Text25", PanelControl::TextBox, nullptr, PanelFont::Box, 120, 6585, 780, 420, 20},
    {"Label18", PanelControl::Label, "اجاره", PanelFont::DealLabel, 2520, 7200, 570, 390, 30},
    {"Text28", PanelControl::TextBox, nullptr, PanelFont::Box, 1800, 7170, 780, 420, 25},
    {"Command30", PanelControl::Button, "جستجو", PanelFont::Default, 885, 7170, 990, 210, 27},
    {"Command29", PanelControl::Button, "بعدي", PanelFont::Default, 885, 7365, 990, 210, 26},
    {"Text27", PanelControl::TextBox, nullptr, PanelFont::Box, 120, 7170, 780, 420, 24},
    {"Text41", PanelControl::TextBox, nullptr, PanelFont::Box, 1800, 7560, 780, 420, 53},
    {"Text42", PanelControl::TextBox, nullptr, PanelFont::Box, 120, 7560, 780, 420, 52},
};

// The find buttons: the row's boxes (low price, high price, low rent, high
// rent), the closing piece of its criterion, the word between the two prices
// in its not-found message, the message's closing text and the box that gets
// the focus after it.
const FindButton kButtons[] = {
    {"Command41", FindKind::First, CriterionShape::PriceDealKind, {"Text39", "Text40"}, "' and  fooroosh = -1 and mostaghelat = -1 ", "تا", " هيچ فايلي در بانك اطلاعاتي مربوط به فروش مستغلات وجود ندارد", "Text39", false},
    {"Command42", FindKind::Next, CriterionShape::PriceDealKind, {"Text39", "Text40"}, "' and  fooroosh = -1 and mostaghelat = -1 ", "تا", " در بانك اطلاعاتي مربوط به فروش مستغلات فقط همين تعداد فايل موجود مي باشد ", "Text39", false},
    {"Command39", FindKind::First, CriterionShape::PriceDealKind, {"Text37", "Text38"}, "' and  rahn = -1 and mostaghelat = -1 ", "تا", " هيچ فايلي در بانك اطلاعاتي مربوط به رهن مستغلات وجود ندارد", "Text37", false},
    {"Command40", FindKind::Next, CriterionShape::PriceDealKind, {"Text37", "Text38"}, "' and  rahn = -1 and mostaghelat = -1 ", "تا", " فقط همين تعداد فايل  در بانك اطلاعاتي مربوط به رهن مستغلات وجود دارد", "Text37", false},
    {"Command37", FindKind::First, CriterionShape::PriceRentKind, {"Text35", "Text36", "Text2", "Text1"}, "'  and ejareh = -1 and mostaghelat = -1  ", "تا", " هيچ فايلي در بانك اطلاعاتي مربوط به اجاره مستغلات وجود ندارد", "Text35", false},
    {"Command38", FindKind::Next, CriterionShape::PriceRentKind, {"Text35", "Text36", "Text2", "Text1"}, "'  and ejareh = -1 and mostaghelat = -1  ", "تا", " فقط همين تعداد فايل در بانك اطلاعاتي مربوط به اجاره مستغلات وجود دارد", "Text35", false},
    {"Command14", FindKind::First, CriterionShape::PriceDealKind, {"Text12", "Text11"}, "' and  fooroosh = -1 and apartman = -1 ", "تا", " هيچ فايلي در بانك اطلاعاتي مربوط به فروش آپارتمان وجود ندارد", "Text12", false},
    {"Command13", FindKind::Next, CriterionShape::PriceDealKind, {"Text12", "Text11"}, "' and  fooroosh = -1 and apartman = -1 ", "تا", " فقط همين تعداد فايل در بانك اطلاعاتي مربوط به فروش آپارتمان وجود دارد", "Text12", false},
    {"Command16", FindKind::First, CriterionShape::PriceDealKind, {"Text14", "Text13"}, "' and  rahn = -1 and apartman = -1 ", "تا", " هيچ فايلي در بانك اطلاعاتي مربوط به رهن آپارتمان وجود ندارد", "Text13", false},
    {"Command15", FindKind::Next, CriterionShape::PriceDealKind, {"Text14", "Text13"}, "' and  rahn = -1 and apartman = -1 ", "تا", " فقط همين تعداد فايل در بانك اطلاعاتي مربوط به رهن آپارتمان وجود دارد", "Text13", false},
    {"Command18", FindKind::First, CriterionShape::PriceRentKind, {"Text16", "Text15", "Text3", "Text4"}, "'  and ejareh = -1 and apartman = -1  ", "تا", " هيچ فايلي در بانك اطلاعاتي مربوط به اجاره آپارتمان وجود ندارد", "Text15", false},
    {"Command17", FindKind::Next, CriterionShape::PriceRentKind, {"Text16", "Text15", "Text3", "Text4"}, "'  and ejareh = -1 and apartman = -1  ", "تا", "  فقط همين تعداد فايل در بانك اطلاعاتي مربوط به اجاره آپارتمان وجود دارد", "Text15", false},
    {"Command26", FindKind::First, CriterionShape::PriceDealKind, {"Text24", "Text23"}, "' and  fooroosh = -1 and vila = -1 ", "تا", " هيچ فايلي در بانك اطلاعاتي مربوط به فروش ويلا وجود ندارد", "Text23", false},
    {"Command25", FindKind::Next, CriterionShape::PriceDealKind, {"Text24", "Text23"}, "' and  fooroosh = -1 and vila = -1 ", "تا", " فقط همين تعداد فايل در بانك اطلاعاتي مربوط به فروش ويلا وجود دارد", "Text23", false},
    {"Command28", FindKind::First, CriterionShape::PriceDealKind, {"Text26", "Text25"}, "' and  rahn = -1 and vila = -1 ", "تا", " هيچ فايلي در بانك اطلاعاتي مربوط به رهن ويلا وجود ندارد", "Text26", false},
    {"Command27", FindKind::Next, CriterionShape::PriceDealKind, {"Text26", "Text25"}, "' and  rahn = -1 and vila = -1 ", "تا", " فقط همين تعداد فايل  در بانك اطلاعاتي مربوط به رهن ويلا وجود دارد", "Text26", false},
    {"Command30", FindKind::First, CriterionShape::PriceRentKind, {"Text28", "Text27", "Text41", "Text42"}, "'  and ejareh = -1 and vila = -1  ", "تا", " هيچ فايلي در بانك اطلاعاتي مربوط به اجاره ويلا وجود ندارد", "Text28", false},
    {"Command29", FindKind::Next, CriterionShape::PriceRentKind, {"Text28", "Text27", "Text41", "Text42"}, "'  and ejareh = -1 and vila = -1  ", "تا", " فقط همين تعداد فايل در بانك اطلاعاتي مربوط به اجاره ويلا وجود دارد", "Text28", false},
};
// clang-format on

} // namespace

const PanelDesign& Form13::panelDesign() {
    static const PanelDesign design = {
        kControls, std::size(kControls), kButtons, std::size(kButtons), 3360, 8160, true, " ",
        false,
    };
    return design;
}

Form13::Form13() : SearchPanel(ScreenId::Form13, panelDesign()) {}

} // namespace velmoran
