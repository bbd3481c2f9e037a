// A connection to the server that can't be made says why: no password, a
// wrong one, a password file libpq would not read for its permissions, or no
// server at the host and port; libpq's own text on a line of its own.

#include "data/postgres/pgconnection.h"
#include "data/postgres/pgmessages.h"
#include "tests/support/pgtestserver.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace velmoran;
using velmoran::test::TestServer;

namespace {

const QString kRole = TestServer::passwordRole();
const QString kPassword = TestServer::passwordRolePassword();

class ServerConnectTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { role_ = TestServer::shared().passwordRoleConninfo(); }
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        passwordFile_ = dir_.filePath(QStringLiteral("pgpass"));
        saved_ = qgetenv("PGPASSFILE");
        qputenv("PGPASSFILE", passwordFile_.toLocal8Bit());
    }
    void TearDown() override {
        if (saved_.isNull()) {
            qunsetenv("PGPASSFILE");
        } else {
            qputenv("PGPASSFILE", saved_);
        }
    }
    static QString asRole(const QString& extra = QString()) { return role_ + extra; }
    void writePasswordFile(QFile::Permissions permissions) {
        QFile file(passwordFile_);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(QStringLiteral("*:*:*:%1:%2\n").arg(kRole, kPassword).toUtf8());
        file.close();
        ASSERT_TRUE(file.setPermissions(permissions));
    }
    // The error of connecting with `conninfo`, and its message.
    static pg::Error failure(const QString& conninfo) {
        try {
            pg::Connection connection(conninfo);
        } catch (const pg::Error& e) {
            return e;
        }
        ADD_FAILURE() << "connected with " << conninfo.toStdString();
        return pg::Error(QString(), QByteArray(), false);
    }
    static QString message(const pg::Error& e) {
        return pgMessage(e, PgProblem::ConnectionLost, QStringLiteral("the-server"),
                         QStringLiteral("new"));
    }

    static inline QString role_;
    QTemporaryDir dir_;
    QString passwordFile_;
    QByteArray saved_;
};

// Every isolate closes on the line it opens: a line break ends an isolate,
// and what followed would read in the sentence's direction.
void expectIsolatesClosedOnEachLine(const QString& text) {
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        EXPECT_EQ(line.count(QChar(0x2068)), line.count(QChar(0x2069))) << line.toStdString();
    }
}

// libpq's text, isolated, on the message's last line.
void expectLibpqTextOnItsOwnLine(const QString& text, const char* words) {
    const QString last = text.section(QLatin1Char('\n'), -1);
    EXPECT_TRUE(last.startsWith(QStringLiteral("(\u2068"))) << text.toStdString();
    EXPECT_TRUE(last.endsWith(QStringLiteral("\u2069)"))) << text.toStdString();
    EXPECT_TRUE(last.contains(QLatin1String(words))) << text.toStdString();
    EXPECT_GT(text.count(QLatin1Char('\n')), 0) << text.toStdString();
    expectIsolatesClosedOnEachLine(text);
}

TEST_F(ServerConnectTest, APasswordMissingRefusedOrInAFileOthersMayReadIsNamedAsTheCause) {
    const QString chmod = QStringLiteral("\u2068chmod 600 %1\u2069").arg(passwordFile_);
    const QString file = QStringLiteral("\u2068%1\u2069").arg(passwordFile_);

    // No password file at all.
    const pg::Error none = failure(asRole());
    EXPECT_EQ(none.connectFacts().failure, pg::ConnectFailure::NoPassword);
    const QString noneText = message(none);
    EXPECT_TRUE(noneText.contains(QStringLiteral("رمزي داده نشد"))) << noneText.toStdString();
    EXPECT_TRUE(noneText.contains(file)) << noneText.toStdString();
    EXPECT_TRUE(noneText.contains(chmod)) << noneText.toStdString();
    EXPECT_FALSE(noneText.contains(QStringLiteral("قطع شد"))) << noneText.toStdString();
    expectLibpqTextOnItsOwnLine(noneText, "no password supplied");

    // The right password, in a file others may read: libpq leaves it unread.
    writePasswordFile(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    const pg::Error open = failure(asRole());
    EXPECT_EQ(open.connectFacts().failure, pg::ConnectFailure::PasswordFileRefused);
    EXPECT_EQ(open.connectFacts().passwordFileMode, 0644);
    const QString openText = message(open);
    EXPECT_TRUE(openText.contains(file)) << openText.toStdString();
    EXPECT_TRUE(openText.contains(QStringLiteral("\u2068644\u2069"))) << openText.toStdString();
    EXPECT_TRUE(openText.contains(chmod)) << openText.toStdString();
    EXPECT_TRUE(openText.contains(QStringLiteral("ديگران هم اجازه خواندن")))
        << openText.toStdString();
    EXPECT_FALSE(openText.contains(QStringLiteral("دوباره امتحان"))) << openText.toStdString();
    expectLibpqTextOnItsOwnLine(openText, "no password supplied");

    // The same file at mode 600 is read and the role connects.
    writePasswordFile(QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_NO_THROW(pg::Connection{asRole()});

    // A wrong password, through TCP.
    const QString tcp = QStringLiteral(" host=127.0.0.1 password=not-the-password");
    const pg::Error wrong = failure(asRole(tcp));
    EXPECT_EQ(wrong.connectFacts().failure, pg::ConnectFailure::WrongPassword);
    const QString wrongText = message(wrong);
    EXPECT_TRUE(wrongText.contains(QStringLiteral("\u2068%1\u2069 را نپذيرفت").arg(kRole)))
        << wrongText.toStdString();
    EXPECT_TRUE(wrongText.contains(chmod)) << wrongText.toStdString();
    expectLibpqTextOnItsOwnLine(wrongText, "password authentication failed");
}

TEST_F(ServerConnectTest, AServerThatDoesNotAnswerIsNamedByHostAndPort) {
    for (const auto& [host, port] : {std::pair{"127.0.0.1", "1"}, {"/nonexistent", "9"}}) {
        SCOPED_TRACE(host);
        const pg::Error e = failure(QStringLiteral("host=%1 port=%2 dbname=velmoran")
                                        .arg(QLatin1String(host), QLatin1String(port)));
        EXPECT_EQ(e.connectFacts().failure, pg::ConnectFailure::Unreachable);
        const QString text = message(e);
        EXPECT_TRUE(text.contains(QStringLiteral("\u2068%1\u2069").arg(QLatin1String(host))))
            << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("\u2068%1\u2069").arg(QLatin1String(port))))
            << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("پاسخ نداد"))) << text.toStdString();
        expectLibpqTextOnItsOwnLine(text, host);
    }
}

} // namespace
