#pragma once

#include "tests/support/testenv.h"

#include <QString>

#include <memory>

namespace velmoran::test {

// A throwaway PostgreSQL server (tests/support/pgserver.sh): the one the ctest
// run started for every test (its fixture writes the info file), or, for a
// test binary run by hand, one started on first use and stopped when the
// process ends. Each test makes a database of its own on it.
class TestServer {
public:
    static TestServer& shared();
    // A server of its own, stopped and removed with the object: for a test
    // that restarts it.
    static std::unique_ptr<TestServer> startPrivate();
    ~TestServer();
    TestServer(const TestServer&) = delete;
    TestServer& operator=(const TestServer&) = delete;

    // The connection string of `database` as the administrator.
    QString conninfo(const QString& database = QStringLiteral("postgres")) const;
    // The connection string of `database` as the role that must give its
    // password (tests/support/pgserver.sh), without one; the role is made on
    // first use with the password passwordRolePassword().
    QString passwordRoleConninfo(const QString& database = QStringLiteral("postgres"));
    static QString passwordRolePassword() { return QStringLiteral("the-right-password"); }
    static QString passwordRole() { return QStringLiteral("velmoran_password_role"); }
    // Makes a new empty database; returns its name.
    QString createDatabase();
    // Drops it, ending whatever connections it still has.
    void dropDatabase(const QString& name);

    // Stops the server and starts it again (fast shutdown: every connection
    // is ended).
    void restart();
    void stop();
    void start();

private:
    TestServer(QString infoFile, bool owned);
    void readInfo();

    QString infoFile_;
    bool owned_;
    QString base_; // host=… port=… user=…
};

// A database of its own on the shared test server for one test, dropped
// with the object.
class TestDatabase {
public:
    TestDatabase();
    ~TestDatabase();
    TestDatabase(const TestDatabase&) = delete;
    TestDatabase& operator=(const TestDatabase&) = delete;
    const QString& name() const { return name_; }
    QString conninfo() const;

private:
    QString name_;
};

// A fresh data folder and a database of its own on the test server.
class ServerFolderTest : public DataFolderTest {
protected:
    void SetUp() override {
        DataFolderTest::SetUp();
        database_ = std::make_unique<TestDatabase>();
    }
    void TearDown() override {
        database_.reset();
        DataFolderTest::TearDown();
    }
    QString server() const { return database_->conninfo(); }
    const TestDatabase& database() const { return *database_; }

private:
    std::unique_ptr<TestDatabase> database_;
};

} // namespace velmoran::test
