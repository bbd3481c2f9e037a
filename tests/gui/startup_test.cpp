#include "app/startup.h"
#include "tests/gui/apptest.h"

#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

using namespace velmoran;
using namespace velmoran::test;

namespace {

class StartupTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        screens().discardAll(); // startProgram registers the screens itself
        QFile::remove(folder() + QStringLiteral("/newil.db"));
        QFile::remove(folder() + QStringLiteral("/pc.db"));
    }
    void damage(const char* fileName) {
        QFile file(folder() + QLatin1Char('/') + QLatin1String(fileName));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(QByteArray(4096, 'x'));
    }
};

TEST_F(StartupTest, CreatesTheStoresAndShowsTheLogin) {
    ASSERT_TRUE(startProgram());
    EXPECT_TRUE(QFile::exists(folder() + QStringLiteral("/newil.db")));
    EXPECT_TRUE(QFile::exists(folder() + QStringLiteral("/pc.db")));
    Screen* login = screens().find(ScreenId::Form9);
    ASSERT_TRUE(login);
    EXPECT_TRUE(login->isVisible());
    EXPECT_FALSE(mainForm());
    EXPECT_TRUE(boxes().shown().empty());
}

TEST_F(StartupTest, DamagedStoreIsReportedAndTheLoginNeverShows) {
    for (const char* file : {"newil.db", "pc.db"}) {
        SCOPED_TRACE(file);
        screens().discardAll();
        boxes().clear();
        QFile::remove(folder() + QStringLiteral("/newil.db"));
        QFile::remove(folder() + QStringLiteral("/pc.db"));
        damage(file);

        EXPECT_FALSE(startProgram());
        ASSERT_EQ(boxes().shown().size(), 1u);
        const MessageBox::Request& box = boxes().shown().front().request;
        EXPECT_TRUE(box.text.contains(QLatin1String(file))) << box.text.toStdString();
        EXPECT_EQ(box.icon, MessageBox::Icon::Critical);
        EXPECT_FALSE(box.title.isEmpty());
        EXPECT_FALSE(screens().anyLoaded());
        EXPECT_FALSE(mainForm());
    }
}

TEST_F(StartupTest, DataFolderThatCannotBeMadeIsReported) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString blocker = dir.filePath(QStringLiteral("file"));
    QFile file(blocker);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    // The data folder would have to be made inside a plain file.
    qputenv("XDG_DATA_HOME", blocker.toLocal8Bit());

    EXPECT_FALSE(startProgram());
    ASSERT_EQ(boxes().shown().size(), 1u);
    EXPECT_TRUE(boxes().shown().front().request.text.contains(shownPath(blocker)));
    EXPECT_FALSE(screens().anyLoaded());
}

} // namespace
