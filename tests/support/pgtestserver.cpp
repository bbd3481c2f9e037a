#include "tests/support/pgtestserver.h"

#include "data/postgres/pgconnection.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <atomic>
#include <stdexcept>

namespace velmoran::test {

namespace {

void runScript(const QStringList& arguments) {
    QProcess script;
    script.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    script.start(QStringLiteral(VELMORAN_PGSERVER_SCRIPT), arguments);
    if (!script.waitForFinished(120000) || script.exitStatus() != QProcess::NormalExit ||
        script.exitCode() != 0) {
        throw std::runtime_error("pgserver.sh " + arguments.join(' ').toStdString() + " failed");
    }
}

bool answers(const QString& conninfo) {
    try {
        pg::Connection connection(conninfo);
        return true;
    } catch (const pg::Error&) {
        return false;
    }
}

QString privateInfoFile() {
    static std::atomic<int> count{0};
    return QStringLiteral("/tmp/velmoran-pg-%1-%2.info")
        .arg(QCoreApplication::applicationPid())
        .arg(++count);
}

} // namespace

TestServer::TestServer(QString infoFile, bool owned)
    : infoFile_(std::move(infoFile)), owned_(owned) {}

TestServer& TestServer::shared() {
    static std::unique_ptr<TestServer> server = [] {
        auto run =
            std::unique_ptr<TestServer>(new TestServer(QStringLiteral(VELMORAN_PG_INFO), false));
        if (QFile::exists(run->infoFile_)) {
            run->readInfo();
            if (answers(run->conninfo())) {
                return run;
            }
        }
        return startPrivate();
    }();
    return *server;
}

std::unique_ptr<TestServer> TestServer::startPrivate() {
    auto server = std::unique_ptr<TestServer>(new TestServer(privateInfoFile(), true));
    server->start();
    return server;
}

TestServer::~TestServer() {
    if (owned_) {
        try {
            runScript({QStringLiteral("stop"), infoFile_});
        } catch (const std::exception&) {
        }
    }
}

void TestServer::readInfo() {
    QFile info(infoFile_);
    if (!info.open(QIODevice::ReadOnly)) {
        throw std::runtime_error("no server info file " + infoFile_.toStdString());
    }
    const QList<QByteArray> lines = info.readAll().split('\n');
    QString conninfo = QString::fromUtf8(lines.value(1));
    base_ = conninfo.remove(QStringLiteral(" dbname=postgres"));
}

QString TestServer::conninfo(const QString& database) const {
    return base_ + QStringLiteral(" dbname=") + database;
}

QString TestServer::passwordRoleConninfo(const QString& database) {
    pg::Connection admin(conninfo());
    // Test processes running side by side may both make it.
    admin.exec(QStringLiteral("DO $$BEGIN CREATE ROLE %1 LOGIN; EXCEPTION WHEN duplicate_object "
                              "OR unique_violation THEN NULL; END$$")
                   .arg(passwordRole()),
               {});
    admin.exec(
        QStringLiteral("ALTER ROLE %1 PASSWORD '%2'").arg(passwordRole(), passwordRolePassword()),
        {});
    return conninfo(database) + QStringLiteral(" user=") + passwordRole();
}

QString TestServer::createDatabase() {
    static std::atomic<int> count{0};
    const QString name =
        QStringLiteral("t_%1_%2").arg(QCoreApplication::applicationPid()).arg(++count);
    pg::Connection admin(conninfo());
    admin.exec(QStringLiteral("CREATE DATABASE %1").arg(name), {});
    return name;
}

void TestServer::dropDatabase(const QString& name) {
    pg::Connection admin(conninfo());
    admin.exec(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(name), {});
}

void TestServer::restart() {
    runScript({QStringLiteral("restart"), infoFile_});
}

void TestServer::stop() {
    // Stopped but kept: the info file and the folder stay for start().
    runScript({QStringLiteral("halt"), infoFile_});
}

void TestServer::start() {
    if (QFile::exists(infoFile_)) {
        runScript({QStringLiteral("resume"), infoFile_});
    } else {
        runScript({QStringLiteral("start"), infoFile_});
    }
    readInfo();
}

TestDatabase::TestDatabase() : name_(TestServer::shared().createDatabase()) {}

TestDatabase::~TestDatabase() {
    try {
        TestServer::shared().dropDatabase(name_);
    } catch (const std::exception&) {
    }
}

QString TestDatabase::conninfo() const {
    return TestServer::shared().conninfo(name_);
}

} // namespace velmoran::test
