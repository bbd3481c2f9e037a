#include "app/storeguard.h"

#include "app/backgroundwork.h"
#include "data/core/fields.h"
#include "data/core/storemessages.h"
#include "data/folder/folderlock.h"
#include "data/maintenance/backup.h"
#include "data/maintenance/storecheck.h"
#include "platform/messagebox.h"

#include <QCalendar>
#include <QDir>
#include <QFileInfo>
#include <QLocale>

#include <future>
#include <memory>

namespace velmoran::storeguard {

namespace {

QString title() {
    return QStringLiteral("فايل اطلاعات آسيب ديده");
}

QString storePath(const QString& folder, const TableSpec& tableSpec) {
    return QDir(folder).filePath(QString::fromUtf8(tableSpec.fileName));
}

// A backup's time as the agency reads dates: the solar calendar.
QString solarTime(const QDateTime& time) {
    return QLocale::c().toString(time, u"yyyy/MM/dd HH:mm", QCalendar(QCalendar::System::Jalali));
}

// The newest backup of `tableSpec` that passes integrity_check; none when
// no backup is sound.
std::optional<BackupFile> newestSoundBackup(const QString& folder, const TableSpec& tableSpec) {
    std::optional<BackupFile> found;
    runInBackground(
        "damageProgress", title(), QStringLiteral("جستجوي پشتيبان سالم ..."), [&](WorkProgress&) {
            for (const BackupFile& backup : listBackups(backupFolder(folder), tableSpec)) {
                if (checkStoreFile(backup.path, CheckDepth::Full).sound() &&
                    storeOfBackup(backup.path) == &tableSpec) {
                    found = backup;
                    return;
                }
            }
        });
    return found;
}

// Offers the newest sound backup in place of the damaged store; true when it
// was put back and the program may go on.
bool offerRestore(const QString& folder, const TableSpec& tableSpec, const QString& detail,
                  FolderLock& lock) {
    const QString store = storePath(folder, tableSpec);
    const QString damage = QStringLiteral("فايل اطلاعات %1 آسيب ديده است: %2\n\nبرنامه در اين "
                                          "فايل چيزي نمي نويسد.")
                               .arg(isolatedPath(store), isolated(detail));
    const std::optional<BackupFile> backup = newestSoundBackup(folder, tableSpec);
    if (!backup) {
        MessageBox::show(damage + QStringLiteral(" پشتيبان سالمي از آن در پوشه %1 نيست. برنامه "
                                                 "بسته مي شود و فايل دست نخورده مي ماند.")
                                      .arg(isolatedPath(backupFolder(folder))),
                         title(), MessageBox::Icon::Critical, MessageBox::Buttons::Ok);
        return false;
    }
    const int answer = MessageBox::show(
        damage +
            QStringLiteral(" پشتيبان سالم %1 از تاريخ %2 به جاي آن گذاشته شود؟ فايل آسيب "
                           "ديده با نام %3 كنار آن مي ماند.\n\nاگر نه، برنامه بسته مي شود "
                           "و فايل دست نخورده مي ماند.")
                .arg(isolatedPath(QFileInfo(backup->path).fileName()), solarTime(backup->made),
                     isolatedPath(
                         QString::fromUtf8(tableSpec.fileName) + QStringLiteral(".damaged-") +
                         QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")))),
        title(), MessageBox::Icon::Critical, MessageBox::Buttons::YesNo);
    if (answer != MessageBox::vbYes) {
        return false;
    }
    // The file is replaced only where no other copy has it open.
    if (!lock.tryLock(folder, FolderLock::Mode::Exclusive)) {
        MessageBox::show(folderInUseMessage(folder), title(), MessageBox::Icon::Critical,
                         MessageBox::Buttons::Ok);
        return false;
    }
    RestoreResult result;
    runInBackground("damageProgress", title(), QStringLiteral("برگرداندن پشتيبان ..."),
                    [&](WorkProgress& progress) {
                        result = restoreBackup(folder, backup->path, QStringLiteral("damaged"),
                                               [&](qint64 done, qint64 total) {
                                                   progress.done = done;
                                                   progress.total = total;
                                               });
                    });
    lock.tryLock(folder, FolderLock::Mode::Shared);
    if (!result.ok()) {
        MessageBox::show(result.error, title(), MessageBox::Icon::Critical,
                         MessageBox::Buttons::Ok);
        return false;
    }
    MessageBox::show(QStringLiteral("پشتيبان %1 برگردانده شد. فايل آسيب ديده با نام %2 نگه داشته "
                                    "شد؛ آنچه پس از %3 ذخيره شده بود فقط در آن است.")
                         .arg(isolatedPath(QFileInfo(backup->path).fileName()),
                              isolatedPath(QFileInfo(result.keptAs).fileName()),
                              solarTime(backup->made)),
                     title(), MessageBox::Icon::None, MessageBox::Buttons::Ok);
    return true;
}

// Handles the outcome of a check of `tableSpec`; false when the program ends.
bool settle(const QString& folder, const TableSpec& tableSpec, const StoreCheck& check,
            FolderLock& lock) {
    if (check.outcome != StoreCheck::Damaged) {
        // Unreadable files are reported by the store's own preparation.
        return true;
    }
    if (offerRestore(folder, tableSpec, check.detail, lock)) {
        return true;
    }
    // Refused, the file stays as it was found: without the journal files
    // the check's read made, where no other copy has them.
    if (lock.tryLock(folder, FolderLock::Mode::Exclusive)) {
        removeCheckLeftovers(check);
    }
    return false;
}

// The check of newil.db under way.
struct ListingsCheck {
    QString folder;
    FolderLock* lock = nullptr;
    std::atomic<bool> stop{false};
    std::future<StoreCheck> result;
    bool settled = false;
};
std::unique_ptr<ListingsCheck> g_check;

} // namespace

bool checkBeforeLogin(const QString& folder, FolderLock& lock) {
    const QString password = storePath(folder, passwordTable());
    if (QFileInfo::exists(password) &&
        !settle(folder, passwordTable(), checkStoreFile(password, CheckDepth::Full), lock)) {
        return false;
    }
    // A file whose first pages are no database fails at once; its deeper
    // check waits until the login shows.
    const QString listings = storePath(folder, listingsTable());
    if (!QFileInfo::exists(listings)) {
        return true;
    }
    return settle(folder, listingsTable(), checkStoreHead(listings), lock);
}

void startListingsCheck(const QString& folder, FolderLock& lock) {
    stopChecks();
    const QString listings = storePath(folder, listingsTable());
    if (!QFileInfo::exists(listings)) {
        return;
    }
    g_check = std::make_unique<ListingsCheck>();
    g_check->folder = folder;
    g_check->lock = &lock;
    const std::atomic<bool>* stop = &g_check->stop;
    g_check->result = std::async(std::launch::async, [listings, stop] {
        // integrity_check: every page and record, and every index entry
        // against its row, so a file whose indexes disagree with its table
        // is never written to.
        return checkStoreFile(listings, CheckDepth::Full, stop);
    });
}

bool admitMainWindow() {
    if (!g_check || g_check->settled) {
        return true;
    }
    ListingsCheck& check = *g_check;
    StoreCheck result;
    if (check.result.wait_for(std::chrono::seconds(0)) == std::future_status::ready) {
        result = check.result.get();
    } else {
        runInBackground("damageProgress", QStringLiteral("بررسي فايل اطلاعات"),
                        QStringLiteral("بررسي فايل اطلاعات %1 ...")
                            .arg(isolatedPath(storePath(check.folder, listingsTable()))),
                        [&](WorkProgress&) { result = check.result.get(); });
    }
    if (!settle(check.folder, listingsTable(), result, *check.lock)) {
        return false;
    }
    check.settled = true;
    return true;
}

void stopChecks() {
    if (g_check) {
        g_check->stop = true;
        if (g_check->result.valid()) {
            g_check->result.wait();
        }
        g_check.reset();
    }
}

} // namespace velmoran::storeguard
