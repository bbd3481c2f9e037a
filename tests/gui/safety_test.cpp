// What stands between the agency's listings and a lost or damaged file: the
// backup a day's use leaves, the damage check at start with its offer to put
// a backup back, and the leftovers of killed steps removed at start.

#include "app/backgroundwork.h"
#include "app/form9.h"
#include "app/mdiform1.h"
#include "app/startup.h"
#include "app/storeguard.h"
#include "data/folder/folderlock.h"
#include "data/maintenance/backup.h"
#include "data/maintenance/storecheck.h"
#include "data/sqlite/sqlite.h"
#include "data/store/recordsource.h"
#include "screens/sheetimport/sheetpreview.h"
#include "tests/gui/apptest.h"
#include "tests/support/importfixtures.h"
#include "tests/support/storefiles.h"
#include "tests/support/testenv.h"
#include "ui/filechooser.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

#include <future>
#include <memory>
#include <thread>

using namespace velmoran;
using namespace velmoran::test;

namespace {

class SafetyTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        screens().discardAll(); // startProgram registers the screens itself
    }
    void TearDown() override {
        release();
        screens().discardAll();
        endProgramWithoutBackup();
        storeguard::setFullCheck({});
        AppTest::TearDown();
    }
    // The start's full check, held until release(): it then reads the file
    // through as the real one does.
    void holdFullCheck() {
        held_ = std::make_shared<std::promise<void>>();
        std::shared_future<void> go = held_->get_future().share();
        storeguard::setFullCheck(
            [go](const QString& path, const std::atomic<bool>* stop, CheckProgress* progress) {
                progress->total = 100;
                progress->done = 40;
                go.wait();
                return checkStoreFile(path, CheckDepth::Full, stop, progress);
            });
    }
    void release() {
        if (held_) {
            held_->set_value();
            held_.reset();
        }
    }
    static bool waitForVerdict() {
        return QTest::qWaitFor(
            [] { return storeguard::listingsVerdict() != storeguard::Verdict::Pending; }, 20000);
    }
    // The progress window of a write waiting for the verdict, when it shows.
    static QProgressDialog* verdictProgress() {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (widget->objectName() == QLatin1String("verdictProgress") && widget->isVisible()) {
                return qobject_cast<QProgressDialog*>(widget);
            }
        }
        return nullptr;
    }
    std::shared_ptr<std::promise<void>> held_;
    // Lets the folder go as the end of the program does, minus its backups.
    void endProgramWithoutBackup() {
        QDir(backupFolder(folder())).removeRecursively();
        endProgram();
    }
    QString store() const { return QDir(folder()).filePath(QStringLiteral("newil.db")); }
    QString backups() const { return backupFolder(folder()); }
    static void type(QWidget* box, const QString& text) {
        for (const QChar c : text) {
            QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
    }
    QLineEdit* field(Screen* screen, const char* name) {
        auto* box = screen->findChild<QLineEdit*>(QString::fromLatin1(name));
        EXPECT_TRUE(box) << name;
        return box;
    }
    // Types the master password on the login screen and presses its button.
    void logIn() {
        auto* login = screens().find<Form9>(ScreenId::Form9);
        ASSERT_TRUE(login);
        field(login, "Text1")->setText(QStringLiteral("QORVATELKS58"));
        QTest::mouseClick(login->findChild<QPushButton*>(QStringLiteral("Command1")),
                          Qt::LeftButton);
    }
    void leave() {
        boxes().setNextAnswer(MessageBox::vbYes);
        QAction* exit = screens().mainWindow()->findChild<QAction*>(QStringLiteral("exitapp"));
        ASSERT_TRUE(exit);
        exit->trigger();
        settle();
    }
    static long long count(const QString& path, const QString& where = QString()) {
        sql::Database db(path, SQLITE_OPEN_READONLY);
        sql::Statement select = db.prepare(QStringLiteral("SELECT count(*) FROM new ") + where);
        return select.step() ? select.columnInt(0) : -1;
    }
};

TEST_F(SafetyTest, ADaysUseLeavesACheckedBackupHoldingTheDaysListings) {
    storeListings(folder(), generatedListings(50, 1));
    ASSERT_TRUE(startProgram());
    logIn();
    ASSERT_TRUE(screens().mainWindow());

    // A new listing on the entry screen.
    Screen* entry = screens().show(ScreenId::Form1);
    ASSERT_TRUE(entry);
    type(field(entry, "Text1"), QStringLiteral("owner of the day"));
    type(field(entry, "Text6"), QStringLiteral("1403/02/12"));
    type(field(entry, "Text16"), QStringLiteral("25"));
    boxes().setNextAnswer(MessageBox::vbNo); // no other listing
    entry->findChild<QAction*>(QStringLiteral("SAVE"))->trigger();
    settle();
    // The first listing edited on the edit view.
    Screen* edit = screens().show(ScreenId::Form7);
    ASSERT_TRUE(edit);
    QLineEdit* owner = field(edit, "Text1");
    owner->selectAll();
    type(owner, QStringLiteral("edited owner"));
    leave();
    ASSERT_FALSE(screens().mainWindow());
    EXPECT_TRUE(listBackups(backups(), listingsTable()).empty()); // not before the end

    endProgram();
    const std::vector<BackupFile> made = listBackups(backups(), listingsTable());
    ASSERT_EQ(made.size(), 1u);
    EXPECT_TRUE(checkStoreFile(made[0].path, CheckDepth::Full).sound());
    EXPECT_EQ(count(made[0].path), 51);
    EXPECT_EQ(
        count(made[0].path, QStringLiteral("WHERE malek = 'owner of the day' AND vahed01 = '25'")),
        1);
    EXPECT_EQ(count(made[0].path, QStringLiteral("WHERE id = 1 AND malek = 'edited owner'")), 1);
    EXPECT_EQ(listBackups(backups(), passwordTable()).size(), 1u);
    EXPECT_TRUE(boxes().shown().size() <= 2u); // the questions, no failure

    // A day without changes adds no backup.
    ASSERT_TRUE(startProgram());
    logIn();
    leave();
    endProgram();
    EXPECT_EQ(listBackups(backups(), listingsTable()).size(), 1u);
}

TEST_F(SafetyTest, ABackupThatFailsItsCheckIsToldAndTheEarlierBackupsStay) {
    storeListings(folder(), generatedListings(300, 2));
    ASSERT_TRUE(
        writeBackup(folder(), listingsTable(), backups(), QDateTime(QDate(2024, 3, 1), QTime(8, 0)))
            .ok());
    const QStringList before = filesIn(backups());
    ASSERT_EQ(before.size(), 1);
    ASSERT_TRUE(startProgram());
    logIn();
    ASSERT_TRUE(screens().mainWindow());
    ASSERT_TRUE(waitForVerdict());
    // Damage done after the start's check (a failing disk while the program
    // runs); the copy's check finds it.
    damageIndexEntry(store(), QStringLiteral("Tehran"));
    leave();
    boxes().clear();
    endProgram();
    ASSERT_EQ(boxes().shown().size(), 1u);
    const MessageBox::Request& box = boxes().shown().front().request;
    EXPECT_EQ(box.icon, MessageBox::Icon::Critical);
    EXPECT_TRUE(box.text.contains(shownPath(store()))) << box.text.toStdString();
    EXPECT_TRUE(box.text.contains(shownPath(backups())));
    EXPECT_EQ(filesIn(backups()).filter(QStringLiteral("newil")), before);
    EXPECT_EQ(bytesOf(QDir(backups()).filePath(before.front())).size() > 0, true);
}

class DamageTest : public SafetyTest {
protected:
    void SetUp() override {
        SafetyTest::SetUp();
        storeListings(folder(), generatedListings(300, 4));
        good_ = writeBackup(folder(), listingsTable(), backups(),
                            QDateTime(QDate(2024, 3, 20), QTime(9, 15)));
        ASSERT_TRUE(good_.ok());
        storeListings(folder(), generatedListings(5, 5)); // stored after the backup
        // The newest backup is itself damaged: the offer passes it by.
        const BackupResult newest = writeBackup(folder(), listingsTable(), backups(),
                                                QDateTime(QDate(2024, 3, 21), QTime(9, 15)));
        ASSERT_TRUE(newest.ok());
        damagePages(newest.path);
        damagePages(store());
        damaged_ = bytesOf(store());
    }
    BackupResult good_;
    QByteArray damaged_;
};

TEST_F(DamageTest, AStoreDamagedInItsPagesIsNotWrittenToAndDecliningEndsTheProgram) {
    ASSERT_TRUE(startProgram()); // the login shows while the file is read through
    EXPECT_TRUE(screens().find(ScreenId::Form9));
    boxes().setNextAnswer(MessageBox::vbNo);
    logIn();
    settle();
    ASSERT_EQ(boxes().shown().size(), 1u);
    const MessageBox::Request& box = boxes().shown().front().request;
    EXPECT_EQ(box.buttons, MessageBox::Buttons::YesNo);
    EXPECT_TRUE(box.text.contains(QStringLiteral("⁨%1⁩").arg(shownPath(store()))))
        << box.text.toStdString();
    EXPECT_TRUE(box.text.contains(QStringLiteral("newil-20240320-091500.db")));
    EXPECT_TRUE(box.text.contains(QStringLiteral("1403/01/01 09:15"))); // its date, solar calendar
    EXPECT_TRUE(box.text.contains(QStringLiteral("newil.db.damaged-")));
    EXPECT_FALSE(screens().mainWindow());
    EXPECT_FALSE(screens().anyLoaded());
    EXPECT_EQ(bytesOf(store()), damaged_);
    EXPECT_TRUE(filesIn(folder()).filter(QStringLiteral("damaged")).isEmpty());
}

TEST_F(DamageTest, AcceptingPutsTheNewestGoodBackupBackAndKeepsTheDamagedFile) {
    ASSERT_TRUE(startProgram());
    boxes().setNextAnswer(MessageBox::vbYes);
    logIn();
    settle();
    ASSERT_TRUE(screens().mainWindow());
    EXPECT_EQ(count(store()), 300);
    EXPECT_TRUE(checkStoreFile(store(), CheckDepth::Full).sound());
    QStringList kept = filesIn(folder()).filter(
        QRegularExpression(QStringLiteral("^newil\\.db\\.damaged-\\d{8}-\\d{6}$")));
    ASSERT_EQ(kept.size(), 1);
    EXPECT_EQ(bytesOf(QDir(folder()).filePath(kept.front())), damaged_);
    ASSERT_EQ(boxes().shown().size(), 2u); // the offer, then what was done
    EXPECT_TRUE(boxes().shown()[1].request.text.contains(kept.front()));
}

// No page damaged, but the find index made otherwise than the table holds
// it (its definition changed in the schema): the quick read of pages and
// records can't see it, the full check before the first write does. The
// file is refused as a damaged one and left as it was found.
class IndexDamageTest : public SafetyTest {
protected:
    void SetUp() override {
        SafetyTest::SetUp();
        storeListings(folder(), generatedListings(300, 4));
        ASSERT_TRUE(writeBackup(folder(), listingsTable(), backups(),
                                QDateTime(QDate(2024, 3, 20), QTime(9, 15)))
                        .ok());
        {
            sql::Database db(store(), SQLITE_OPEN_READWRITE);
            db.exec("PRAGMA writable_schema = ON");
            db.exec("UPDATE sqlite_schema SET sql = replace(sql, '\"fooroosh\", \"rahn\"', "
                    "'\"rahn\", \"fooroosh\"') WHERE name = 'new_find'");
            ASSERT_EQ(db.changes(), 1);
            db.exec("PRAGMA writable_schema = OFF");
        }
        const StoreCheck quick = checkStoreFile(store(), CheckDepth::Quick);
        ASSERT_TRUE(quick.sound());
        ASSERT_FALSE(checkStoreFile(store(), CheckDepth::Full).sound());
        removeCheckLeftovers(quick);
        before_ = bytesOf(store());
        beside_ = filesIn(folder());
    }
    QByteArray before_;
    QStringList beside_;
};

TEST_F(IndexDamageTest, AVerdictInBeforeTheLoginIsAcceptedRefusesTheFileBeforeTheWindowOpens) {
    ASSERT_TRUE(startProgram());
    ASSERT_TRUE(waitForVerdict());
    boxes().setNextAnswer(MessageBox::vbNo);
    logIn();
    settle();
    ASSERT_EQ(boxes().shown().size(), 1u);
    const MessageBox::Request& box = boxes().shown().front().request;
    EXPECT_EQ(box.buttons, MessageBox::Buttons::YesNo);
    EXPECT_TRUE(box.text.contains(QStringLiteral("⁨%1⁩").arg(shownPath(store()))))
        << box.text.toStdString();
    EXPECT_TRUE(box.text.contains(QStringLiteral("new_find"))) << box.text.toStdString();
    EXPECT_FALSE(screens().mainWindow());
    EXPECT_EQ(bytesOf(store()), before_);
    endProgramWithoutBackup();
    for (const char* journal : {"newil.db-wal", "newil.db-shm"}) { // none left beside it
        EXPECT_EQ(filesIn(folder()).contains(QLatin1String(journal)),
                  beside_.contains(QLatin1String(journal)))
            << journal;
    }
}

TEST_F(DamageTest, ADamagedPasswordFileWithoutABackupIsRefusedBeforeTheLogin) {
    const QString pc = QDir(folder()).filePath(QStringLiteral("pc.db"));
    overwrite(pc, 0, QByteArray(100, 'z'));
    const QByteArray before = bytesOf(pc);
    EXPECT_FALSE(startProgram());
    ASSERT_EQ(boxes().shown().size(), 1u);
    const MessageBox::Request& box = boxes().shown().front().request;
    EXPECT_EQ(box.icon, MessageBox::Icon::Critical);
    EXPECT_TRUE(box.text.contains(shownPath(pc)));
    EXPECT_TRUE(box.text.contains(shownPath(backups())));
    EXPECT_FALSE(screens().find(ScreenId::Form9));
    EXPECT_EQ(bytesOf(pc), before);
}

TEST_F(SafetyTest, LeftoversOfKilledStepsGoAtStartOnlyWhenNoOtherCopyRuns) {
    const QStringList leftovers{".newil.db.Zx81Qw", ".newil.db.import.aB3dE5",
                                ".newil.db.import.aB3dE5-wal"};
    const auto plant = [&] {
        for (const QString& name : leftovers) {
            writeFile(QDir(folder()).filePath(name), "half made");
        }
        writeFile(QDir(folder()).filePath(QStringLiteral("notes.txt")), "mine");
    };
    plant();
    {
        FolderLock other; // another copy running on the folder
        ASSERT_TRUE(other.tryLock(folder(), FolderLock::Mode::Shared));
        ASSERT_TRUE(startProgram());
        for (const QString& name : leftovers) {
            EXPECT_TRUE(filesIn(folder()).contains(name)) << name.toStdString();
        }
        screens().discardAll();
        endProgramWithoutBackup();
    }
    ASSERT_TRUE(startProgram());
    for (const QString& name : leftovers) {
        EXPECT_FALSE(filesIn(folder()).contains(name)) << name.toStdString();
    }
    EXPECT_TRUE(filesIn(folder()).contains(QStringLiteral("notes.txt")));
}

TEST_F(SafetyTest, TheStartWaitsForAndThenRefusesAToolThatHasTheFolderToItself) {
    FolderLock restore;
    ASSERT_TRUE(restore.tryLock(folder(), FolderLock::Mode::Exclusive));
    EXPECT_FALSE(startProgram());
    ASSERT_EQ(boxes().shown().size(), 1u);
    EXPECT_TRUE(boxes().shown().front().request.text.contains(shownPath(folder())));
}

TEST_F(SafetyTest, LongWorkShowsASmallProgressWindowAndShortWorkNone) {
    const auto visible = [] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (widget->objectName() == QLatin1String("workProgress") && widget->isVisible()) {
                return true;
            }
        }
        return false;
    };
    bool seen = false;
    QTimer probe;
    QObject::connect(&probe, &QTimer::timeout, [&] { seen = seen || visible(); });
    probe.start(20);
    runInBackground(
        "workProgress", QStringLiteral("t"), QStringLiteral("short"),
        [](WorkProgress&) { std::this_thread::sleep_for(std::chrono::milliseconds(100)); });
    EXPECT_FALSE(seen);
    runInBackground("workProgress", QStringLiteral("t"), QStringLiteral("long"),
                    [](WorkProgress& p) {
                        p.total = 10;
                        for (int i = 0; i < 10; ++i) {
                            p.done = i;
                            std::this_thread::sleep_for(std::chrono::milliseconds(90));
                        }
                    });
    EXPECT_TRUE(seen);
    EXPECT_FALSE(visible());
}

// The main window opens once the quick read has passed; the full check goes
// on behind it. A save made before its verdict waits for it, and one whose
// verdict is damage is refused, the listing kept on the screen; every later
// write too, and the backup is offered when the program ends.
TEST_F(IndexDamageTest, DamageFoundAfterTheWindowOpenedStopsEveryWriteAndIsOfferedAtTheEnd) {
    holdFullCheck();
    ASSERT_TRUE(startProgram());
    logIn();
    ASSERT_TRUE(screens().mainWindow()); // before the full verdict
    EXPECT_EQ(storeguard::listingsVerdict(), storeguard::Verdict::Pending);
    Screen* entry = screens().show(ScreenId::Form1);
    ASSERT_TRUE(entry);
    type(field(entry, "Text1"), QStringLiteral("typed before the verdict"));
    type(field(entry, "Text6"), QStringLiteral("1403/02/12"));
    type(field(entry, "Text16"), QStringLiteral("25"));
    bool waited = false;
    QTimer::singleShot(1500, [&] {
        QProgressDialog* progress = verdictProgress();
        waited = progress && progress->value() == 400; // the check's own progress
        release();
    });
    entry->findChild<QAction*>(QStringLiteral("SAVE"))->trigger();
    settle();
    EXPECT_TRUE(waited);
    EXPECT_EQ(storeguard::listingsVerdict(), storeguard::Verdict::Damaged);
    ASSERT_FALSE(boxes().shown().empty());
    EXPECT_TRUE(boxes().shown().back().request.text.contains(QStringLiteral("new_find")))
        << boxes().shown().back().request.text.toStdString();
    EXPECT_EQ(field(entry, "Text1")->text(), QStringLiteral("typed before the verdict"));
    EXPECT_EQ(bytesOf(store()), before_);

    // A delete on the edit view is refused as well.
    Screen* edit = screens().show(ScreenId::Form7);
    ASSERT_TRUE(edit);
    auto* source = edit->recordSources().front();
    EXPECT_THROW(source->Delete(), StoreError);
    EXPECT_EQ(bytesOf(store()), before_);

    // And the main window's sheet import (Ctrl+I): its rows are refused by the
    // same gate, with the message a save gets.
    const QString sheet = QDir(folder()).filePath(QStringLiteral("agency.csv"));
    writeFile(sheet, "owner,phone\r\nnew owner,0912\r\n");
    FileChooser::setOpenFile([&](QWidget*, const QString&, const QString&) { return sheet; });
    boxes().clear();
    screens().mainWindow()->findChild<QAction*>(QStringLiteral("SheetImportAction"))->trigger();
    FileChooser::setOpenFile({});
    auto* preview =
        screens().mainWindow()->findChild<SheetPreview*>(QStringLiteral("SheetPreview"));
    ASSERT_TRUE(preview);
    QTest::mouseClick(preview->findChild<QPushButton*>(QStringLiteral("AddButton")),
                      Qt::LeftButton);
    ASSERT_FALSE(boxes().shown().empty());
    const MessageBox::Request& refusal = boxes().shown().back().request;
    EXPECT_EQ(refusal.icon, MessageBox::Icon::Critical);
    EXPECT_TRUE(refusal.text.contains(QStringLiteral("new_find"))) << refusal.text.toStdString();
    EXPECT_TRUE(refusal.text.contains(shownPath(store())));
    EXPECT_EQ(bytesOf(store()), before_);
    preview->close();

    // Leaving: the pending listing can't be stored and the screen goes;
    // then the offer, declined, leaves the file as it was.
    boxes().clear();
    leave();
    EXPECT_FALSE(screens().mainWindow());
    boxes().setNextAnswer(MessageBox::vbNo);
    endProgram();
    ASSERT_FALSE(boxes().shown().empty());
    const MessageBox::Request& offer = boxes().shown().back().request;
    EXPECT_EQ(offer.buttons, MessageBox::Buttons::YesNo);
    EXPECT_TRUE(offer.text.contains(QStringLiteral("newil-20240320-091500.db")))
        << offer.text.toStdString();
    EXPECT_EQ(bytesOf(store()), before_);
    EXPECT_EQ(listBackups(backups(), listingsTable()).size(), 1u); // no backup of damage
}

// A wait the user cancels stores nothing and keeps what was typed; once the
// verdict is in, the same save goes through.
TEST_F(SafetyTest, ASaveBeforeTheVerdictWaitsAndACancelledWaitKeepsTheListing) {
    storeListings(folder(), generatedListings(40, 3));
    holdFullCheck();
    ASSERT_TRUE(startProgram());
    logIn();
    ASSERT_TRUE(screens().mainWindow());
    Screen* entry = screens().show(ScreenId::Form1);
    ASSERT_TRUE(entry);
    type(field(entry, "Text1"), QStringLiteral("کریمی، علي"));
    type(field(entry, "Text6"), QStringLiteral("1403/02/12"));
    type(field(entry, "Text16"), QStringLiteral("25"));
    bool cancelled = false;
    QTimer::singleShot(1500, [&] {
        if (QProgressDialog* progress = verdictProgress()) {
            auto* cancel = progress->findChild<QPushButton*>();
            if (cancel) {
                QTest::mouseClick(cancel, Qt::LeftButton);
                cancelled = true;
            }
        }
    });
    entry->findChild<QAction*>(QStringLiteral("SAVE"))->trigger();
    settle();
    ASSERT_TRUE(cancelled);
    EXPECT_EQ(count(store()), 40);
    EXPECT_EQ(field(entry, "Text1")->text(), QStringLiteral("کریمی، علي"));
    EXPECT_EQ(storeguard::listingsVerdict(), storeguard::Verdict::Pending);

    release();
    ASSERT_TRUE(waitForVerdict());
    EXPECT_EQ(storeguard::listingsVerdict(), storeguard::Verdict::Sound);
    boxes().clear();
    boxes().setNextAnswer(MessageBox::vbNo); // no other listing
    entry->findChild<QAction*>(QStringLiteral("SAVE"))->trigger();
    settle();
    EXPECT_EQ(count(store(), QStringLiteral("WHERE malek = 'کریمی، علي'")), 1);
}

} // namespace
