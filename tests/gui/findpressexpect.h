#pragma once

// What the search panels are expected to do, row by row, as the owner wrote
// it down; the tests compare the program with it.

namespace velmoran::test {

struct ExpectedRow {
    const char* button;
    const char* kind;        // kind flag
    const char* deal;        // deal flag
    const char* boxes[4];    // low price, high price, low rent, high rent
    const char* focus;       // the box with the focus after the not-found message
    bool first;              // find-first, else find-next
    const char* closingText; // ends the not-found message
};

// clang-format off
// The 18 buttons of Form4, then the 18 of Form13.
const ExpectedRow kExpectedRows[] = {
    {"Command8", "kolanghi", "fooroosh", {"Text6", "Text5"}, "Text5", true, " هيچ فايلي در بانك اطلاعاتي مربوط به فروش  كلنگي وجود ندارد"},
    {"Command7", "kolanghi", "fooroosh", {"Text6", "Text5"}, "Text5", false, " فقط همين تعداد فايل در بانك اطلاعاتي مربوط به فروش  كلنگي وجود دارد"},
    {"Command10", "kolanghi", "rahn", {"Text8", "Text7"}, "Text8", true, " هيچ فايلي در بانك اطلاعاتي مربوط به رهن  كلنگي وجود ندارد"},
    {"Command9", "kolanghi", "rahn", {"Text8", "Text7"}, "Text8", false, " فقط همين تعداد فايل در بانك اطلاعاتي مربوط به رهن  كلنگي وجود دارد"},
    {"Command12", "kolanghi", "ejareh", {"Text10", "Text9", "Text47", "Text48"}, "Text10", true, " هيچ فايلي در بانك اطلاعاتي مربوط به اجاره كلنگي وجود ندارد"},
    {"Command11", "kolanghi", "ejareh", {"Text10", "Text9", "Text47", "Text48"}, "Text10", false, " فقط همين تعداد فايل در بانك اطلاعاتي مربوط به اجاره كلنگي وجود دارد"},
    {"Command20", "maghazeh", "fooroosh", {"Text18", "Text17"}, "Text18", true, " هيچ فايلي در بانك اطلاعاتي مربوط به فروش  مغازه وجود ندارد"},
    {"Command19", "maghazeh", "fooroosh", {"Text18", "Text17"}, "Text18", false, " فقط همين تعداد فايل در بانك اطلاعاتي مربوط به فروش  مغازه وجود دارد"},
    {"Command22", "maghazeh", "rahn", {"Text20", "Text19"}, "Text20", true, " هيچ فايلي در بانك اطلاعاتي مربوط به رهن  مغازه وجود ندارد"},
    {"Command21", "maghazeh", "rahn", {"Text20", "Text19"}, "Text20", false, " فقط همين تعداد فايل در بانك اطلاعاتي مربوط به رهن  مغازه وجود دارد"},
    {"Command24", "maghazeh", "ejareh", {"Text22", "Text21", "Text43", "Text44"}, "Text22", true, " هيچ فايلي در بانك اطلاعاتي مربوط به اجاره مغازه وجود ندارد"},
    {"Command23", "maghazeh", "ejareh", {"Text22", "Text21", "Text43", "Text44"}, "Text22", false, " فقط همين تعداد فايل در بانك اطلاعاتي مربوط به اجاره مغازه وجود دارد"},
    {"Command32", "daftarehkar", "fooroosh", {"Text30", "Text29"}, "Text30", true, " هيچ فايلي در بانك اطلاعاتي مربوط به فروش  دفتر كار وجود ندارد"},
    {"Command31", "daftarehkar", "fooroosh", {"Text30", "Text29"}, "Text30", false, " فقط همين تعداد فايل در بانك اطلاعاتي مربوط به فروش  دفتر كار وجود دارد"},
    {"Command34", "daftarehkar", "rahn", {"Text32", "Text31"}, "Text32", true, " هيچ فايلي در بانك اطلاعاتي مربوط به رهن  دفتر كار وجود ندارد"},
    {"Command33", "daftarehkar", "rahn", {"Text32", "Text31"}, "Text32", false, " فقط همين تعداد فايل در بانك اطلاعاتي مربوط به رهن  دفتر كار وجود دارد"},
    {"Command36", "daftarehkar", "ejareh", {"Text34", "Text33", "Text45", "Text46"}, "Text34", true, " هيچ فايلي در بانك اطلاعاتي مربوط به اجاره دفتر كار وجود ندارد"},
    {"Command35", "daftarehkar", "ejareh", {"Text34", "Text33", "Text45", "Text46"}, "Text34", false, " فقط همين تعداد فايل در بانك اطلاعاتي مربوط به اجاره دفتر وجوددارد"},
    {"Command41", "mostaghelat", "fooroosh", {"Text39", "Text40"}, "Text39", true, " هيچ فايلي در بانك اطلاعاتي مربوط به فروش مستغلات وجود ندارد"},
    {"Command42", "mostaghelat", "fooroosh", {"Text39", "Text40"}, "Text39", false, " در بانك اطلاعاتي مربوط به فروش مستغلات فقط همين تعداد فايل موجود مي باشد "},
    {"Command39", "mostaghelat", "rahn", {"Text37", "Text38"}, "Text37", true, " هيچ فايلي در بانك اطلاعاتي مربوط به رهن مستغلات وجود ندارد"},
    {"Command40", "mostaghelat", "rahn", {"Text37", "Text38"}, "Text37", false, " فقط همين تعداد فايل  در بانك اطلاعاتي مربوط به رهن مستغلات وجود دارد"},
    {"Command37", "mostaghelat", "ejareh", {"Text35", "Text36", "Text2", "Text1"}, "Text35", true, " هيچ فايلي در بانك اطلاعاتي مربوط به اجاره مستغلات وجود ندارد"},
    {"Command38", "mostaghelat", "ejareh", {"Text35", "Text36", "Text2", "Text1"}, "Text35", false, " فقط همين تعداد فايل در بانك اطلاعاتي مربوط به اجاره مستغلات وجود دارد"},
    {"Command14", "apartman", "fooroosh", {"Text12", "Text11"}, "Text12", true, " هيچ فايلي در بانك اطلاعاتي مربوط به فروش آپارتمان وجود ندارد"},
    {"Command13", "apartman", "fooroosh", {"Text12", "Text11"}, "Text12", false, " فقط همين تعداد فايل در بانك اطلاعاتي مربوط به فروش آپارتمان وجود دارد"},
    {"Command16", "apartman", "rahn", {"Text14", "Text13"}, "Text13", true, " هيچ فايلي در بانك اطلاعاتي مربوط به رهن آپارتمان وجود ندارد"},
    {"Command15", "apartman", "rahn", {"Text14", "Text13"}, "Text13", false, " فقط همين تعداد فايل در بانك اطلاعاتي مربوط به رهن آپارتمان وجود دارد"},
    {"Command18", "apartman", "ejareh", {"Text16", "Text15", "Text3", "Text4"}, "Text15", true, " هيچ فايلي در بانك اطلاعاتي مربوط به اجاره آپارتمان وجود ندارد"},
    {"Command17", "apartman", "ejareh", {"Text16", "Text15", "Text3", "Text4"}, "Text15", false, "  فقط همين تعداد فايل در بانك اطلاعاتي مربوط به اجاره آپارتمان وجود دارد"},
    {"Command26", "vila", "fooroosh", {"Text24", "Text23"}, "Text23", true, " هيچ فايلي در بانك اطلاعاتي مربوط به فروش ويلا وجود ندارد"},
    {"Command25", "vila", "fooroosh", {"Text24", "Text23"}, "Text23", false, " فقط همين تعداد فايل در بانك اطلاعاتي مربوط به فروش ويلا وجود دارد"},
    {"Command28", "vila", "rahn", {"Text26", "Text25"}, "Text26", true, " هيچ فايلي در بانك اطلاعاتي مربوط به رهن ويلا وجود ندارد"},
    {"Command27", "vila", "rahn", {"Text26", "Text25"}, "Text26", false, " فقط همين تعداد فايل  در بانك اطلاعاتي مربوط به رهن ويلا وجود دارد"},
    {"Command30", "vila", "ejareh", {"Text28", "Text27", "Text41", "Text42"}, "Text28", true, " هيچ فايلي در بانك اطلاعاتي مربوط به اجاره ويلا وجود ندارد"},
    {"Command29", "vila", "ejareh", {"Text28", "Text27", "Text41", "Text42"}, "Text28", false, " فقط همين تعداد فايل در بانك اطلاعاتي مربوط به اجاره ويلا وجود دارد"},
};
constexpr int kForm4Rows = 18;
// Form4: its text boxes and buttons by tab index.
const char* const kForm4TabOrder[] = {"Text48", "Text47", "Text46", "Text45", "Text44", "Text43", "Command36", "Command35", "Text34", "Text33", "Command34", "Command33", "Text32", "Text31", "Command32", "Command31", "Text30", "Text29", "Command24", "Command23", "Text22", "Text21", "Command22", "Command21", "Text20", "Text19", "Command20", "Command19", "Text18", "Text17", "Command12", "Command11", "Text10", "Text9", "Command10", "Command9", "Text8", "Text7", "Command8", "Command7", "Text6", "Text5"};
// Form13: its text boxes and buttons by tab index.
const char* const kForm13TabOrder[] = {"Text11", "Text12", "Command13", "Command14", "Text13", "Text14", "Command15", "Command16", "Text15", "Text16", "Command17", "Command18", "Text23", "Text24", "Command25", "Command26", "Text25", "Text26", "Command27", "Command28", "Text27", "Text28", "Command29", "Command30", "Command37", "Command38", "Text35", "Text36", "Command39", "Command40", "Text37", "Text38", "Command41", "Command42", "Text39", "Text40", "Text1", "Text2", "Text3", "Text4", "Text42", "Text41"};

const char* const kPriceOpening = " با ميانگين قيمت  ";
const char* const kOwnerOpening = " با نام مالك  ";
const char* const kJoiner = "تا";
const char* const kCommand9Joiner = "'تا'";
const char* const kNotFoundTitle = "جستجوي نا موفق";
const char* const kInputError = "ايجاد خطا در برنامه  . . . لطفا در فيلدها مقادير  صحيح وارد نمائيد  !";
const char* const kInputErrorTitle = "استفاده نادرست كاربر";
const char* const kSearchButtonCaption = "جستجو";
const char* const kNextButtonCaption = "بعدي";
const char* const kFileMenuCaption = "فايل";
const char* const kResidentialCaption = "جستجو در موارد مستغلات و آپارتمان و ويلا";
const char* const kCommercialCaption = "جستجو در موارد كلنگي و دفتر كار و مغازه";

// Examples: the criterion of a row for given boxes, and a button's whole
// not-found message.
const char* const kMortgageOldBuildings100To200 = "gheymatehkoole > '100' AND  gheymatehkoole < '200' and  rahn = -1 and kolanghi = -1 ";
const char* const kShopsForSale2000To8000 = "gheymatehkoole > '2000' AND  gheymatehkoole < '8000' and  fooroosh = -1 and maghazeh = -1 ";
const char* const kApartmentsForRent500To900And10To20 = "gheymatehkoole > '500' AND  gheymatehkoole < '900' and  vahed02 > '10' AND  vahed02 < '20'  and ejareh = -1 and apartman = -1  ";
const char* const kCommand9Message100To200 = " با ميانگين قيمت  100'تا'200 فقط همين تعداد فايل در بانك اطلاعاتي مربوط به رهن  كلنگي وجود دارد";
const char* const kCommand20Message1000To5000 = " با ميانگين قيمت  1000تا5000 هيچ فايلي در بانك اطلاعاتي مربوط به فروش  مغازه وجود ندارد";
const char* const kCommand14Message1000To5000 = " با ميانگين قيمت  1000تا5000 هيچ فايلي در بانك اطلاعاتي مربوط به فروش آپارتمان وجود ندارد";
const char* const kCommand38ClosingText = " فقط همين تعداد فايل در بانك اطلاعاتي مربوط به اجاره مستغلات وجود دارد";
// clang-format on

} // namespace velmoran::test
