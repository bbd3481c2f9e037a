#include "app/startup.h"

#include "app/screentable.h"
#include "app/startupimport.h"
#include "data/datafolder.h"
#include "data/fields.h"
#include "data/storage.h"
#include "data/storemessages.h"
#include "platform/messagebox.h"
#include "ui/screens.h"

namespace velmoran {

namespace {

QString startupTitle() {
    return QStringLiteral("خطا در شروع برنامه");
}

bool refuse(const QString& message) {
    MessageBox::show(message, startupTitle(), MessageBox::Icon::Critical, MessageBox::Buttons::Ok);
    return false;
}

} // namespace

bool startProgram() {
    const QString folder = dataFolder();
    if (!ensureDataFolder(folder)) {
        return refuse(
            QStringLiteral("پوشه اطلاعات برنامه (%1) ساخته نمي شود.").arg(isolatedPath(folder)));
    }
    // An agency's Access files are brought over before the stores are
    // checked, so a store made from them is checked like any other.
    if (!importWaitingAccessFiles(folder)) {
        return false;
    }
    for (const TableSpec* tableSpec : {&listingsTable(), &passwordTable()}) {
        const QString problem = prepareStore(folder, *tableSpec);
        if (!problem.isEmpty()) {
            return refuse(problem);
        }
    }
    Screens& screens = Screens::instance();
    registerScreens(screens);
    return screens.show(ScreenId::Form9) != nullptr;
}

} // namespace velmoran
