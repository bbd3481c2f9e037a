#include "screens/info/form11.h"

#include "platform/widgets/fixedwindow.h"
#include "screens/info/infoartwork.h"
#include "screens/info/infoscreen.h"
#include "screens/info/makerdetails.h"
#include "ui/eventhooks.h"
#include "ui/mainwindow.h"
#include "ui/screens.h"

#include <QLabel>

namespace velmoran {

namespace {

const QString kCaption =
    QStringLiteral("                                                       ارتباط  با  ما      ");

} // namespace

Form11::Form11() : Screen(ScreenId::Form11) {
    setWindowTitle(kCaption);
    makeFixedWindow(this, Qt::Tool, 6210, 4845);
    setWindowIcon(contactIcon());

    addLabels(this, {
                        {"Label1", QStringLiteral("ارتباط با ما  "), 3315, 195, 2175, 960,
                         "B Koodak", 27.75, true, TextColour::Highlight, Script::Persian},
                        {"Label2", QStringLiteral("ارتباط با مديريت ولمورانك"), 2925, 1170, 2970,
                         555, "B Titr", 15.75, true, TextColour::WindowText, Script::Persian},
                        {"Label6", makerPerson(), 3705, 1950, 1365, 555, "B Titr", 15.75, true,
                         TextColour::WindowText, Script::Persian},
                        {"Label5", QStringLiteral("info@velmoran.example"), 2880, 3120, 2805, 240,
                         "MS Sans Serif", 9.75, true, TextColour::Default, Script::Latin},
                        {"Label7", QStringLiteral("arash@velmoran.example"), 2880, 3720, 2850, 240,
                         "MS Sans Serif", 9.75, true, TextColour::Default, Script::Latin},
                        {"Label8", makerLegalNotice(), 1440, 4440, 3495, 375, "MS Sans Serif", 9.75,
                         true, TextColour::Default, Script::Latin},
                    });
    addPicture(this, "Image1", contactPicture(), 195, 195, 2250, 4095);

    onClick(this, [this] { Form_Click(); });
    onDoubleClick(this, [this] { Form_DblClick(); });
}

void Form11::Form_Load() {
    keepAbove(this, Screens::instance().mainWindow());
    setMainWindowEnabled(false);
}

void Form11::Form_Unload() {
    setMainWindowEnabled(true);
}

void Form11::Form_Click() {
    unload();
}

void Form11::Form_DblClick() {
    unload();
}

} // namespace velmoran
