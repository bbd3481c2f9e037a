// The listing layout as the form designer placed it: one row per item, bands
// top to bottom and, within a band, right to left. Positions in twips; see
// ListingItem. Text boxes and check boxes are named once here and keep their
// names on every listing screen.
#include "data/core/listingtable.h"

#include <QString>

#include <cstring>

namespace velmoran {

namespace {

// clang-format off
const ListingItem kListingItems[] = {
    {"Frame1", ListingItem::Frame, 1, nullptr, nullptr, ListingFont::None, 60, 0, 11760, 615, -1, -1},
    {"Frame2", ListingItem::Frame, 2, nullptr, nullptr, ListingFont::None, 60, 645, 11760, 660, -1, -1},
    {"Frame3", ListingItem::Frame, 3, nullptr, nullptr, ListingFont::None, 60, 1335, 11760, 900, -1, -1},
    {"Frame4", ListingItem::Frame, 4, nullptr, nullptr, ListingFont::None, 60, 2265, 11760, 735, -1, -1},
    {"Label1", ListingItem::Caption, 1, nullptr, "مالك : ", ListingFont::CaptionLarge, 150, 75, 675, 480, -1, -1},
    {"Text1", ListingItem::TextBox, 1, "malek", nullptr, ListingFont::Box, 870, 75, 3000, 480, 0, 1},
    {"Label2", ListingItem::Caption, 1, nullptr, "منطقه: ", ListingFont::CaptionLarge, 4050, 75, 720, 480, -1, -1},
    {"Text2", ListingItem::TextBox, 1, "mantagheh", nullptr, ListingFont::Box, 4815, 75, 1200, 480, 1, 2},
    {"Label3", ListingItem::Caption, 1, nullptr, "تلفن :  ", ListingFont::CaptionLarge, 6195, 75, 690, 480, -1, -1},
    {"Text3", ListingItem::TextBox, 1, "tel03", nullptr, ListingFont::Box, 6930, 75, 2490, 480, 2, 3},
    {"Label4", ListingItem::Caption, 1, nullptr, "تاريخ:", ListingFont::CaptionLarge, 9600, 75, 585, 480, -1, -1},
    {"Text6", ListingItem::TextBox, 1, "date", nullptr, ListingFont::BoxBold, 10230, 75, 1500, 480, 3, 4},
    {"Label5", ListingItem::Caption, 2, nullptr, "آدرس:", ListingFont::CaptionLarge, 150, 735, 705, 480, -1, -1},
    {"Text4", ListingItem::TextBox, 2, "address", nullptr, ListingFont::Box, 900, 735, 8010, 480, 4, 5},
    {"Label6", ListingItem::Caption, 2, nullptr, "شماره:", ListingFont::CaptionLarge, 9090, 735, 645, 480, -1, -1},
    {"Text5", ListingItem::TextBox, 2, "number", nullptr, ListingFont::Box, 9780, 735, 1950, 480, 5, 6},
    {"Label7", ListingItem::Caption, 3, nullptr, "اجاره", ListingFont::Caption, 150, 1395, 825, 390, -1, -1},
    {"Check1", ListingItem::CheckBox, 3, "ejareh", nullptr, ListingFont::Caption, 405, 1815, 300, 330, 102, 7},
    {"Label8", ListingItem::Caption, 3, nullptr, "فروش ", ListingFont::Caption, 975, 1395, 825, 390, -1, -1},
    {"Check2", ListingItem::CheckBox, 3, "fooroosh", nullptr, ListingFont::Caption, 1230, 1815, 300, 330, 6, 8},
    {"Label9", ListingItem::Caption, 3, nullptr, "رهن", ListingFont::Caption, 1800, 1395, 825, 390, -1, -1},
    {"Check3", ListingItem::CheckBox, 3, "rahn", nullptr, ListingFont::Caption, 2055, 1815, 300, 330, 7, 9},
    {"Label10", ListingItem::Caption, 3, nullptr, "ويلا", ListingFont::Caption, 2625, 1395, 840, 390, -1, -1},
    {"Check4", ListingItem::CheckBox, 3, "vila", nullptr, ListingFont::Caption, 2895, 1815, 300, 330, 100, 10},
    {"Label11", ListingItem::Caption, 3, nullptr, "آپارتمان", ListingFont::Caption, 3465, 1395, 825, 390, -1, -1},
    {"Check5", ListingItem::CheckBox, 3, "apartman", nullptr, ListingFont::Caption, 3720, 1815, 300, 330, 101, 11},
    {"Label12", ListingItem::Caption, 3, nullptr, "مستغلات", ListingFont::Caption, 4290, 1395, 825, 390, -1, -1},
    {"Check6", ListingItem::CheckBox, 3, "mostaghelat", nullptr, ListingFont::Caption, 4545, 1815, 300, 330, 98, 12},
    {"Label13", ListingItem::Caption, 3, nullptr, "كلنگي", ListingFont::Caption, 5115, 1395, 825, 390, -1, -1},
    {"Check7", ListingItem::CheckBox, 3, "kolanghi", nullptr, ListingFont::Caption, 5370, 1815, 300, 330, 97, 13},
    {"Label14", ListingItem::Caption, 3, nullptr, "دفتر كار", ListingFont::Caption, 5940, 1395, 825, 390, -1, -1},
    {"Check8", ListingItem::CheckBox, 3, "daftarehkar", nullptr, ListingFont::Caption, 6195, 1815, 300, 330, 99, 14},
    {"Label15", ListingItem::Caption, 3, nullptr, "مغازه", ListingFont::Caption, 6765, 1395, 825, 390, -1, -1},
    {"Check9", ListingItem::CheckBox, 3, "maghazeh", nullptr, ListingFont::Caption, 7020, 1815, 300, 330, 8, 15},
    {"Label16", ListingItem::Caption, 3, nullptr, "سوئيت", ListingFont::Caption, 7590, 1395, 825, 390, -1, -1},
    {"Check10", ListingItem::CheckBox, 3, "soeit", nullptr, ListingFont::Caption, 7845, 1815, 300, 330, 9, 16},
    {"Label17", ListingItem::Caption, 3, nullptr, "شمالي", ListingFont::Caption, 8415, 1395, 840, 390, -1, -1},
    {"Check11", ListingItem::CheckBox, 3, "shoomali", nullptr, ListingFont::Caption, 8685, 1815, 300, 330, 10, 17},
    {"Label18", ListingItem::Caption, 3, nullptr, "جنوبي", ListingFont::Caption, 9255, 1395, 825, 390, -1, -1},
    {"Check12", ListingItem::CheckBox, 3, "joonoobi", nullptr, ListingFont::Caption, 9510, 1815, 300, 330, 11, 18},
    {"Label19", ListingItem::Caption, 3, nullptr, "شرقي", ListingFont::Caption, 10080, 1395, 825, 390, -1, -1},
    {"Check13", ListingItem::CheckBox, 3, "sharghi", nullptr, ListingFont::Caption, 10335, 1815, 300, 330, 12, 19},
    {"Label20", ListingItem::Caption, 3, nullptr, "غربي", ListingFont::Caption, 10905, 1395, 825, 390, -1, -1},
    {"Check14", ListingItem::CheckBox, 3, "gharbi", nullptr, ListingFont::Caption, 11160, 1815, 300, 330, 13, 20},
    {"Label21", ListingItem::Caption, 4, nullptr, "تعداد طبقات :", ListingFont::Caption, 150, 2385, 1185, 480, -1, -1},
    {"Text7", ListingItem::TextBox, 4, "tedadehtabaghat", nullptr, ListingFont::Box, 1380, 2385, 750, 480, 14, 21},
    {"Label22", ListingItem::Caption, 4, nullptr, "تعداد واحد :", ListingFont::Caption, 2310, 2385, 1065, 480, -1, -1},
    {"Text8", ListingItem::TextBox, 4, "tedadehvahed01", nullptr, ListingFont::Box, 3420, 2385, 660, 480, 15, 22},
    {"Label23", ListingItem::Caption, 4, nullptr, "-", ListingFont::Dash, 4080, 2385, 210, 480, -1, -1},
    {"Text9", ListingItem::TextBox, 4, "tedadehvahedeh02", nullptr, ListingFont::Box, 4290, 2385, 660, 480, 16, 23},
    {"Label24", ListingItem::Caption, 4, nullptr, "قيمت كل ", ListingFont::CaptionSmall, 5310, 2295, 810, 330, -1, -1},
    {"Label25", ListingItem::Caption, 4, nullptr, "وديــعه", ListingFont::CaptionSmall, 5310, 2625, 810, 330, -1, -1},
    {"Text10", ListingItem::TextBox, 4, "gheymatehkoole", nullptr, ListingFont::Box, 6165, 2385, 2250, 480, 17, 24},
    {"Label26", ListingItem::Caption, 4, nullptr, "واحــــد", ListingFont::CaptionTiny, 8595, 2295, 840, 330, -1, -1},
    {"Label27", ListingItem::Caption, 4, nullptr, "مــــتري", ListingFont::CaptionTiny, 8595, 2625, 840, 330, -1, -1},
    {"Text16", ListingItem::TextBox, 4, "vahed01", nullptr, ListingFont::Box, 9480, 2385, 1020, 480, 18, 25},
    {"Label28", ListingItem::Caption, 4, nullptr, "-", ListingFont::Dash, 10500, 2385, 210, 480, -1, -1},
    {"Text11", ListingItem::TextBox, 4, "vahed02", nullptr, ListingFont::Box, 10710, 2385, 1020, 480, 19, 26},
    {"Label29", ListingItem::Caption, 5, nullptr, "طبقات", ListingFont::Caption, 165, 3045, 750, 375, -1, -1},
    {"Label30", ListingItem::Caption, 5, nullptr, "زير بنا", ListingFont::Caption, 945, 3045, 840, 375, -1, -1},
    {"Label31", ListingItem::Caption, 5, nullptr, "خواب", ListingFont::Caption, 1815, 3045, 720, 375, -1, -1},
    {"Label32", ListingItem::Caption, 5, nullptr, "متراژ بالكن", ListingFont::Caption, 2565, 3045, 1050, 375, -1, -1},
    {"Label33", ListingItem::Caption, 5, nullptr, "تلفن", ListingFont::Caption, 3645, 3045, 810, 375, -1, -1},
    {"Label34", ListingItem::Caption, 5, nullptr, "سرويس آشپزخانه", ListingFont::CaptionSmall, 4485, 3045, 1350, 375, -1, -1},
    {"Label35", ListingItem::Caption, 5, nullptr, "OPEN", ListingFont::Open, 5865, 3045, 750, 375, -1, -1},
    {"Label36", ListingItem::Caption, 5, nullptr, "سرويس بهداشتي", ListingFont::Caption, 6645, 3045, 1470, 375, -1, -1},
    {"Label37", ListingItem::Caption, 5, nullptr, "كف پوش", ListingFont::Caption, 8145, 3045, 1110, 375, -1, -1},
    {"Label38", ListingItem::Caption, 5, nullptr, "پاركينگ", ListingFont::Caption, 9285, 3045, 780, 375, -1, -1},
    {"Label39", ListingItem::Caption, 5, nullptr, "انـــباري", ListingFont::Caption, 10095, 3045, 810, 375, -1, -1},
    {"Label40", ListingItem::Caption, 5, nullptr, "شـومينه", ListingFont::Caption, 10935, 3045, 780, 375, -1, -1},
    {"Text12", ListingItem::TextBox, 5, "taba01", nullptr, ListingFont::Box, 165, 3435, 765, 480, 20, 27},
    {"Text13", ListingItem::TextBox, 5, "zirbana01", nullptr, ListingFont::Box, 945, 3435, 855, 480, 21, 28},
    {"Text14", ListingItem::TextBox, 5, "khab0", nullptr, ListingFont::BoxArial, 1815, 3435, 735, 480, 22, 29},
    {"Text15", ListingItem::TextBox, 5, "metrajehbalkoon01", nullptr, ListingFont::Box, 2565, 3435, 1065, 480, 23, 30},
    {"Text17", ListingItem::TextBox, 5, "tele01", nullptr, ListingFont::Box, 3645, 3435, 825, 480, 24, 31},
    {"Text18", ListingItem::TextBox, 5, "serviceashpaz01", nullptr, ListingFont::Box, 4485, 3435, 1365, 480, 25, 32},
    {"Check15", ListingItem::CheckBox, 5, "open01", nullptr, ListingFont::Caption, 6090, 3510, 300, 300, 26, 33},
    {"Text19", ListingItem::TextBox, 5, "servicebehdasht01", nullptr, ListingFont::Box, 6645, 3435, 1485, 480, 27, 34},
    {"Text20", ListingItem::TextBox, 5, "kafpoosh01", nullptr, ListingFont::Box, 8145, 3435, 1125, 480, 28, 35},
    {"Check16", ListingItem::CheckBox, 5, "p01", nullptr, ListingFont::Caption, 9525, 3510, 300, 300, 29, 36},
    {"Check17", ListingItem::CheckBox, 5, "anbari01", nullptr, ListingFont::Caption, 10350, 3510, 300, 300, 30, 37},
    {"Check18", ListingItem::CheckBox, 5, "shoomineh01", nullptr, ListingFont::Caption, 11175, 3510, 300, 300, 31, 38},
    {"Text21", ListingItem::TextBox, 5, "taba02", nullptr, ListingFont::Box, 165, 3930, 765, 480, 32, 39},
    {"Text22", ListingItem::TextBox, 5, "zirbana02", nullptr, ListingFont::Box, 945, 3930, 855, 480, 33, 40},
    {"Text23", ListingItem::TextBox, 5, "khab02", nullptr, ListingFont::Box, 1815, 3930, 735, 480, 34, 41},
    {"Text24", ListingItem::TextBox, 5, "metrajehbalkoon02", nullptr, ListingFont::Box, 2565, 3930, 1065, 480, 35, 42},
    {"Text25", ListingItem::TextBox, 5, "tele02", nullptr, ListingFont::Box, 3645, 3930, 825, 480, 36, 43},
    {"Text26", ListingItem::TextBox, 5, "serviceashpaz02", nullptr, ListingFont::Box, 4485, 3930, 1365, 480, 37, 44},
    {"Check19", ListingItem::CheckBox, 5, "open02", nullptr, ListingFont::Caption, 6090, 4005, 300, 300, 38, 45},
    {"Text27", ListingItem::TextBox, 5, "servicebehdasht02", nullptr, ListingFont::Box, 6645, 3930, 1485, 480, 39, 46},
    {"Text28", ListingItem::TextBox, 5, "kafpoosh02", nullptr, ListingFont::Box, 8145, 3930, 1125, 480, 40, 47},
    {"Check20", ListingItem::CheckBox, 5, "p02", nullptr, ListingFont::Caption, 9525, 4005, 300, 300, 41, 48},
    {"Check21", ListingItem::CheckBox, 5, "anbari02", nullptr, ListingFont::Caption, 10350, 4005, 300, 300, 42, 49},
    {"Check22", ListingItem::CheckBox, 5, "shoomineh02", nullptr, ListingFont::Caption, 11175, 4005, 300, 300, 43, 50},
    {"Text29", ListingItem::TextBox, 5, "taba03", nullptr, ListingFont::Box, 165, 4425, 765, 480, 44, 51},
    {"Text30", ListingItem::TextBox, 5, "zirbana03", nullptr, ListingFont::Box, 945, 4425, 855, 480, 45, 52},
    {"Text31", ListingItem::TextBox, 5, "khab03", nullptr, ListingFont::Box, 1815, 4425, 735, 480, 46, 53},
    {"Text32", ListingItem::TextBox, 5, "metrajehbalkoon03", nullptr, ListingFont::Box, 2565, 4425, 1065, 480, 47, 54},
    {"Text33", ListingItem::TextBox, 5, "tele03", nullptr, ListingFont::Box, 3645, 4425, 825, 480, 48, 55},
    {"Text34", ListingItem::TextBox, 5, "serviceashpaz03", nullptr, ListingFont::Box, 4485, 4425, 1365, 480, 49, 56},
    {"Check23", ListingItem::CheckBox, 5, "open03", nullptr, ListingFont::Caption, 6090, 4500, 300, 300, 50, 57},
    {"Text35", ListingItem::TextBox, 5, "servicebehdasht03", nullptr, ListingFont::Box, 6645, 4425, 1485, 480, 51, 58},
    {"Text36", ListingItem::TextBox, 5, "kafpoosh03", nullptr, ListingFont::Box, 8145, 4425, 1125, 480, 52, 59},
    {"Check24", ListingItem::CheckBox, 5, "p03", nullptr, ListingFont::Caption, 9525, 4500, 300, 300, 53, 60},
    {"Check25", ListingItem::CheckBox, 5, "anbari03", nullptr, ListingFont::Caption, 10350, 4500, 300, 300, 54, 61},
    {"Check26", ListingItem::CheckBox, 5, "shoomineh03", nullptr, ListingFont::Caption, 11175, 4500, 300, 300, 55, 62},
    {"Text37", ListingItem::TextBox, 5, "taba04", nullptr, ListingFont::Box, 165, 4920, 765, 480, 56, 63},
    {"Text38", ListingItem::TextBox, 5, "zirbana04", nullptr, ListingFont::Box, 945, 4920, 855, 480, 57, 64},
    {"Text39", ListingItem::TextBox, 5, "khab04", nullptr, ListingFont::Box, 1815, 4920, 735, 480, 58, 65},
    {"Text40", ListingItem::TextBox, 5, "metrajehbalkoon04", nullptr, ListingFont::Box, 2565, 4920, 1065, 480, 59, 66},
    {"Text41", ListingItem::TextBox, 5, "tele04", nullptr, ListingFont::Box, 3645, 4920, 825, 480, 60, 67},
    {"Text42", ListingItem::TextBox, 5, "serviceashpaz04", nullptr, ListingFont::Box, 4485, 4920, 1365, 480, 61, 68},
    {"Check27", ListingItem::CheckBox, 5, "open04", nullptr, ListingFont::Caption, 6090, 4995, 300, 300, 62, 69},
    {"Text43", ListingItem::TextBox, 5, "servicebehdasht04", nullptr, ListingFont::BoxSmall, 6645, 4920, 1485, 480, 63, 70},
    {"Text44", ListingItem::TextBox, 5, "kafpoosh04", nullptr, ListingFont::Box, 8145, 4920, 1125, 480, 64, 71},
    {"Check28", ListingItem::CheckBox, 5, "p04", nullptr, ListingFont::Caption, 9525, 4995, 300, 300, 65, 72},
    {"Check29", ListingItem::CheckBox, 5, "anbari04", nullptr, ListingFont::Caption, 10350, 4995, 300, 300, 66, 73},
    {"Check30", ListingItem::CheckBox, 5, "shoomineh04", nullptr, ListingFont::Caption, 11175, 4995, 300, 300, 67, 74},
    {"Line1", ListingItem::Line, 5, nullptr, nullptr, ListingFont::None, 150, 3030, 11595, 15, -1, -1},
    {"Line2", ListingItem::Line, 5, nullptr, nullptr, ListingFont::None, 150, 3420, 11595, 15, -1, -1},
    {"Line3", ListingItem::Line, 5, nullptr, nullptr, ListingFont::None, 150, 3915, 11595, 15, -1, -1},
    {"Line4", ListingItem::Line, 5, nullptr, nullptr, ListingFont::None, 150, 4410, 11595, 15, -1, -1},
    {"Line5", ListingItem::Line, 5, nullptr, nullptr, ListingFont::None, 150, 4905, 11595, 15, -1, -1},
    {"Line6", ListingItem::Line, 5, nullptr, nullptr, ListingFont::None, 150, 5400, 11595, 15, -1, -1},
    {"Line7", ListingItem::Line, 5, nullptr, nullptr, ListingFont::None, 150, 3030, 15, 2385, -1, -1},
    {"Line8", ListingItem::Line, 5, nullptr, nullptr, ListingFont::None, 930, 3030, 15, 2385, -1, -1},
    {"Line9", ListingItem::Line, 5, nullptr, nullptr, ListingFont::None, 1800, 3030, 15, 2385, -1, -1},
    {"Line10", ListingItem::Line, 5, nullptr, nullptr, ListingFont::None, 2550, 3030, 15, 2385, -1, -1},
    {"Line11", ListingItem::Line, 5, nullptr, nullptr, ListingFont::None, 3630, 3030, 15, 2385, -1, -1},
    {"Line12", ListingItem::Line, 5, nullptr, nullptr, ListingFont::None, 4470, 3030, 15, 2385, -1, -1},
    {"Line13", ListingItem::Line, 5, nullptr, nullptr, ListingFont::None, 5850, 3030, 15, 2385, -1, -1},
    {"Line14", ListingItem::Line, 5, nullptr, nullptr, ListingFont::None, 6630, 3030, 15, 2385, -1, -1},
    {"Line15", ListingItem::Line, 5, nullptr, nullptr, ListingFont::None, 8130, 3030, 15, 2385, -1, -1},
    {"Line16", ListingItem::Line, 5, nullptr, nullptr, ListingFont::None, 9270, 3030, 15, 2385, -1, -1},
    {"Line17", ListingItem::Line, 5, nullptr, nullptr, ListingFont::None, 10080, 3030, 15, 2385, -1, -1},
    {"Line18", ListingItem::Line, 5, nullptr, nullptr, ListingFont::None, 10920, 3030, 15, 2385, -1, -1},
    {"Line19", ListingItem::Line, 5, nullptr, nullptr, ListingFont::None, 11730, 3030, 15, 2385, -1, -1},
    {"Label41", ListingItem::Caption, 6, nullptr, "شوفاژ", ListingFont::Caption, 150, 5460, 525, 480, -1, -1},
    {"Check31", ListingItem::CheckBox, 6, "shoofaj", nullptr, ListingFont::Caption, 705, 5550, 300, 300, 68, 75},
    {"Label42", ListingItem::Caption, 6, nullptr, "كولر", ListingFont::Caption, 1215, 5460, 435, 480, -1, -1},
    {"Check32", ListingItem::CheckBox, 6, "cooler", nullptr, ListingFont::Caption, 1680, 5550, 300, 300, 69, 76},
    {"Label43", ListingItem::Caption, 6, nullptr, "گاز", ListingFont::Caption, 2190, 5460, 315, 480, -1, -1},
    {"Check33", ListingItem::CheckBox, 6, "gas", nullptr, ListingFont::Caption, 2535, 5550, 300, 300, 70, 77},
    {"Label44", ListingItem::Caption, 6, nullptr, "فن كوئل", ListingFont::Caption, 3045, 5460, 750, 480, -1, -1},
    {"Check34", ListingItem::CheckBox, 6, "fancoel", nullptr, ListingFont::Caption, 3825, 5550, 300, 300, 71, 78},
    {"Label45", ListingItem::Caption, 6, nullptr, "چيلر", ListingFont::Caption, 4335, 5460, 435, 480, -1, -1},
    {"Check35", ListingItem::CheckBox, 6, "chiler", nullptr, ListingFont::Caption, 4800, 5550, 300, 300, 72, 79},
    {"Label46", ListingItem::Caption, 6, nullptr, "پكيج", ListingFont::Caption, 5310, 5460, 465, 480, -1, -1},
    {"Check36", ListingItem::CheckBox, 6, "pakage", nullptr, ListingFont::Caption, 5805, 5550, 300, 300, 73, 80},
    {"Label47", ListingItem::Caption, 6, nullptr, "آسانسور", ListingFont::Caption, 6315, 5460, 735, 480, -1, -1},
    {"Check37", ListingItem::CheckBox, 6, "asensor", nullptr, ListingFont::Caption, 7080, 5550, 300, 300, 74, 81},
    {"Label48", ListingItem::Caption, 6, nullptr, "سونا", ListingFont::Caption, 7590, 5460, 420, 480, -1, -1},
    {"Check38", ListingItem::CheckBox, 6, "soona", nullptr, ListingFont::Caption, 8040, 5550, 300, 300, 75, 82},
    {"Label49", ListingItem::Caption, 6, nullptr, "جكوزي", ListingFont::Caption, 8550, 5460, 675, 480, -1, -1},
    {"Check39", ListingItem::CheckBox, 6, "jakozi", nullptr, ListingFont::Caption, 9255, 5550, 300, 300, 76, 83},
    {"Label50", ListingItem::Caption, 6, nullptr, "استخر : ", ListingFont::Caption, 9765, 5460, 690, 480, -1, -1},
    {"Text45", ListingItem::TextBox, 6, "estakhr", nullptr, ListingFont::BoxPool, 10500, 5460, 1230, 480, 77, 84},
    {"Label51", ListingItem::Caption, 7, nullptr, "مساحت زمين", ListingFont::Caption, 150, 5970, 1140, 375, -1, -1},
    {"Text56", ListingItem::TextBox, 7, "tarakoom", nullptr, ListingFont::BoxSmall, 150, 6345, 1140, 450, 96, 85},
    {"Label52", ListingItem::Caption, 7, nullptr, "تراكم", ListingFont::Caption, 1380, 5970, 900, 375, -1, -1},
    {"Text53", ListingItem::TextBox, 7, "tarakoom", nullptr, ListingFont::Box, 1380, 6345, 900, 450, 78, 86},
    {"Label53", ListingItem::Caption, 7, nullptr, "طول بر", ListingFont::Caption, 2370, 5970, 900, 375, -1, -1},
    {"Text46", ListingItem::TextBox, 7, "tolebar", nullptr, ListingFont::Box, 2370, 6345, 900, 450, 79, 87},
    {"Label54", ListingItem::Caption, 7, nullptr, "اصلاحي", ListingFont::Caption, 3360, 5970, 900, 375, -1, -1},
    {"Text47", ListingItem::TextBox, 7, "eslahi", nullptr, ListingFont::Box, 3360, 6345, 900, 450, 80, 88},
    {"Label55", ListingItem::Caption, 7, nullptr, "حياط", ListingFont::Caption, 4350, 5970, 840, 375, -1, -1},
    {"Text48", ListingItem::TextBox, 7, "hayat", nullptr, ListingFont::Box, 4350, 6345, 840, 450, 81, 89},
    {"Label56", ListingItem::Caption, 7, nullptr, "حياط خلوت", ListingFont::Caption, 5280, 5970, 1050, 375, -1, -1},
    {"Text49", ListingItem::TextBox, 7, "hayatkhalvat", nullptr, ListingFont::Box, 5280, 6345, 1050, 450, 82, 90},
    {"Label57", ListingItem::Caption, 7, nullptr, "زير زمين", ListingFont::Caption, 6420, 5970, 930, 375, -1, -1},
    {"Text50", ListingItem::TextBox, 7, "zirzamin", nullptr, ListingFont::Box, 6420, 6345, 930, 450, 83, 91},
    {"Label58", ListingItem::Caption, 7, nullptr, "سرويس مستخدم", ListingFont::Caption, 7440, 5970, 1470, 375, -1, -1},
    {"Text51", ListingItem::TextBox, 7, "servicemostakhdem", nullptr, ListingFont::Box, 7440, 6345, 1470, 450, 84, 92},
    {"Label59", ListingItem::Caption, 7, nullptr, "پاسيو", ListingFont::Caption, 9000, 5970, 570, 375, -1, -1},
    {"Check40", ListingItem::CheckBox, 7, "pasio", nullptr, ListingFont::Caption, 9135, 6420, 300, 300, 85, 93},
    {"Label60", ListingItem::Caption, 7, nullptr, "مسكوني", ListingFont::Caption, 9660, 5970, 750, 375, -1, -1},
    {"Check41", ListingItem::CheckBox, 7, "maskooni", nullptr, ListingFont::Caption, 9885, 6420, 300, 300, 86, 94},
    {"Label61", ListingItem::Caption, 7, nullptr, "تخليه", ListingFont::Caption, 10500, 5970, 570, 375, -1, -1},
    {"Check42", ListingItem::CheckBox, 7, "takhlieh", nullptr, ListingFont::Caption, 10635, 6420, 300, 300, 87, 95},
    {"Label62", ListingItem::Caption, 7, nullptr, "اجاره", ListingFont::Caption, 11160, 5970, 570, 375, -1, -1},
    {"Check43", ListingItem::CheckBox, 7, "ejarehdoen", nullptr, ListingFont::Caption, 11295, 6420, 300, 300, 88, 96},
    {"Label63", ListingItem::Caption, 8, nullptr, "سن بنا :", ListingFont::CaptionLarge, 150, 6870, 735, 480, -1, -1},
    {"Text52", ListingItem::TextBox, 8, "senebana", nullptr, ListingFont::Box, 930, 6870, 1155, 480, 89, 97},
    {"Label64", ListingItem::Caption, 8, nullptr, "نما :", ListingFont::Caption, 2265, 6870, 420, 480, -1, -1},
    {"Text54", ListingItem::TextBox, 8, "nama", nullptr, ListingFont::Box, 2730, 6870, 1155, 480, 90, 98},
    {"Label65", ListingItem::Caption, 8, nullptr, "منبع اطلاعاتي :", ListingFont::Caption, 4065, 6870, 1290, 480, -1, -1},
    {"Text55", ListingItem::TextBox, 8, "manbaeetelaati", nullptr, ListingFont::Box, 5400, 6870, 1155, 480, 91, 99},
    {"Label66", ListingItem::Caption, 8, nullptr, "تنظيم كننده :", ListingFont::Caption, 6735, 6870, 1125, 480, -1, -1},
    {"Text57", ListingItem::TextBox, 8, "tanzimkonnandeh", nullptr, ListingFont::Box, 7905, 6870, 1155, 480, 92, 100},
    {"Label67", ListingItem::Caption, 8, nullptr, "سكونت مالك :", ListingFont::Caption, 9240, 6870, 1245, 480, -1, -1},
    {"Text58", ListingItem::TextBox, 8, "sookoonatehmalek", nullptr, ListingFont::Box, 10530, 6870, 1200, 480, 93, 101},
    {"Label68", ListingItem::Caption, 9, nullptr, "وضعيت سند : ", ListingFont::Caption, 150, 7500, 1200, 480, -1, -1},
    {"Text59", ListingItem::TextBox, 9, "vaziatehsanad", nullptr, ListingFont::Box, 1395, 7500, 2850, 480, 94, 102},
    {"Label69", ListingItem::Caption, 9, nullptr, "توضيحات : ", ListingFont::Caption, 4425, 7500, 960, 480, -1, -1},
    {"Text60", ListingItem::TextBox, 9, "details", nullptr, ListingFont::Box, 5430, 7500, 6300, 480, 95, 103},
};
// clang-format on

} // namespace

const char* const kListingEditShiftedRight[3] = {"Label24", "Label25", "Text10"};

const ListingTable& listingTable() {
    static const ListingTable table{kListingItems,
                                    sizeof(kListingItems) / sizeof(kListingItems[0])};
    return table;
}

const ListingItem* ListingTable::find(const QString& objectName) const {
    for (const ListingItem& item : *this) {
        if (objectName == QLatin1String(item.objectName)) {
            return &item;
        }
    }
    return nullptr;
}

FontSpec listingFontSpec(ListingFont font) {
    switch (font) {
    case ListingFont::Caption:
        return {"B Traffic", 11.25, true};
    case ListingFont::CaptionLarge:
        return {"B Traffic", 12, true};
    case ListingFont::CaptionSmall:
        return {"B Traffic", 9.75, true};
    case ListingFont::CaptionTiny:
        return {"B Traffic", 9, true};
    case ListingFont::Open:
        return {"Arial", 12, true};
    case ListingFont::Dash:
        return {"Times New Roman", 14.25, true};
    case ListingFont::Box:
        return {"B Nazanin", 14.25, false};
    case ListingFont::BoxBold:
        return {"B Nazanin", 14.25, true};
    case ListingFont::BoxSmall:
        return {"B Nazanin", 12, false};
    case ListingFont::BoxArial:
        return {"Arial", 9.75, true};
    case ListingFont::BoxPool:
        return {"B Traffic", 9.75, true};
    case ListingFont::None:
        break;
    }
    return {nullptr, 0, false};
}

} // namespace velmoran
