// Desks configured for one server: the program starts on the server's store,
// logs in against its password, and two desks see each other's listings.

#include "app/startup.h"
#include "data/postgres/pgconnection.h"
#include "data/store/recordsource.h"
#include "data/store/storelocation.h"
#include "tests/gui/apptest.h"
#include "tests/support/pgtestserver.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace velmoran;
using namespace velmoran::test;

namespace {

class ServerDesksTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        screens().discardAll(); // startProgram registers the screens itself
        QFile::remove(folder() + QStringLiteral("/newil.db"));
        QFile::remove(folder() + QStringLiteral("/pc.db"));
        database_ = std::make_unique<TestDatabase>();
        configure(database_->conninfo());
    }
    void TearDown() override {
        AppTest::TearDown();
        database_.reset();
    }

    static void configure(const QString& server) {
        QDir().mkpath(QFileInfo(configFilePath()).path());
        QFile file(configFilePath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("[store]\nserver=" + server.toUtf8() + "\n");
    }

    // The program started as a desk with its own data folder.
    void startDesk(const QString& dataHome) {
        screens().discardAll();
        settle();
        clearActiveStore();
        qputenv("XDG_DATA_HOME", dataHome.toLocal8Bit());
        ASSERT_TRUE(startProgram());
        ASSERT_TRUE(screens().find(ScreenId::Form9));
    }

    // Types `typed` into the login's box and presses its button; true when
    // the main window came.
    bool logIn(const QString& typed) {
        Screen* login = screens().find(ScreenId::Form9);
        auto* box = login->findChild<QLineEdit*>(QStringLiteral("Text1"));
        box->setFocus();
        box->clear();
        for (const QChar c : typed) {
            QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
        QTest::mouseClick(login->findChild<QPushButton*>(QStringLiteral("Command1")),
                          Qt::LeftButton);
        return screens().mainWindow() && !screens().isLoaded(ScreenId::Form9);
    }

    std::unique_ptr<TestDatabase> database_;
};

TEST_F(ServerDesksTest, TwoDesksOnOneServerSeeEachOthersListingsAndPassword) {
    QTemporaryDir deskA, deskB;
    startDesk(deskA.path());
    EXPECT_TRUE(activeStore().onServer());
    EXPECT_FALSE(QFile::exists(deskA.path() + QStringLiteral("/velmoran/newil.db")));
    EXPECT_TRUE(logIn(QString())); // the server's new store has the empty password
    {
        // Desk A changes the password and types a listing, through record
        // sources as its screens open them.
        RecordSource pc(activeStore(), passwordTable());
        pc.setText(0, QStringLiteral("رمز دفتر"));
        pc.writeBack();
        RecordSource listings(activeStore(), listingsTable());
        listings.AddNew();
        listings.setText(listingsTable().indexOf("malek"), QStringLiteral("ثبت در ميز اول"));
        listings.Update();
    }

    startDesk(deskB.path());
    EXPECT_FALSE(logIn(QStringLiteral("رمز قديم")));
    EXPECT_TRUE(logIn(QStringLiteral("رمز دفتر")));
    RecordSource listings(activeStore(), listingsTable());
    listings.FindFirst(QStringLiteral("malek='ثبت در ميز اول'"));
    EXPECT_FALSE(listings.NoMatch());
    EXPECT_FALSE(QFile::exists(deskB.path() + QStringLiteral("/velmoran/newil.db")));
}

TEST_F(ServerDesksTest, AServerThatCannotBeReachedIsNamedAndTheLoginNeverShows) {
    configure(QStringLiteral("host=/nonexistent port=9 dbname=velmoran"));
    EXPECT_FALSE(startProgram());
    ASSERT_EQ(boxes().shown().size(), 1u);
    const MessageBox::Request& box = boxes().shown().front().request;
    EXPECT_TRUE(box.text.contains(QStringLiteral("host=/nonexistent"))) << box.text.toStdString();
    EXPECT_EQ(box.icon, MessageBox::Icon::Critical);
    EXPECT_FALSE(screens().anyLoaded());

    // Named by host and port, libpq's text after the sentence on a line of
    // its own and isolated whole.
    boxes().clear();
    configure(QStringLiteral("host=127.0.0.1 port=1 dbname=velmoran"));
    EXPECT_FALSE(startProgram());
    ASSERT_EQ(boxes().shown().size(), 1u);
    const QString text = boxes().shown().front().request.text;
    EXPECT_TRUE(text.contains(QStringLiteral("\u2068127.0.0.1\u2069"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("\u20681\u2069"))) << text.toStdString();
    const QStringList lines = text.split(QLatin1Char('\n'));
    EXPECT_TRUE(lines.last().startsWith(QStringLiteral("(\u2068connection to server")))
        << text.toStdString();
    for (const QString& line : lines) {
        EXPECT_EQ(line.count(QChar(0x2068)), line.count(QChar(0x2069))) << line.toStdString();
    }
    EXPECT_FALSE(screens().anyLoaded());
}

TEST_F(ServerDesksTest, ATableThatLacksAColumnIsNamedWithTheServer) {
    pg::Connection(database_->conninfo()).exec("CREATE TABLE pc (id serial, other text)");
    EXPECT_FALSE(startProgram());
    ASSERT_EQ(boxes().shown().size(), 1u);
    const QString text = boxes().shown().front().request.text;
    EXPECT_TRUE(text.contains(QStringLiteral("passsecurity"))) << text.toStdString();
    EXPECT_TRUE(text.contains(pg::displayName(database_->conninfo()))) << text.toStdString();
    EXPECT_FALSE(screens().anyLoaded());
}

} // namespace
