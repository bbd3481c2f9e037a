#include "screens/info/form6.h"

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
    QStringLiteral("---------------درباره  ما ----------------درباره  ما-----------------درباره  "
                   "ما-----------------درباره  ما---------------");

QString credit(const QString& role) {
    return role + QLatin1Char(' ') + makerPerson();
}

} // namespace

Form6::Form6() : Screen(ScreenId::Form6) {
    setWindowTitle(kCaption);
    makeFixedWindow(this, Qt::Tool, 6360, 4935);
    // No window icon of its own.
    QPixmap noIcon(16, 16);
    noIcon.fill(Qt::transparent);
    setWindowIcon(QIcon(noIcon));
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);

    addLabels(
        this,
        {
            {"Label1", QStringLiteral(" درباره ما "), 1080, 120, 4455, 855, "Arial", 24, true,
             TextColour::Highlight, Script::Persian},
            {"Label3", credit(QStringLiteral("كارشناس برنامه نويسي :")), 2910, 1560, 3345, 345,
             "B Jadid", 12, true, TextColour::DarkShadow, Script::Persian},
            {"Label6", credit(QStringLiteral("متخصص طراح گرافيك:")), 2895, 2340, 3375, 345,
             "B Jadid", 12, true, TextColour::DarkShadow, Script::Persian},
            {"Label4", credit(QStringLiteral("مديريت و كنترل پروژه:")), 2880, 3120, 3420, 345,
             "B Jadid", 12, true, TextColour::DarkShadow, Script::Persian},
            {"Label2",
             QStringLiteral("كليه حقوق اين نرم افزار محفوظ است و هر گونه كپي برداري از آن "
                            "پيگرد قانوني دارد"),
             240, 4095, 5805, 405, "B Compset", 9.75, true, TextColour::DarkRed, Script::Persian},
            {"Label5", makerLegalNotice(), 1440, 4560, 3495, 375, "MS Sans Serif", 9.75, true,
             TextColour::Default, Script::Latin},
        });
    addPicture(this, "Image1", aboutIcon(), 360, 240, 510, 510);
    addPicture(this, "Image2", makerLogotype(), 0, 1170, 2775, 2655);

    onClick(this, [this] { Form_Click(); });
}

void Form6::Form_Load() {
    keepAbove(this, Screens::instance().mainWindow());
    setMainWindowEnabled(false);
}

void Form6::Form_Unload() {
    setMainWindowEnabled(true);
}

void Form6::Form_Click() {
    unload();
}

} // namespace velmoran
