#include "app/storeguard.h"

#include "app/backgroundwork.h"
#include "data/core/fields.h"
#include "data/core/storeerror.h"
#include "data/core/storemessages.h"
#include "data/folder/folderlock.h"
#include "data/maintenance/backup.h"
#include "data/maintenance/storecheck.h"
#include "platform/messagebox.h"
#include "platform/threadpriority.h"

#include <QCalendar>
#include <QDir>
#include <QFileInfo>
#include <QLocale>

#include <QCoreApplication>
#include <QEventLoop>
#include <QProgressDialog>
#include <QTimer>

#include <algorithm>
#include <future>
#include <limits>
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
    const QString damage = damagedStoreMessage(store, detail);
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

// The check of newil.db under way, and what it found.
struct ListingsCheck {
    QString folder;
    FolderLock* lock = nullptr;
    std::atomic<bool> stop{false};
    CheckProgress progress;        // the full check's
    StoreFileState before;         // the file as the checks found it
    std::atomic<qint64> thread{0}; // the checks' thread, once it runs
    std::promise<StoreCheck> quickFound;
    std::future<StoreCheck> quick;
    std::future<StoreCheck> full;
    bool admitted = false; // the main window opened
    bool waiting = false;  // a write waits for the verdict (and tells it)
    bool written = false;  // a write went on to the file since the check
    Verdict verdict = Verdict::Pending;
    StoreCheck damage; // the full check's findings on a damaged file
};
std::unique_ptr<ListingsCheck> g_check;
// Told apart from a later check's, the call of one that was stopped.
int g_generation = 0;
// pc.db as its check before the login found it sound.
std::optional<StoreFileState> g_passwordSound;

FullCheck& fullCheck() {
    static FullCheck check;
    return check;
}

StoreCheck runFullCheck(const QString& path, const std::atomic<bool>* stop,
                        CheckProgress* progress) {
    if (fullCheck()) {
        return fullCheck()(path, stop, progress);
    }
    return checkStoreFile(path, CheckDepth::Full, stop, progress);
}

// A check that failed in itself (no memory for it) leaves the file as one
// that could not be read: its store tells what it finds.
StoreCheck checked(const std::function<StoreCheck()>& check) {
    try {
        return check();
    } catch (const std::exception& e) {
        StoreCheck failed;
        failed.outcome = StoreCheck::Unreadable;
        failed.detail = QString::fromLocal8Bit(e.what());
        return failed;
    }
}

// The thread that reads the whole file through gives way to the program
// while nobody waits for it.
constexpr int kBackgroundNice = 10;

QString listingsPath(const ListingsCheck& check) {
    return storePath(check.folder, listingsTable());
}

QString damageText(const ListingsCheck& check) {
    return damagedStoreMessage(listingsPath(check), check.damage.detail);
}

// Takes the full check's verdict when it is in. `tell`: a damaged file found
// while the program is in use is told at once.
void takeVerdict(bool tell) {
    if (!g_check || g_check->verdict != Verdict::Pending || !g_check->full.valid() ||
        g_check->full.wait_for(std::chrono::seconds(0)) != std::future_status::ready) {
        return;
    }
    ListingsCheck& check = *g_check;
    const StoreCheck found = check.full.get();
    if (found.outcome == StoreCheck::Stopped) {
        check.verdict = Verdict::None;
    } else if (found.outcome == StoreCheck::Damaged) {
        check.verdict = Verdict::Damaged;
        check.damage = found;
        if (tell && check.admitted && !check.waiting) {
            MessageBox::show(damageText(check) +
                                 QStringLiteral(" آنچه تا كنون ذخيره شده دست نخورده مي ماند. "
                                                "هنگام بستن برنامه، پشتيبان سالم آن پيشنهاد "
                                                "مي شود."),
                             title(), MessageBox::Icon::Critical, MessageBox::Buttons::Ok);
        }
    } else {
        // A file that can't be read is told by the store itself.
        check.verdict = Verdict::Sound;
    }
}

// The check's thread tells the program when its verdict is in.
void verdictIn(int generation) {
    if (generation == g_generation) {
        takeVerdict(true);
    }
}

// Waits for the full verdict behind a progress window with a cancel button;
// false when the user cancelled first.
bool waitForVerdict(ListingsCheck& check) {
    QProgressDialog dialog;
    dialog.setObjectName(QStringLiteral("verdictProgress"));
    dialog.setWindowTitle(QStringLiteral("بررسي فايل اطلاعات"));
    dialog.setLabelText(QStringLiteral("بررسي فايل اطلاعات %1 پيش از اولين ذخيره ...")
                            .arg(isolatedPath(listingsPath(check))));
    dialog.setCancelButtonText(QStringLiteral("انصراف"));
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setAutoClose(false);
    dialog.setAutoReset(false);
    dialog.setRange(0, 1000);
    dialog.setMinimumDuration(std::numeric_limits<int>::max());
    dialog.setValue(0);
    QEventLoop loop;
    QTimer poll;
    // Its verdict taken meanwhile (the check's own call) counts as in.
    const auto ready = [&check] {
        return check.verdict != Verdict::Pending || !check.full.valid() ||
               check.full.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
    };
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (ready()) {
            loop.quit();
            return;
        }
        const qint64 total = check.progress.total;
        if (total > 0) {
            // Per mille, short of the end until the end.
            dialog.setValue(
                static_cast<int>(std::min<qint64>(999, check.progress.done * 1000 / total)));
        }
    });
    QObject::connect(&dialog, &QProgressDialog::canceled, &loop, &QEventLoop::quit);
    QTimer::singleShot(kProgressWindowDelay, &dialog, [&] {
        if (!ready()) {
            dialog.show();
        }
    });
    poll.start(30);
    if (!ready()) {
        check.waiting = true;
        // The user waits for it now.
        ThreadPriority::setNice(check.thread, 0);
        loop.exec();
        if (!ready()) { // cancelled: in the background again
            ThreadPriority::setNice(check.thread, kBackgroundNice);
        }
        check.waiting = false;
    }
    dialog.hide();
    return ready();
}

} // namespace

bool checkBeforeLogin(const QString& folder, FolderLock& lock) {
    g_passwordSound.reset();
    const QString password = storePath(folder, passwordTable());
    if (QFileInfo::exists(password)) {
        const StoreFileState before = storeFileState(password);
        const StoreCheck check = checkStoreFile(password, CheckDepth::Full);
        if (!settle(folder, passwordTable(), check, lock)) {
            return false;
        }
        if (check.sound()) {
            g_passwordSound = before;
        }
    }
    // A file whose first pages are no database fails at once; its deeper
    // checks wait until the login shows.
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
    ListingsCheck& check = *g_check;
    check.folder = folder;
    check.lock = &lock;
    check.before = storeFileState(listings);
    check.quick = check.quickFound.get_future();
    const int generation = ++g_generation;
    check.full = std::async(std::launch::async, [listings, generation, &check] {
        const StoreCheck quick =
            checked([&] { return checkStoreFile(listings, CheckDepth::Quick, &check.stop); });
        check.quickFound.set_value(quick);
        if (!quick.sound()) {
            return StoreCheck(); // Stopped: the quick verdict is the one that counts
        }
        check.thread = ThreadPriority::currentThread();
        ThreadPriority::setNice(check.thread, kBackgroundNice);
        // integrity_check: every page and record, and every index entry
        // against its row, so a file whose indexes disagree with its table
        // is never written to.
        StoreCheck full =
            checked([&] { return runFullCheck(listings, &check.stop, &check.progress); });
        // What the quick read put beside the file is the checks' too.
        for (const QString& made : quick.madeBeside) {
            if (!full.madeBeside.contains(made)) {
                full.madeBeside << made;
            }
        }
        if (QCoreApplication* application = QCoreApplication::instance()) {
            QMetaObject::invokeMethod(
                application, [generation] { verdictIn(generation); }, Qt::QueuedConnection);
        }
        return full;
    });
}

bool admitMainWindow() {
    if (!g_check || g_check->admitted) {
        return true;
    }
    ListingsCheck& check = *g_check;
    StoreCheck quick;
    if (check.quick.wait_for(std::chrono::seconds(0)) == std::future_status::ready) {
        quick = check.quick.get();
    } else {
        runInBackground(
            "damageProgress", QStringLiteral("بررسي فايل اطلاعات"),
            QStringLiteral("بررسي فايل اطلاعات %1 ...").arg(isolatedPath(listingsPath(check))),
            [&](WorkProgress&) { quick = check.quick.get(); });
    }
    if (quick.outcome == StoreCheck::Damaged) {
        if (!settle(check.folder, listingsTable(), quick, *check.lock)) {
            return false;
        }
        // The backup put back was read through before it was.
        check.verdict = Verdict::Sound;
        check.before = storeFileState(listingsPath(check));
    } else if (quick.outcome != StoreCheck::Sound) {
        check.verdict = Verdict::Sound; // told by the store itself
    }
    // A verdict already in counts as at the start: a damaged file is offered
    // its backup before any screen holds it.
    takeVerdict(false);
    if (check.verdict == Verdict::Damaged) {
        if (!settle(check.folder, listingsTable(), check.damage, *check.lock)) {
            return false;
        }
        check.verdict = Verdict::Sound;
        check.before = storeFileState(listingsPath(check));
    }
    check.admitted = true;
    return true;
}

void awaitWritable(const StoreLocation&, const TableSpec& tableSpec) {
    // pc.db was read through before the login.
    if (&tableSpec != &listingsTable()) {
        g_passwordSound.reset(); // written since
        return;
    }
    if (!g_check) {
        return;
    }
    ListingsCheck& check = *g_check;
    takeVerdict(false);
    if (check.verdict == Verdict::Pending) {
        if (!waitForVerdict(check)) {
            throw StoreError(
                QStringLiteral("ذخيره نشد: بررسي فايل اطلاعات %1 هنوز تمام نشده است. آنچه نوشته "
                               "ايد روي صفحه مانده است؛ پس از پايان بررسي دوباره ذخيره كنيد.")
                    .arg(isolatedPath(listingsPath(check))));
        }
        takeVerdict(false);
    }
    if (check.verdict == Verdict::Damaged) {
        throw StoreError(damageText(check) + QStringLiteral(" آنچه نوشته ايد ذخيره نشد."),
                         StoreError::Kind::WritesStopped);
    }
    check.written = true;
}

Verdict listingsVerdict() {
    takeVerdict(false);
    return g_check ? g_check->verdict : Verdict::None;
}

bool settleAtEnd() {
    takeVerdict(false);
    if (!g_check || g_check->verdict != Verdict::Damaged) {
        return true;
    }
    ListingsCheck& check = *g_check;
    check.verdict = Verdict::None; // offered once
    return settle(check.folder, listingsTable(), check.damage, *check.lock);
}

std::optional<StoreFileState> soundAsOf(const TableSpec& tableSpec) {
    if (&tableSpec == &passwordTable()) {
        return g_passwordSound;
    }
    takeVerdict(false);
    if (g_check && g_check->verdict == Verdict::Sound && !g_check->written) {
        return g_check->before;
    }
    return std::nullopt;
}

void stopChecks() {
    ++g_generation;
    if (g_check) {
        g_check->stop = true;
        if (g_check->full.valid()) {
            g_check->full.wait();
        }
        g_check.reset();
    }
}

void setFullCheck(FullCheck check) {
    fullCheck() = std::move(check);
}

} // namespace velmoran::storeguard
