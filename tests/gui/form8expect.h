#pragma once

// What the edit panel is expected to do, as the owner wrote it down; the
// tests compare the program with it.

namespace velmoran::test {

// One find button of the edit panel.
struct ExpectedEditRow {
    const char* button;
    const char* row;         // "sale", "mortgage", "rent" or "owner"
    bool first;              // find-first, else find-next
    const char* low;         // the low price box, or the owner box
    const char* high;        // the high price box; null in the owner row
    const char* closingText; // ends the not-found message
    bool clears;             // clearallcommands after the not-found message
    const char* focus;       // the box with the focus then; null: none moves
};

// clang-format off
const ExpectedEditRow kExpectedEditRows[] = {
    {"Command1", "sale", true, "Text56", "Text68", " هيچ فايلي در بانك اطلاعاتي وجود ندارد", true, "Text56"},
    {"Command2", "sale", false, "Text56", "Text68", " فقط همين تعداد فايل در بانك اطلاعاتي وجود دارد ", false, nullptr},
    {"Command4", "mortgage", true, "Text2", "Text1", " هيچ فايلي در بانك اطلاعاتي وجود ندارد ", true, "Text2"},
    {"Command3", "mortgage", false, "Text2", "Text1", " فقط همين تعداد فايل در بانك اطلاعاتي وجود دارد", false, nullptr},
    {"Command6", "rent", true, "Text4", "Text3", " هيچ فايلي در بانك اطلاعاتي وجود ندارد ", true, "Text4"},
    {"Command5", "rent", false, "Text4", "Text3", " فقط همين تعداد فايل در بانك اطلاعاتي وجود دارد ", true, "Text4"},
    {"Command7", "owner", true, "Text5", nullptr, " هيچ فايلي در بانك اطلاعاتي وجود ندارد ", true, "Text5"},
    {"Command8", "owner", false, "Text5", nullptr, " همين تعداد فايل در بانك اطلاعاتي وجود دارد ", true, "Text5"},
};

// The panel's controls as designed: name, caption (null for a box), left,
// top, width and height in twips, tab index.
struct ExpectedEditControl {
    const char* name;
    const char* caption;
    int left;
    int top;
    int width;
    int height;
    int tabIndex;
};

const ExpectedEditControl kExpectedEditControls[] = {
    {"Label72", " جستجو بر حسب قيمت فروش", 3900, 0, 2655, 390, 14},
    {"Text56", nullptr, 2340, 0, 1380, 420, 10},
    {"Command1", "جستجو", 1365, 0, 990, 210, 8},
    {"Command2", "بعدي", 1365, 195, 990, 210, 9},
    {"Text68", nullptr, 0, 0, 1380, 420, 11},
    {"Label1", " جستجو بر حسب قيمت رهـن", 3960, 585, 2595, 390, 13},
    {"Text2", nullptr, 2340, 585, 1380, 420, 6},
    {"Command4", "جستجو", 1365, 585, 990, 210, 4},
    {"Command3", "بعدي", 1365, 780, 990, 210, 5},
    {"Text1", nullptr, 0, 585, 1380, 420, 7},
    {"Label2", " جستجو بر حسب قيمت اجاره", 3930, 1170, 2625, 390, 12},
    {"Text4", nullptr, 2340, 1170, 1380, 420, 2},
    {"Command6", "جستجو", 1365, 1170, 990, 210, 0},
    {"Command5", "بعدي", 1365, 1365, 990, 210, 1},
    {"Text3", nullptr, 0, 1170, 1380, 420, 3},
    {"Label3", "جستجو بر حسب نام مالك  ", 3900, 1755, 2355, 390, 15},
    {"Text5", nullptr, 2340, 1755, 1380, 420, 17},
    {"Command7", "جستجو", 1365, 1755, 990, 210, 16},
    {"Command8", "بعدي", 1365, 1950, 990, 210, 18},
    {"Command9", "حذف", 0, 1755, 1380, 405, 19},
};
// clang-format on

const char* const kEditPanelCaption = "جستجو براي حذف يا ويرايش ";
const char* const kDeleteQuestionOpening = "ايا مايل به حذف فايل مالك ";
const char* const kDeleteQuestionClosing = " مي باشيد ؟";
const char* const kDeleteQuestionTitle = "حذف فايل ";
const char* const kNothingToDelete = "فايلي براي حذف وجود ندارد";
const char* const kNothingToDeleteTitle = "خطا در استفاده كاربر . . . ";
// The sale row with 1000 and 5000, as sent.
const char* const kSale1000To5000 =
    "gheymatehkoole > '1000' AND  gheymatehkoole < '5000' and  fooroosh = -1  ";
const char* const kEditSearchCaption = "جستجو";

} // namespace velmoran::test
