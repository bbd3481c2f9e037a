// The commercial search panel: nine rows of old buildings, shops and offices.
#include "screens/search/form4.h"

#include <iterator>

namespace velmoran {

namespace {

// The controls, top to bottom as designed; left 0 is the panel's left edge.
// clang-format off
const PanelControl kControls[] = {
    {"Label7", PanelControl::Label, "كلنگي", PanelFont::KindLabel, 1200, 0, 705, 570, 50},
    {"Label4", PanelControl::Label, "فروش", PanelFont::DealLabel, 2520, 480, 600, 390, 53},
    {"Text6", PanelControl::TextBox, nullptr, PanelFont::Box, 1800, 480, 780, 420, 40},
    {"Command8", PanelControl::Button, "جستجو", PanelFont::Default, 885, 480, 990, 210, 38},
    {"Command7", PanelControl::Button, "بعدي", PanelFont::Default, 885, 675, 990, 210, 39},
    {"Text5", PanelControl::TextBox, nullptr, PanelFont::Box, 0, 480, 900, 420, 41},
    {"Label5", PanelControl::Label, " رهـن", PanelFont::DealLabel, 2520, 1080, 600, 390, 52},
    {"Text8", PanelControl::TextBox, nullptr, PanelFont::Box, 1800, 1065, 780, 420, 36},
    {"Command10", PanelControl::Button, "جستجو", PanelFont::Default, 885, 1065, 990, 210, 34},
    {"Command9", PanelControl::Button, "بعدي", PanelFont::Default, 885, 1260, 990, 210, 35},
    {"Text7", PanelControl::TextBox, nullptr, PanelFont::Box, 0, 1065, 900, 420, 37},
    {"Label6", PanelControl::Label, "اجاره", PanelFont::DealLabel, 2520, 1680, 570, 390, 51},
    {"Text10", PanelControl::TextBox, nullptr, PanelFont::Box, 1800, 1650, 780, 420, 32},
    {"Command12", PanelControl::Button, "جستجو", PanelFont::Default, 885, 1650, 990, 210, 30},
    {"Command11", PanelControl::Button, "بعدي", PanelFont::Default, 885, 1845, 990, 210, 31},
    {"Text9", PanelControl::TextBox, nullptr, PanelFont::Box, 0, 1650, 900, 420, 33},
    {"Text47", PanelControl::TextBox, nullptr, PanelFont::Box, 1800, 2040, 780, 420, 1},
    {"Text48", PanelControl::TextBox, nullptr, PanelFont::Box, 0, 2040, 900, 420, 0},
    {"Label15", PanelControl::Label, "مغازه", PanelFont::KindLabel, 1200, 2640, 690, 570, 46},
    {"Label12", PanelControl::Label, "فروش", PanelFont::DealLabel, 2520, 3120, 600, 390, 49},
    {"Text18", PanelControl::TextBox, nullptr, PanelFont::Box, 1800, 3120, 780, 420, 28},
    {"Command20", PanelControl::Button, "جستجو", PanelFont::Default, 885, 3120, 990, 210, 26},
    {"Command19", PanelControl::Button, "بعدي", PanelFont::Default, 885, 3315, 990, 210, 27},
    {"Text17", PanelControl::TextBox, nullptr, PanelFont::Box, 0, 3120, 900, 420, 29},
    {"Label13", PanelControl::Label, " رهـن", PanelFont::DealLabel, 2520, 3720, 600, 390, 48},
    {"Text20", PanelControl::TextBox, nullptr, PanelFont::Box, 1800, 3705, 780, 420, 24},
    {"Command22", PanelControl::Button, "جستجو", PanelFont::Default, 885, 3705, 990, 210, 22},
    {"Command21", PanelControl::Button, "بعدي", PanelFont::Default, 885, 3900, 990, 210, 23},
    {"Text19", PanelControl::TextBox, nullptr, PanelFont::Box, 0, 3705, 915, 420, 25},
    {"Label14", PanelControl::Label, "اجاره", PanelFont::DealLabel, 2520, 4320, 570, 390, 47},
    {"Text22", PanelControl::TextBox, nullptr, PanelFont::Box, 1800, 4290, 780, 420, 20},
    {"Command24", PanelControl::Button, "جستجو", PanelFont::Default, 885, 4290, 990, 210, 18},
    {"Command23", PanelControl::Button, "بعدي", PanelFont::Default, 885, 4485, 990, 210, 19},
    {"Text21", PanelControl::TextBox, nullptr, PanelFont::Box, 0, 4290, 900, 420, 21},
    {"Text43", PanelControl::TextBox, nullptr, PanelFont::Box, 1800, 4680, 780, 420, 5},
    {"Text44", PanelControl::TextBox, nullptr, PanelFont::Box, 0, 4680, 900, 420, 4},
    {"Label23", PanelControl::Label, "دفتر كار", PanelFont::KindLabel, 1080, 5160, 1020, 570, 42},
    {"Label20", PanelControl::Label, "فروش", PanelFont::DealLabel, 2520, 5640, 600, 390, 45},
    {"Text30", PanelControl::TextBox, nullptr, PanelFont::Box, 1800, 5640, 780, 420, 16},
    {"Command32", PanelControl::Button, "جستجو", PanelFont::Default, 885, 5640, 990, 210, 14},
    {"Command31", PanelControl::Button, "بعدي", PanelFont::Default, 885, 5835, 990, 210, 15},
    {"Text29", PanelControl::TextBox, nullptr, PanelFont::Box, 0, 5640, 900, 420, 17},
    {"Label21", PanelControl::Label, " رهـن", PanelFont::DealLabel, 2520, 6240, 600, 390, 44},
    {"Text32", PanelControl::TextBox, nullptr, PanelFont::Box, 1800, 6225, 780, 420, 12},
    {"Command34", PanelControl::Button, "جستجو", PanelFont::Default, 885, 6225, 990, 210, 10},
    {"Command33", PanelControl::Button, "بعدي", PanelFont::Default, 885, 6420, 990, 210, 11},
    {"Text31", PanelControl::TextBox, nullptr, PanelFont::Box, 0, 6225, 900, 420, 13},
    {"Label22", PanelControl::Label, "اجاره", PanelFont::DealLabel, 2520, 6840, 570, 390, 43},
    {"Text34", PanelControl::TextBox, nullptr, PanelFont::Box, 1800, 6810, 780, 420, 8},
    {"Command36", PanelControl::Button, "جستجو", PanelFont::Default, 885, 6810, 990, 210, 6},
    {"Command35", PanelControl::Button, "بعدي", PanelFont::Default, 885, 7000, 990, 210, 7},
    {"Text33", PanelControl::TextBox, nullptr, PanelFont::Box, 0, 6810, 900, 420, 9},
    {"Text45", PanelControl::TextBox, nullptr, PanelFont::Box, 1800, 7200, 780, 480, 3},
    {"Text46", PanelControl::TextBox, nullptr, PanelFont::Box, 0, 7200, 900, 420, 2},
};

// The find buttons: the row's boxes (low price, high price, low rent, high
// rent), the closing piece of its criterion, the word between the two prices
// in its not-found message, the message's closing text and the box that gets
// the focus after it.
const FindButton kButtons[] = {
    {"Command8", FindKind::First, CriterionShape::PriceDealKind, {"Text6", "Text5"}, "' and  fooroosh = -1 and kolanghi = -1 ", "تا", " هيچ فايلي در بانك اطلاعاتي مربوط به فروش  كلنگي وجود ندارد", "Text5", false},
    {"Command7", FindKind::Next, CriterionShape::PriceDealKind, {"Text6", "Text5"}, "' and  fooroosh = -1 and kolanghi = -1 ", "تا", " فقط همين تعداد فايل در بانك اطلاعاتي مربوط به فروش  كلنگي وجود دارد", "Text5", false},
    {"Command10", FindKind::First, CriterionShape::PriceDealKind, {"Text8", "Text7"}, "' and  rahn = -1 and kolanghi = -1 ", "تا", " هيچ فايلي در بانك اطلاعاتي مربوط به رهن  كلنگي وجود ندارد", "Text8", false},
    {"Command9", FindKind::Next, CriterionShape::PriceDealKind, {"Text8", "Text7"}, "' and  rahn = -1 and kolanghi = -1 ", "'تا'", " فقط همين تعداد فايل در بانك اطلاعاتي مربوط به رهن  كلنگي وجود دارد", "Text8", false},
    {"Command12", FindKind::First, CriterionShape::PriceRentKind, {"Text10", "Text9", "Text47", "Text48"}, "'  and ejareh = -1 and kolanghi = -1  ", "تا", " هيچ فايلي در بانك اطلاعاتي مربوط به اجاره كلنگي وجود ندارد", "Text10", false},
    {"Command11", FindKind::Next, CriterionShape::PriceRentKind, {"Text10", "Text9", "Text47", "Text48"}, "'  and ejareh = -1 and kolanghi = -1  ", "تا", " فقط همين تعداد فايل در بانك اطلاعاتي مربوط به اجاره كلنگي وجود دارد", "Text10", false},
    {"Command20", FindKind::First, CriterionShape::PriceDealKind, {"Text18", "Text17"}, "' and  fooroosh = -1 and maghazeh = -1 ", "تا", " هيچ فايلي در بانك اطلاعاتي مربوط به فروش  مغازه وجود ندارد", "Text18", false},
    {"Command19", FindKind::Next, CriterionShape::PriceDealKind, {"Text18", "Text17"}, "' and  fooroosh = -1 and maghazeh = -1 ", "تا", " فقط همين تعداد فايل در بانك اطلاعاتي مربوط به فروش  مغازه وجود دارد", "Text18", false},
    {"Command22", FindKind::First, CriterionShape::PriceDealKind, {"Text20", "Text19"}, "' and  rahn = -1 and maghazeh = -1 ", "تا", " هيچ فايلي در بانك اطلاعاتي مربوط به رهن  مغازه وجود ندارد", "Text20", false},
    {"Command21", FindKind::Next, CriterionShape::PriceDealKind, {"Text20", "Text19"}, "' and  rahn = -1 and maghazeh = -1 ", "تا", " فقط همين تعداد فايل در بانك اطلاعاتي مربوط به رهن  مغازه وجود دارد", "Text20", false},
    {"Command24", FindKind::First, CriterionShape::PriceRentKind, {"Text22", "Text21", "Text43", "Text44"}, "'  and ejareh = -1 and maghazeh = -1  ", "تا", " هيچ فايلي در بانك اطلاعاتي مربوط به اجاره مغازه وجود ندارد", "Text22", false},
    {"Command23", FindKind::Next, CriterionShape::PriceRentKind, {"Text22", "Text21", "Text43", "Text44"}, "'  and ejareh = -1 and maghazeh = -1  ", "تا", " فقط همين تعداد فايل در بانك اطلاعاتي مربوط به اجاره مغازه وجود دارد", "Text22", false},
    {"Command32", FindKind::First, CriterionShape::PriceDealKind, {"Text30", "Text29"}, "' and  fooroosh = -1 and daftarehkar = -1 ", "تا", " هيچ فايلي در بانك اطلاعاتي مربوط به فروش  دفتر كار وجود ندارد", "Text30", false},
    {"Command31", FindKind::Next, CriterionShape::PriceDealKind, {"Text30", "Text29"}, "' and  fooroosh = -1 and daftarehkar = -1 ", "تا", " فقط همين تعداد فايل در بانك اطلاعاتي مربوط به فروش  دفتر كار وجود دارد", "Text30", false},
    {"Command34", FindKind::First, CriterionShape::PriceDealKind, {"Text32", "Text31"}, "' and  rahn = -1 and daftarehkar = -1 ", "تا", " هيچ فايلي در بانك اطلاعاتي مربوط به رهن  دفتر كار وجود ندارد", "Text32", false},
    {"Command33", FindKind::Next, CriterionShape::PriceDealKind, {"Text32", "Text31"}, "' and  rahn = -1 and daftarehkar = -1 ", "تا", " فقط همين تعداد فايل در بانك اطلاعاتي مربوط به رهن  دفتر كار وجود دارد", "Text32", false},
    {"Command36", FindKind::First, CriterionShape::PriceRentKind, {"Text34", "Text33", "Text45", "Text46"}, "'  and ejareh = -1 and daftarehkar = -1  ", "تا", " هيچ فايلي در بانك اطلاعاتي مربوط به اجاره دفتر كار وجود ندارد", "Text34", false},
    {"Command35", FindKind::Next, CriterionShape::PriceRentKind, {"Text34", "Text33", "Text45", "Text46"}, "'  and ejareh = -1 and daftarehkar = -1  ", "تا", " فقط همين تعداد فايل در بانك اطلاعاتي مربوط به اجاره دفتر وجوددارد", "Text34", false},
};
// clang-format on

} // namespace

const PanelDesign& Form4::panelDesign() {
    static const PanelDesign design = {
        kControls, std::size(kControls), kButtons, std::size(kButtons), 3135, 7755, false, "",
        false,
    };
    return design;
}

Form4::Form4() : SearchPanel(ScreenId::Form4, panelDesign()) {}

} // namespace velmoran
