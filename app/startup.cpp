#include "app/startup.h"

#include "app/endbackup.h"
#include "app/screentable.h"
#include "app/startupimport.h"
#include "app/storeguard.h"
#include "data/core/fields.h"
#include "data/core/storemessages.h"
#include "data/folder/datafolder.h"
#include "data/folder/folderlock.h"
#include "data/maintenance/leftovers.h"
#include "data/sqlite/sqlitefile.h"
#include "data/store/storelocation.h"
#include "platform/messagebox.h"
#include "ui/screens.h"

#include <cerrno>
#include <cstring>

namespace velmoran {

namespace {

// How long the start waits for a velmoran-cli step that has the folder to
// itself (a backup, a restore) to end.
constexpr int kFolderWait = 3000;

QString startupTitle() {
    return QStringLiteral("خطا در شروع برنامه");
}

bool refuse(const QString& message) {
    MessageBox::show(message, startupTitle(), MessageBox::Icon::Critical, MessageBox::Buttons::Ok);
    return false;
}

// The folder this copy runs on, and its mark there.
struct Running {
    QString folder;
    FolderLock lock;
};

Running& running() {
    static Running state;
    return state;
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
        return refuse(
            QStringLiteral("پوشه اطلاعات برنامه (%1) ساخته نمي شود.").arg(isolatedPath(folder)));
    }
    storeguard::stopChecks();
    Running& state = running();
    state.lock.unlock();
    state.folder.clear();
    // Alone on the folder, the temporary files of steps killed half-way are
    // known to be nobody's.
    if (state.lock.tryLock(folder, FolderLock::Mode::Exclusive)) {
        removeLeftovers(folder);
    }
    if (!state.lock.lock(folder, FolderLock::Mode::Shared, kFolderWait)) {
        return refuse(
            errno == EWOULDBLOCK
                ? folderInUseMessage(folder)
                : QStringLiteral("پوشه اطلاعات برنامه %1 باز نشد: %2")
                      .arg(isolatedPath(folder), QString::fromLocal8Bit(std::strerror(errno))));
    }
    state.folder = folder;
    // An agency's Access files are brought over before the stores are
    // checked, so a store made from them is checked like any other. A
    // server's store is filled by copying a data folder up to it.
    if (!store.onServer() && !importWaitingAccessFiles(folder)) {
        return false;
    }
    // The files are checked for damage; a server looks after its own pages.
    if (!store.onServer() && !storeguard::checkBeforeLogin(folder, state.lock)) {
        return false;
    }
    for (const TableSpec* tableSpec : {&listingsTable(), &passwordTable()}) {
        const QString problem = prepareStore(store, *tableSpec);
        if (!problem.isEmpty()) {
            return refuse(problem);
        }
    }
    setActiveStore(store);
    if (store.onServer()) {
        // The end-of-session backups are of the files; a server's store is
        // backed up with velmoran-cli backup (a copy down into backups/).
        state.folder.clear();
    } else {
        storeguard::startListingsCheck(folder, state.lock);
    }
    Screens& screens = Screens::instance();
    registerScreens(screens);
    screens.setMainWindowGate([] {
        if (storeguard::admitMainWindow()) {
            return true;
        }
        running().folder.clear(); // a damaged store is not backed up either
        return false;
    });
    return screens.show(ScreenId::Form9) != nullptr;
}

void endProgram() {
    storeguard::stopChecks();
    Running& state = running();
    if (!state.folder.isEmpty()) {
        backupChangedStores(state.folder);
    }
    state.lock.unlock();
    state.folder.clear();
}

} // namespace velmoran
