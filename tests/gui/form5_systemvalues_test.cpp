#include "platform/systemvalues.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace velmoran;
using namespace velmoran::SystemValues;

namespace {

// The Linux source of the registration values, on files of a temporary
// folder.
class SystemValuesTest : public ::testing::Test {
protected:
    QString write(const QString& name, const QByteArray& contents) {
        const QString path = dir_.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(contents);
        return path;
    }
    QString missing(const QString& name) const { return dir_.filePath(name); }
    // Every file missing, no account.
    Sources sources() {
        Sources s;
        s.osReleaseFiles = {missing(QStringLiteral("absent-os-release"))};
        s.machineIdFiles = {missing(QStringLiteral("absent-machine-id"))};
        s.kernelReleaseFile = missing(QStringLiteral("absent-osrelease"));
        s.hostNameFile = missing(QStringLiteral("absent-hostname"));
        s.account = [] { return std::optional<Account>(); };
        return s;
    }

private:
    QTemporaryDir dir_;
};

TEST_F(SystemValuesTest, ProductNameIsThePrettyNameOfOsReleaseUnquoted) {
    Sources s = sources();
    s.osReleaseFiles = {missing(QStringLiteral("etc-os-release")),
                        write(QStringLiteral("usr-os-release"),
                              "# the system\nNAME=\"Debian GNU/Linux\"\n"
                              "PRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\nID=debian\n")};
    EXPECT_EQ(LinuxBackend(s).read(Value::ProductName),
              QStringLiteral("Debian GNU/Linux 12 (bookworm)"));

    s.osReleaseFiles = {write(QStringLiteral("plain"), "NAME='Plain Linux'\nID=plain\n")};
    EXPECT_EQ(LinuxBackend(s).read(Value::ProductName), QStringLiteral("Plain Linux"));

    s.osReleaseFiles = {write(QStringLiteral("nothing"), "ID=x\n")};
    EXPECT_EQ(LinuxBackend(s).read(Value::ProductName), std::nullopt);
    EXPECT_EQ(LinuxBackend(sources()).read(Value::ProductName), std::nullopt);
}

TEST_F(SystemValuesTest, OsReleaseValuesFollowShellQuoting) {
    const QByteArray text =
        "A=\"say \\\"hi\\\" \\$5\"\nB='a \\ b'\nC=bare\\ word\n  D=\"spaced\"  \n";
    EXPECT_EQ(osReleaseValue(text, QStringLiteral("A")), QStringLiteral("say \"hi\" $5"));
    EXPECT_EQ(osReleaseValue(text, QStringLiteral("B")), QStringLiteral("a \\ b"));
    EXPECT_EQ(osReleaseValue(text, QStringLiteral("C")), QStringLiteral("bare word"));
    EXPECT_EQ(osReleaseValue(text, QStringLiteral("D")), QStringLiteral("spaced"));
    EXPECT_EQ(osReleaseValue(text, QStringLiteral("E")), std::nullopt);
}

TEST_F(SystemValuesTest, ProductIdIsDerivedFromTheMachineIdWithoutShowingIt) {
    const QByteArray id = "4c4c4544004a3310804bb2c04f4e3432\n";
    Sources s = sources();
    s.machineIdFiles = {write(QStringLiteral("machine-id"), id)};
    const std::optional<QString> productId = LinuxBackend(s).read(Value::ProductId);
    ASSERT_TRUE(productId);
    EXPECT_EQ(productId->size(), 32);
    EXPECT_NE(productId->toLatin1(), id.trimmed());
    EXPECT_EQ(programIdOnMachine(id), productId); // the same on every start
    EXPECT_NE(programIdOnMachine("4c4c4544004a3310804bb2c04f4e3433"), productId);

    for (const QByteArray& bad :
         {QByteArray("uninitialized\n"), QByteArray(""), QByteArray(32, '0'),
          QByteArray("4c4c4544004a3310804bb2c04f4e34")}) {
        EXPECT_EQ(programIdOnMachine(bad), std::nullopt) << bad.toStdString();
    }
    EXPECT_EQ(LinuxBackend(sources()).read(Value::ProductId), std::nullopt);
}

TEST_F(SystemValuesTest, KernelReleaseAndHostNameAreTheFirstLineOfTheirFiles) {
    Sources s = sources();
    s.kernelReleaseFile = write(QStringLiteral("osrelease"), "6.1.0-18-amd64\n");
    s.hostNameFile = write(QStringLiteral("hostname"), "  agency-desk \nsecond line\n");
    EXPECT_EQ(LinuxBackend(s).read(Value::ProductKey), QStringLiteral("6.1.0-18-amd64"));
    EXPECT_EQ(LinuxBackend(s).read(Value::RegisteredOrganization), QStringLiteral("agency-desk"));

    s.hostNameFile = write(QStringLiteral("empty"), "\n");
    EXPECT_EQ(LinuxBackend(s).read(Value::RegisteredOrganization), std::nullopt);
    EXPECT_EQ(LinuxBackend(sources()).read(Value::ProductKey), std::nullopt);
}

TEST_F(SystemValuesTest, OwnerIsTheAccountsFullNameOrElseItsLoginName) {
    Sources s = sources();
    Account account{QStringLiteral("bahar"), QStringLiteral("Bahar Kiani,Room 4,,")};
    s.account = [&account] { return std::optional<Account>(account); };
    EXPECT_EQ(LinuxBackend(s).read(Value::RegisteredOwner), QStringLiteral("Bahar Kiani"));

    account.gecos = QStringLiteral("& Kiani");
    EXPECT_EQ(LinuxBackend(s).read(Value::RegisteredOwner), QStringLiteral("Bahar Kiani"));

    account.gecos = QStringLiteral(",,,");
    EXPECT_EQ(LinuxBackend(s).read(Value::RegisteredOwner), QStringLiteral("bahar"));

    EXPECT_EQ(LinuxBackend(sources()).read(Value::RegisteredOwner), std::nullopt);
}

TEST_F(SystemValuesTest, TheRunningSystemGivesTheValuesItHas) {
    // Whatever this machine holds: each value is one line of text, or none.
    LinuxBackend live;
    for (Value value : {Value::ProductName, Value::ProductId, Value::ProductKey,
                        Value::RegisteredOrganization, Value::RegisteredOwner}) {
        const std::optional<QString> text = live.read(value);
        if (text) {
            EXPECT_FALSE(text->isEmpty());
            EXPECT_FALSE(text->contains(QLatin1Char('\n')));
        }
    }
    EXPECT_TRUE(currentAccount()); // the account running the tests is known
}

} // namespace
