#include "app/form9.h"
#include "app/screens.h"
#include "screens/entry/form1.h"

namespace velmoran {

// Every screen of the program and how it is made. A screen that is not here
// yet leaves its menu command doing nothing. Add a screen with one line:
//     screens.registerScreen(ScreenId::Form1, [] { return new Form1; });
void registerScreens(Screens& screens) {
    screens.registerScreen(ScreenId::Form1, [] { return new Form1; });
    screens.registerScreen(ScreenId::Form9, [] { return new Form9; });
}

} // namespace velmoran
