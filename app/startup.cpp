#include "app/startup.h"

#include "app/screens.h"
#include "app/startupimport.h"
#include "data/datafolder.h"
#include "data/fields.h"
#include "data/storelocation.h"
#include "platform/messagebox.h"

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
    QString configProblem;
    const StoreLocation store = configuredStore(&configProblem);
    if (!configProblem.isEmpty()) {
        return refuse(configProblem);
    }
    const QString folder = store.folder;
    if (!ensureDataFolder(folder)) {
        return refuse(QStringLiteral("پوشه اطلاعات برنامه (%1) ساخته نمي شود.").arg(folder));
    }
    // An agency's Access files are brought over before the stores are
    // checked, so a store made from them is checked like any other. A
    // server's store is filled by copying a data folder up to it.
    if (!store.onServer() && !importWaitingAccessFiles(folder)) {
        return false;
    }
    for (const TableSpec* tableSpec : {&listingsTable(), &passwordTable()}) {
        const QString problem = prepareStore(store, *tableSpec);
        if (!problem.isEmpty()) {
            return refuse(problem);
        }
    }
    setActiveStore(store);
    Screens& screens = Screens::instance();
    registerScreens(screens);
    return screens.show(ScreenId::Form9) != nullptr;
}

} // namespace velmoran
