#include "app/screentable.h"

#include "app/form10.h"
#include "app/form9.h"
#include "app/mdiform1.h"
#include "screens/applicants/applicantform.h"
#include "screens/applicants/applicantlist.h"
#include "screens/edit/form7.h"
#include "screens/edit/form8.h"
#include "screens/entry/form1.h"
#include "screens/info/form11.h"
#include "screens/info/form12.h"
#include "screens/info/form5.h"
#include "screens/info/form6.h"
#include "screens/list/matchlist.h"
#include "screens/search/form13.h"
#include "screens/search/form2.h"
#include "screens/search/form4.h"
#include "ui/screens.h"

namespace velmoran {

// Every screen of the program and how it is made. A screen that is not here
// yet leaves its menu command doing nothing. Add a screen with one line:
//     screens.registerScreen(ScreenId::Form1, [] { return new Form1; });
void registerScreens(Screens& screens) {
    screens.registerMainWindow([] { return new MDIForm1; });
    screens.registerScreen(ScreenId::Form1, [] { return new Form1; });
    screens.registerScreen(ScreenId::Form2, [] { return new Form2; });
    screens.registerScreen(ScreenId::Form4, [] { return new Form4; });
    screens.registerScreen(ScreenId::Form5, [] { return new Form5; });
    screens.registerScreen(ScreenId::Form6, [] { return new Form6; });
    screens.registerScreen(ScreenId::Form7, [] { return new Form7; });
    screens.registerScreen(ScreenId::Form8, [] { return new Form8; });
    screens.registerScreen(ScreenId::Form9, [] { return new Form9; });
    screens.registerScreen(ScreenId::Form10, [] { return new Form10; });
    screens.registerScreen(ScreenId::Form11, [] { return new Form11; });
    screens.registerScreen(ScreenId::Form12, [] { return new Form12; });
    screens.registerScreen(ScreenId::Form13, [] { return new Form13; });
    screens.registerScreen(ScreenId::MatchList, [] { return new MatchList; });
    screens.registerScreen(ScreenId::ApplicantList, [] { return new ApplicantList; });
    screens.registerScreen(ScreenId::ApplicantForm, [] { return new ApplicantForm; });
}

} // namespace velmoran
