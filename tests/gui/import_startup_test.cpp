// The start of the program with an agency's Access files waiting in the data
// folder: brought over behind a progress dialog before the login, or a
// Persian message and nothing left behind.

#include "app/startup.h"
#include "app/startupimport.h"
#include "data/sqlite/sqlite.h"
#include "tests/gui/apptest.h"
#include "tests/support/importfixtures.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <sys/resource.h>
#include <sys/stat.h>

using namespace velmoran;
using namespace velmoran::test;

namespace {

QProgressDialog* progressDialog() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == QLatin1String("importProgress") && widget->isVisible()) {
            return qobject_cast<QProgressDialog*>(widget);
        }
    }
    return nullptr;
}

class ImportStartupTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        screens().discardAll(); // startProgram registers the screens itself
        QFile::remove(path("newil.db"));
        QFile::remove(path("pc.db"));
        setImportToolPath(QStringLiteral(VELMORAN_CLI_TOOL));
    }
    void TearDown() override {
        setImportToolPath(QString());
        setImportTimeout(30000);
        AppTest::TearDown();
    }
    QString path(const char* name) const { return QDir(folder()).filePath(QLatin1String(name)); }
    QByteArray contents(const char* name) const {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // A stand-in for the tool: a shell script run with the tool's arguments
    // (import --progress --folder FOLDER NEWIL.mdb ...).
    void fakeTool(const QByteArray& body) {
        ASSERT_TRUE(tools_.isValid());
        const QString script = tools_.filePath(QStringLiteral("fake-import"));
        writeFile(script, "#!/bin/sh\nfolder=\"$4\"\n" + body);
        QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        setImportToolPath(script);
    }
    bool hiddenFilesLeft() const {
        for (const QString& name : filesIn(folder())) {
            if (name.startsWith(QLatin1Char('.'))) {
                return true;
            }
        }
        return false;
    }
    QTemporaryDir tools_;
};

TEST_F(ImportStartupTest, AccessFilesAreBroughtOverBehindAProgressDialogBeforeTheLogin) {
    writeFile(path("newil.mdb"), listingsMdb());
    writeFile(path("pc.mdb"), passwordMdb());
    const QByteArray newilBefore = contents("newil.mdb");
    const QByteArray pcBefore = contents("pc.mdb");
    const std::vector<QStringList> owners = mdbExport(path("newil.mdb"), QStringLiteral("new"));
    bool dialogShown = false;
    QTimer::singleShot(0, [&] { dialogShown = progressDialog() != nullptr; });

    ASSERT_TRUE(startProgram());
    EXPECT_TRUE(dialogShown);
    EXPECT_FALSE(progressDialog());
    Screen* login = screens().find(ScreenId::Form9);
    ASSERT_TRUE(login);
    EXPECT_TRUE(login->isVisible());

    ASSERT_EQ(boxes().shown().size(), 1u);
    const MessageBox::Request& box = boxes().shown().front().request;
    EXPECT_EQ(box.icon, MessageBox::Icon::None);
    EXPECT_EQ(box.title, QStringLiteral("انتقال اطلاعات از اكسس"));
    // A summary short enough for a box: counts, and the first few names.
    const QStringList lines = box.text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    EXPECT_EQ(lines.mid(1),
              (QStringList{
                  QStringLiteral("فايل newil.mdb: 8 رديف از 8 رديف جدول new ذخيره شد."),
                  QStringLiteral("ستونهايي كه نبودند (101): mantagheh، tel03، date، "
                                 "address، number، fooroosh، rahn، ejareh و 93 "
                                 "ستون ديگر"),
                  QStringLiteral("ستونهاي اضافي (1): ID"),
                  QStringLiteral("فايل pc.mdb: 1 رديف از 1 رديف جدول pc ذخيره شد."),
                  QStringLiteral("ستونهاي اضافي (73): PROJ_ID، PROJ_NAME، "
                                 "PROJ_OPT_CALC_ACT_COSTS، PROJ_PROP_CATEGORY، "
                                 "PROJ_PROP_COMPANY، PROJ_OPT_CRITICAL_SLACK_LIMIT، "
                                 "PROJ_OPT_CURRENCY_DIGITS، "
                                 "PROJ_OPT_CURRENCY_POSITION و 65 ستون ديگر"),
              }))
        << box.text.toStdString();

    sql::Database db(path("newil.db"), SQLITE_OPEN_READONLY);
    sql::Statement select = db.prepare(QStringLiteral("SELECT malek FROM new ORDER BY rowid"));
    for (std::size_t r = 1; r < owners.size(); ++r) {
        ASSERT_TRUE(select.step());
        EXPECT_EQ(select.columnText(0), owners[r][1]);
    }
    EXPECT_FALSE(select.step());
    EXPECT_TRUE(passwordInTable().startsWith(QStringLiteral("Jon Iles this is a")));
    struct stat st {};
    ASSERT_EQ(::stat(path("pc.db").toLocal8Bit().constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(contents("newil.mdb"), newilBefore);
    EXPECT_EQ(contents("pc.mdb"), pcBefore);
    EXPECT_FALSE(hiddenFilesLeft());
}

TEST_F(ImportStartupTest, ADamagedAccessFileIsReportedAndNothingIsLeft) {
    writeFile(path("newil.mdb"), listingsMdb().left(55 * 4096));
    EXPECT_FALSE(startProgram());
    ASSERT_EQ(boxes().shown().size(), 1u);
    const MessageBox::Request& box = boxes().shown().front().request;
    EXPECT_EQ(box.icon, MessageBox::Icon::Critical);
    EXPECT_TRUE(box.text.contains(path("newil.mdb"))) << box.text.toStdString();
    EXPECT_TRUE(box.text.contains(folder())); // where to take it away from
    EXPECT_FALSE(screens().anyLoaded());
    EXPECT_EQ(filesIn(folder()), QStringList{"newil.mdb"});
}

TEST_F(ImportStartupTest, AStoreMadeMeanwhileByAnotherCopyIsUsed) {
    writeFile(path("newil.mdb"), listingsMdb());
    // The tool finds newil.db made by another copy starting at the same moment.
    fakeTool(": > \"$folder/.newil.db.import.x\"\n"
             "echo \"@temporary $folder/.newil.db.import.x\"\n"
             "exit 3\n");
    EXPECT_TRUE(startProgram());
    EXPECT_TRUE(boxes().shown().empty());
    EXPECT_TRUE(screens().find(ScreenId::Form9));
    EXPECT_FALSE(hiddenFilesLeft());
}

TEST_F(ImportStartupTest, AReadingThatCrashesIsReportedAndItsTemporaryFileRemoved) {
    writeFile(path("newil.mdb"), listingsMdb());
    fakeTool(": > \"$folder/.newil.db.import.x\"\n"
             ": > \"$folder/.newil.db.import.x-wal\"\n"
             "echo \"@file $5\"\n"
             "echo \"@temporary $folder/.newil.db.import.x\"\n"
             "echo \"@progress 10 100\"\n"
             "kill -SEGV $$\n");
    EXPECT_FALSE(startProgram());
    ASSERT_EQ(boxes().shown().size(), 1u);
    const MessageBox::Request& box = boxes().shown().front().request;
    EXPECT_EQ(box.icon, MessageBox::Icon::Critical);
    EXPECT_TRUE(box.text.contains(path("newil.mdb"))) << box.text.toStdString();
    EXPECT_TRUE(box.text.contains(QStringLiteral("نيمه كاره")));
    EXPECT_FALSE(screens().anyLoaded());
    EXPECT_EQ(filesIn(folder()), QStringList{"newil.mdb"});
}

TEST_F(ImportStartupTest, AFailedReadingShowsAtMostTheToolsLastThreeDistinctLines) {
    writeFile(path("newil.mdb"), listingsMdb());
    // The reading library's warnings, page after page, then its last words.
    QByteArray warnings;
    for (int page = 0; page < 35; ++page) {
        warnings += "echo 'Warning: defaulting to latin1 for page " + QByteArray::number(page % 3) +
                    "' >&2\n";
    }
    fakeTool("echo \"@file $4\"\n" + warnings +
             "echo 'Error: unable to read page 12' >&2\n"
             "echo 'Error: unable to read page 12' >&2\n"
             "exit 2\n");
    EXPECT_FALSE(startProgram());
    ASSERT_EQ(boxes().shown().size(), 1u);
    const QString text = boxes().shown().front().request.text;
    EXPECT_LE(text.count(QLatin1Char('\n')), 6) << text.toStdString();
    EXPECT_EQ(text.count(QStringLiteral("unable to read page 12")), 1) << text.toStdString();
    EXPECT_EQ(text.count(QStringLiteral("Warning")), 2) << text.toStdString();
    // The last three distinct: pages 0 and 1 (the 34th and 35th warnings),
    // then the error.
    EXPECT_TRUE(text.contains(QStringLiteral("page 0"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("page 1"))) << text.toStdString();
    EXPECT_FALSE(text.contains(QStringLiteral("page 2"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("برنامه بسته مي شود")));
}

TEST_F(ImportStartupTest, CancelEndsTheProgramWithNothingLeftAndTheUiAnswering) {
    writeFile(path("newil.mdb"), listingsMdb());
    fakeTool(": > \"$folder/.newil.db.import.x\"\n"
             "echo \"@temporary $folder/.newil.db.import.x\"\n"
             "exec sleep 30\n");
    QTimer::singleShot(300, [] {
        QProgressDialog* dialog = progressDialog();
        ASSERT_TRUE(dialog);
        QPushButton* cancel = dialog->findChild<QPushButton*>();
        ASSERT_TRUE(cancel);
        EXPECT_EQ(cancel->text(), QStringLiteral("انصراف"));
        QTest::mouseClick(cancel, Qt::LeftButton);
    });
    QElapsedTimer timer;
    timer.start();
    EXPECT_FALSE(startProgram());
    EXPECT_LT(timer.elapsed(), 10000);
    EXPECT_TRUE(boxes().shown().empty());
    EXPECT_FALSE(screens().anyLoaded());
    EXPECT_EQ(filesIn(folder()), QStringList{"newil.mdb"});
}

TEST_F(ImportStartupTest, AToolThatCannotRunIsNamed) {
    writeFile(path("pc.mdb"), passwordMdb());
    setImportToolPath(QStringLiteral("/nonexistent/velmoran-cli"));
    EXPECT_FALSE(startProgram());
    ASSERT_EQ(boxes().shown().size(), 1u);
    EXPECT_TRUE(
        boxes().shown().front().request.text.contains(QStringLiteral("/nonexistent/velmoran-cli")));
    EXPECT_EQ(filesIn(folder()), QStringList{"pc.mdb"});
}

// The Access files that make the reading library loop for ever or crash:
// each ends within the time set with the message naming it, and the folder
// holds nothing but the Access file.
TEST_F(ImportStartupTest, AccessFilesThatHangOrCrashTheReadingLibraryEndWithAMessage) {
    setImportTimeout(3000);
    for (const char* name : {"hangs-truncated.mdb", "hangs-flipped.mdb", "crashes-flipped.mdb"}) {
        SCOPED_TRACE(name);
        screens().discardAll();
        boxes().clear();
        writeFile(path("newil.mdb"), readFixture(QStringLiteral("hostile/") + QLatin1String(name)));
        QElapsedTimer timer;
        timer.start();
        EXPECT_FALSE(startProgram());
        EXPECT_LT(timer.elapsed(), 3000 + 3000);
        ASSERT_EQ(boxes().shown().size(), 1u);
        const MessageBox::Request& box = boxes().shown().front().request;
        EXPECT_EQ(box.icon, MessageBox::Icon::Critical);
        EXPECT_TRUE(box.text.contains(path("newil.mdb"))) << box.text.toStdString();
        EXPECT_LT(box.text.size(), 4000);
        EXPECT_FALSE(screens().anyLoaded());
        EXPECT_EQ(filesIn(folder()), QStringList{"newil.mdb"});
    }
}

// The start-up import ends as the tool does for every end of the reading
// child: a crash with core dumps allowed ends it at once and leaves no core
// in the data folder.
TEST_F(ImportStartupTest, ACrashWithCoreDumpsAllowedEndsTheStartAndLeavesNoCore) {
    rlimit before{};
    ASSERT_EQ(::getrlimit(RLIMIT_CORE, &before), 0);
    const rlimit unlimited{before.rlim_max, before.rlim_max};
    ASSERT_EQ(::setrlimit(RLIMIT_CORE, &unlimited), 0);
    writeFile(path("newil.mdb"), readFixture(QStringLiteral("hostile/crashes-flipped.mdb")));
    QElapsedTimer timer;
    timer.start();
    EXPECT_FALSE(startProgram());
    ::setrlimit(RLIMIT_CORE, &before);
    EXPECT_LT(timer.elapsed(), 10000);
    ASSERT_EQ(boxes().shown().size(), 1u);
    EXPECT_TRUE(boxes().shown().front().request.text.contains(path("newil.mdb")));
    EXPECT_EQ(filesIn(folder()), QStringList{"newil.mdb"});
}

// A file that crashes the reading library and one it refuses: the crash is
// said once, in one sentence; the refusal is not told as a crash.
TEST_F(ImportStartupTest, ACrashOfTheReadingLibraryIsToldOnceAndApartFromARefusal) {
    const QString crashed = QStringLiteral("برنامه خواندن آن از كار افتاد.");
    writeFile(path("newil.mdb"), readFixture(QStringLiteral("hostile/crashes-flipped.mdb")));
    EXPECT_FALSE(startProgram());
    ASSERT_EQ(boxes().shown().size(), 1u);
    const QString crash = boxes().shown().front().request.text;
    EXPECT_EQ(crash.count(QStringLiteral("از كار افتاد")), 1) << crash.toStdString();
    EXPECT_TRUE(crash.contains(crashed)) << crash.toStdString();
    EXPECT_TRUE(crash.contains(QStringLiteral("⁨%1⁩").arg(path("newil.mdb"))));
    EXPECT_EQ(filesIn(folder()), QStringList{"newil.mdb"});

    screens().discardAll();
    boxes().clear();
    writeFile(path("newil.mdb"), listingsMdb().left(55 * 4096));
    EXPECT_FALSE(startProgram());
    ASSERT_EQ(boxes().shown().size(), 1u);
    const QString refusal = boxes().shown().front().request.text;
    EXPECT_FALSE(refusal.contains(QStringLiteral("از كار افتاد"))) << refusal.toStdString();
    EXPECT_TRUE(refusal.contains(QStringLiteral("ناقص"))) << refusal.toStdString();
}

// The program's own watchdog, for a tool that doesn't give up by itself: one
// that goes quiet, one that floods its error output.
TEST_F(ImportStartupTest, AToolThatGoesQuietOrFloodsItsErrorOutputIsEndedAndItsFileRemoved) {
    setImportTimeout(500);
    const QByteArray start = ": > \"$folder/.newil.db.import.x\"\n"
                             "echo \"@file $5\"\n"
                             "echo \"@temporary $folder/.newil.db.import.x\"\n";
    for (const QByteArray& tail :
         {QByteArray("exec sleep 60\n"), QByteArray("exec yes warning >&2\n")}) {
        SCOPED_TRACE(tail.toStdString());
        screens().discardAll();
        boxes().clear();
        writeFile(path("newil.mdb"), listingsMdb());
        fakeTool(start + tail);
        QElapsedTimer timer;
        timer.start();
        EXPECT_FALSE(startProgram());
        EXPECT_LT(timer.elapsed(), 20000);
        ASSERT_EQ(boxes().shown().size(), 1u);
        const QString text = boxes().shown().front().request.text;
        EXPECT_TRUE(text.contains(QStringLiteral("⁨%1⁩").arg(path("newil.mdb"))))
            << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("خوانده نشد")));
        EXPECT_EQ(filesIn(folder()), QStringList{"newil.mdb"});
    }
}

} // namespace
