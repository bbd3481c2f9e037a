// The server's store: choosing it, its tables made or taken as they are, and
// what the record source does when the connection goes.

#include "data/maintenance/storeoptimise.h"
#include "data/postgres/pgconnection.h"
#include "data/postgres/pgschema.h"
#include "data/store/recordsource.h"
#include "data/store/storelocation.h"
#include "tests/support/pgtestserver.h"
#include "tests/support/testenv.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <atomic>
#include <chrono>
#include <csignal>
#include <thread>

using namespace velmoran;
using velmoran::test::TestDatabase;
using velmoran::test::TestServer;

namespace {

int field(const char* name) {
    return listingsTable().indexOf(QLatin1String(name));
}

class StoreConfigTest : public velmoran::test::DataFolderTest {
protected:
    void writeConfig(const QByteArray& text) {
        QDir().mkpath(QFileInfo(configFilePath()).path());
        QFile file(configFilePath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
    }
    StoreLocation read(QString* problem = nullptr) {
        QString ignored;
        return configuredStore(problem ? problem : &ignored);
    }
};

TEST_F(StoreConfigTest, TheFileNamesTheServerAndWithoutItTheFolderServes) {
    EXPECT_EQ(configFilePath(),
              qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/velmoran/velmoran.conf"));
    QString problem;
    StoreLocation store = read(&problem);
    EXPECT_TRUE(problem.isEmpty());
    EXPECT_FALSE(store.onServer());
    EXPECT_EQ(store.folder, folder());

    writeConfig("[store]\nserver=service=velmoran\n");
    EXPECT_EQ(read().server, "service=velmoran");
    writeConfig("[store]\nserver = host=office-pc dbname=velmoran  \n");
    EXPECT_EQ(read().server, "host=office-pc dbname=velmoran");
    // Several hosts are separated by commas, which INI reads as a list.
    writeConfig("[store]\nserver=host=desk1,desk2 dbname=velmoran\n");
    EXPECT_EQ(read().server, "host=desk1,desk2 dbname=velmoran");
    writeConfig("[store]\nserver=\"host=a dbname=b\"\n");
    EXPECT_EQ(read().server, "host=a dbname=b");
    writeConfig("[other]\nserver=host=a\n");
    EXPECT_FALSE(read().onServer());
    EXPECT_EQ(read().folder, folder());

    QFile::remove(configFilePath());
    ASSERT_TRUE(QDir().mkpath(configFilePath())); // a folder where the file should be
    store = read(&problem);
    EXPECT_TRUE(problem.contains(configFilePath())) << problem.toStdString();
    EXPECT_FALSE(store.onServer());
}

class ServerSchemaTest : public velmoran::test::ServerFolderTest {
protected:
    pg::Connection admin() const { return pg::Connection(server()); }
    void exec(const char* sql) const { admin().exec(sql); }
    // The table's columns with their types, to see that nothing changed.
    QString shape(const char* table) const {
        return admin()
            .exec(QStringLiteral("SELECT string_agg(attname || ' ' || format_type(atttypid, "
                                 "atttypmod) || ' ' || attnotnull, ', ' ORDER BY attnum) FROM "
                                 "pg_attribute WHERE attrelid = '%1'::regclass AND attnum > 0")
                      .arg(QLatin1String(table)),
                  {})
            .text(0, 0);
    }
    // Someone of the agency who may log in but not create.
    QString desk() const {
        exec("DO $$ BEGIN CREATE ROLE desk LOGIN; EXCEPTION WHEN duplicate_object THEN NULL; "
             "END $$");
        return server().replace("user=velmoran_admin", "user=desk");
    }
};

TEST_F(ServerSchemaTest, MissingTablesAreMadeInTheSearchPathSchemaAsTheFilesAre) {
    exec("CREATE SCHEMA agency");
    const QString inAgency = server() + " options='-c search_path=agency'";
    ASSERT_EQ(preparePgStore(inAgency, listingsTable()), QString());
    ASSERT_EQ(preparePgStore(inAgency, passwordTable()), QString());
    const pg::Result tables = admin().exec(
        "SELECT string_agg(table_schema || '.' || table_name, ' ' ORDER BY table_name) FROM "
        "information_schema.tables WHERE table_schema NOT IN ('pg_catalog', "
        "'information_schema')");
    EXPECT_EQ(tables.text(0, 0), "agency.new agency.pc");
    const pg::Result types = admin().exec(
        "SELECT format_type(atttypid, atttypmod), attnotnull, pg_get_expr(adbin, adrelid), "
        "attidentity FROM pg_attribute LEFT JOIN pg_attrdef ON adrelid = attrelid AND adnum = "
        "attnum WHERE attrelid = 'agency.new'::regclass AND attname IN ('id', 'malek', 'vila') "
        "ORDER BY attname");
    EXPECT_EQ(types.text(0, 0), "bigint"); // id, an identity column
    EXPECT_EQ(types.text(0, 3), "d");
    EXPECT_EQ(types.text(1, 0), "text");
    EXPECT_EQ(types.text(1, 1), "t");
    EXPECT_EQ(types.text(1, 2), "''::text");
    EXPECT_EQ(types.text(2, 0), "smallint");
    EXPECT_EQ(types.text(2, 2), "0");
    EXPECT_EQ(admin().exec("SELECT count(*), min(passsecurity) FROM agency.pc").text(0, 0), "1");
    EXPECT_EQ(
        admin().exec("SELECT count(*) FROM pg_indexes WHERE indexname = 'new_find'").text(0, 0),
        "1");
    // Prepared again, nothing more is made.
    ASSERT_EQ(preparePgStore(inAgency, passwordTable()), QString());
    EXPECT_EQ(admin().exec("SELECT count(*) FROM agency.pc").text(0, 0), "1");
}

// The owner find on the server reads only that owner's listings, through
// an index of the owner folded as the find compares it (ي/ی, ك/ک, Latin
// case), even where few owners share many listings and a walk in id order
// looks cheaper to the server; a table made by an earlier version lacks the
// index, check says so and optimise adds it.
TEST_F(ServerSchemaTest, TheOwnerFindGoesThroughAnIndexOfTheFoldedOwnerThatOptimiseAdds) {
    const StoreLocation store{folder(), server()};
    ASSERT_EQ(prepareStore(store, listingsTable()), QString());
    {
        std::vector<RowValues> rows(6000);
        for (std::size_t i = 0; i < rows.size(); ++i) {
            rows[i].texts.assign(kListingFieldCount, QString());
            rows[i].flags.assign(kListingFieldCount, false);
            rows[i].texts[field("malek")] = i == 4700 ? QStringLiteral("علي كريمي SMITH")
                                                      : QStringLiteral("owner %1").arg(i % 20);
        }
        openTableStore(store, listingsTable())->insertAll(rows);
    }
    exec("ANALYZE new");
    // The owner finds of a desk, then the times the server read the owner
    // index, once the desk's connection has ended (and told its counts).
    const auto ownerIndexReads = [&] {
        {
            RecordSource source(store, listingsTable());
            source.FindFirst(QStringLiteral("malek='علی کریمی smith'"));
            EXPECT_FALSE(source.NoMatch());
            EXPECT_EQ(source.text(field("malek")), QStringLiteral("علي كريمي SMITH"));
            source.FindFirst(QStringLiteral("malek='nobody'"));
            EXPECT_TRUE(source.NoMatch());
        }
        long long reads = -1;
        for (int wait = 0; wait < 100 && reads <= 0; ++wait) {
            const pg::Result scans = admin().exec(
                "SELECT coalesce(sum(idx_scan), 0) FROM pg_stat_user_indexes WHERE indexrelname "
                "= 'new_owner'");
            reads = scans.integer(0, 0);
            if (reads <= 0) {
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            }
        }
        return reads;
    };
    EXPECT_GE(ownerIndexReads(), 2);

    exec("DROP INDEX new_owner");
    EXPECT_TRUE(checkPriceIndexes(store, listingsTable()).ownerIndexMissing);
    const PriceIndexCheck added = addPriceIndexes(store, listingsTable());
    ASSERT_TRUE(added.ok()) << added.error.toStdString();
    EXPECT_TRUE(added.ownerIndexMissing); // added
    EXPECT_FALSE(checkPriceIndexes(store, listingsTable()).ownerIndexMissing);
    EXPECT_GE(ownerIndexReads(), 2);
}

TEST_F(ServerSchemaTest, TwoDesksStartingAtOnceOnAnEmptyServerMakeTheTablesOnce) {
    QString first, second;
    std::thread a([&] { first = preparePgStore(server(), passwordTable()); });
    std::thread b([&] { second = preparePgStore(server(), passwordTable()); });
    a.join();
    b.join();
    EXPECT_EQ(first, QString());
    EXPECT_EQ(second, QString());
    EXPECT_EQ(admin().exec("SELECT count(*) FROM pc").text(0, 0), "1");
}

TEST_F(ServerSchemaTest, AnExistingTableIsUsedAsItIsWhateverItsOrderCaseAndExtraColumns) {
    // Made by hand: another order, a name in capitals, varchar, integer
    // flags, a serial id, a column of its own.
    QStringList columns{"remark varchar(20)"};
    for (int i = static_cast<int>(kListingFieldCount) - 1; i >= 0; --i) {
        const QString name = i == field("malek") ? QStringLiteral("\"MALEK\"")
                                                 : QString::fromLatin1(kListingFields[i].name);
        columns << name + (kListingFields[i].kind == FieldKind::Flag ? " integer" : " varchar");
    }
    admin().exec(QStringLiteral("CREATE TABLE new (%1, id serial PRIMARY KEY)")
                     .arg(columns.join(", "))
                     .toUtf8()
                     .constData());
    exec("INSERT INTO new (\"MALEK\", vila, remark) VALUES ('first', -1, 'theirs')");
    const QString before = shape("new");
    ASSERT_EQ(preparePgStore(server(), listingsTable()), QString());
    EXPECT_EQ(shape("new"), before);

    RecordSource source(StoreLocation{folder(), server()}, listingsTable());
    EXPECT_EQ(source.text(field("malek")), "first");
    EXPECT_TRUE(source.flag(field("vila")));
    source.setText(field("malek"), "changed");
    source.Update();
    source.AddNew();
    source.setText(field("gheymatehkoole"), "150");
    source.setFlag(field("fooroosh"), true);
    source.Update();
    source.FindFirst("gheymatehkoole > '100' AND  gheymatehkoole < '200' and  fooroosh = -1");
    EXPECT_FALSE(source.NoMatch());
    EXPECT_EQ(admin()
                  .exec("SELECT string_agg(\"MALEK\" || '/' || coalesce(remark, ''), ',' "
                        "ORDER BY id) FROM new")
                  .text(0, 0),
              "changed/theirs,/");
    EXPECT_EQ(shape("new"), before);
}

TEST_F(ServerSchemaTest, WhatMakesATableUnusableIsNamedAndTheTableLeftAsItIs) {
    const auto expectRefused = [&](const char* why, const QString& conninfo,
                                   const QStringList& words) {
        const QString message = preparePgStore(conninfo, listingsTable());
        EXPECT_TRUE(message.contains(pg::displayName(conninfo))) << why << message.toStdString();
        EXPECT_TRUE(message.contains("new")) << why;
        for (const QString& word : words) {
            EXPECT_TRUE(message.contains(word)) << why << ": " << message.toStdString();
        }
        EXPECT_THROW(RecordSource(StoreLocation{folder(), conninfo}, listingsTable()), StoreError)
            << why;
    };
    // A role that may not create the table it lacks.
    expectRefused("no right to create", desk(), {"permission denied"});
    // A table without some columns, and one whose id numbers nothing.
    exec("CREATE TABLE new (id bigint, malek text, vila smallint)");
    const QString before = shape("new");
    expectRefused("missing columns", server(), {"fooroosh", "gheymatehkoole"});
    EXPECT_EQ(shape("new"), before);
    exec("DROP TABLE new");
    QStringList columns;
    for (std::size_t i = 0; i < kListingFieldCount; ++i) {
        columns << QString::fromLatin1(kListingFields[i].name) +
                       (kListingFields[i].kind == FieldKind::Flag ? " smallint" : " text");
    }
    admin().exec(QStringLiteral("CREATE TABLE new (id bigint, %1)")
                     .arg(columns.join(", "))
                     .toUtf8()
                     .constData());
    expectRefused("an id without numbers", server(), {"id"});
    exec("ALTER TABLE new ALTER id SET NOT NULL, ALTER id ADD GENERATED BY DEFAULT AS IDENTITY, "
         "ALTER vila TYPE boolean USING false");
    expectRefused("a flag of another type", server(), {"vila", "boolean"});
    exec("ALTER TABLE new ALTER vila TYPE smallint USING 0");
    ASSERT_EQ(preparePgStore(server(), listingsTable()), QString());
    // A role that may read the table but not write it.
    exec("GRANT SELECT ON new TO desk");
    expectRefused("read only", desk(), {});
}

TEST_F(ServerSchemaTest, AServerThatCannotBeReachedOrHoldsNoPersianIsNamed) {
    const QString nowhere = "host=/nonexistent port=5 dbname=velmoran user=desk password=secret";
    const QString message = preparePgStore(nowhere, listingsTable());
    EXPECT_TRUE(message.contains("host=/nonexistent")) << message.toStdString();
    EXPECT_FALSE(message.contains("secret")) << "a password is never shown";
    EXPECT_TRUE(message.contains(QChar(0x2068)) && message.contains(QChar(0x2069)));

    pg::Connection(TestServer::shared().conninfo())
        .exec(QStringLiteral("CREATE DATABASE %1_latin ENCODING 'LATIN1' LC_COLLATE 'C' LC_CTYPE "
                             "'C' TEMPLATE template0")
                  .arg(database().name()),
              {});
    const QString latin = TestServer::shared().conninfo(database().name() + "_latin");
    const QString refused = preparePgStore(latin, listingsTable());
    TestServer::shared().dropDatabase(database().name() + "_latin");
    EXPECT_TRUE(refused.contains("LATIN1")) << refused.toStdString();
}

// A listing typed while the server goes away is stored when it is back.
class ServerConnectionTest : public velmoran::test::DataFolderTest {
protected:
    void SetUp() override {
        DataFolderTest::SetUp();
        server_ = TestServer::startPrivate();
        store_ = {folder(), server_->conninfo()};
        ASSERT_EQ(prepareStore(store_, listingsTable()), QString());
    }
    void TearDown() override {
        server_.reset();
        DataFolderTest::TearDown();
    }
    long long count() const {
        return pg::Connection(server_->conninfo()).exec("SELECT count(*) FROM new").integer(0, 0);
    }
    std::unique_ptr<TestServer> server_;
    StoreLocation store_;
};

TEST_F(ServerConnectionTest, ARestartWhileAListingIsTypedAndTheServerDownAtTheSave) {
    RecordSource source(store_, listingsTable());
    source.AddNew();
    source.setText(field("malek"), "typed before the restart");
    server_->restart();
    source.setText(field("details"), "and after it");
    source.Update(); // the connection is made again first
    EXPECT_EQ(count(), 1);
    EXPECT_FALSE(source.isChanged());

    // Down at the save: the failure is told, the listing stays on the screen.
    source.AddNew();
    source.setText(field("malek"), "typed while it is down");
    server_->stop();
    try {
        source.Update();
        FAIL() << "stored with the server down";
    } catch (const StoreError& e) {
        EXPECT_TRUE(e.message().contains(pg::displayName(store_.server))) << e.what();
    }
    EXPECT_TRUE(source.isNewRow());
    EXPECT_EQ(source.text(field("malek")), "typed while it is down");
    EXPECT_THROW(source.FindFirst("malek='x'"), StoreError);
    EXPECT_TRUE(source.isNewRow());
    server_->start();
    source.Update();
    EXPECT_EQ(count(), 2);
    source.FindFirst("malek='typed before the restart'");
    EXPECT_FALSE(source.NoMatch());
    EXPECT_EQ(source.text(field("details")), "and after it");
}

TEST_F(ServerConnectionTest, AConnectionTheServerEndedIsMadeAgainForTheNextOperation) {
    RecordSource source(store_, listingsTable());
    source.AddNew();
    source.setText(field("malek"), "a");
    source.Update();
    const long long id = source.currentRowId();
    pg::Connection(server_->conninfo())
        .exec("SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE application_name = "
              "'velmoran' AND pid <> pg_backend_pid()");
    source.setText(field("malek"), "b");
    source.Update();
    source.FindFirst("malek='b'");
    EXPECT_EQ(source.currentRowId(), id);
    EXPECT_EQ(count(), 1);
}

// The server crashes while a save's commit is under way (its backend killed:
// every connection ends and the server recovers). Whether the listing was
// stored is asked of the server once it answers again: not stored, the save
// runs again on the new connection and stores it once; the user is never
// told "unknown, search first".
TEST_F(ServerConnectionTest, ACommitCutByACrashOfTheServerIsResolvedAndTheListingStoredOnce) {
    pg::Connection admin(server_->conninfo());
    admin.exec("CREATE FUNCTION slow_commit() RETURNS trigger LANGUAGE plpgsql AS "
               "$$BEGIN PERFORM pg_sleep(1); RETURN NULL; END$$");
    admin.exec("CREATE CONSTRAINT TRIGGER slow_commit AFTER INSERT ON new DEFERRABLE INITIALLY "
               "DEFERRED FOR EACH ROW EXECUTE FUNCTION slow_commit()");
    // The test cluster commits without waiting for its journal to reach the
    // disk: the tables and the trigger are made durable before the crash, or
    // a loaded machine's crash recovery loses them.
    admin.exec("CHECKPOINT");
    RecordSource source(store_, listingsTable());
    source.AddNew();
    source.setText(field("malek"), "typed before the crash");
    std::atomic<bool> killed{false};
    std::thread crash([&] {
        for (int tries = 0; tries < 100 && !killed; ++tries) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            const pg::Result committing =
                admin.exec("SELECT pid FROM pg_stat_activity WHERE query = 'COMMIT' AND state = "
                           "'active' AND pid <> pg_backend_pid()");
            if (committing.rows() == 1) {
                killed = ::kill(static_cast<pid_t>(committing.integer(0, 0)), SIGKILL) == 0;
            }
        }
    });
    try {
        source.Update();
    } catch (const StoreError& e) {
        ADD_FAILURE() << "a save cut by the crash was not resolved: " << e.what();
    }
    crash.join();
    ASSERT_TRUE(killed);
    EXPECT_EQ(count(), 1);
    EXPECT_FALSE(source.isChanged());
    EXPECT_EQ(source.text(field("malek")), "typed before the crash");
}

// The server stops answering while the connection stays up (its backend
// stopped, as a hung machine would): the save ends at the deadline with the
// message naming the server, the windows paint meanwhile, the typed listing
// stays, and it is stored once the server answers again.
TEST_F(ServerConnectionTest, ASaveToAServerThatStopsAnsweringEndsAtTheDeadlineAndKeepsTheListing) {
    int waits = 0;
    pg::setBusyWait([&waits] { ++waits; });
    RecordSource source(store_, listingsTable());
    source.AddNew();
    source.setText(field("malek"), "typed while it hangs");
    pg::Connection admin(server_->conninfo());
    const pg::Result desk = admin.exec("SELECT pid FROM pg_stat_activity WHERE application_name = "
                                       "'velmoran' AND pid <> pg_backend_pid()");
    ASSERT_EQ(desk.rows(), 1);
    const auto backend = static_cast<pid_t>(desk.integer(0, 0));
    ASSERT_EQ(::kill(backend, SIGSTOP), 0);
    QElapsedTimer waited;
    waited.start();
    try {
        source.Update();
        FAIL() << "stored on a server that does not answer";
    } catch (const StoreError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("پاسخ نداد"))) << e.what();
        EXPECT_EQ(e.kind(), StoreError::Kind::NoAnswer); // not a store's plain failure
        EXPECT_TRUE(e.message().contains(pg::displayName(store_.server))) << e.what();
    }
    const qint64 took = waited.elapsed();
    ::kill(backend, SIGCONT);
    pg::setBusyWait(nullptr);
    EXPECT_GE(took, pg::kServerDeadline - 200);
    EXPECT_LT(took, pg::kServerDeadline + 5000); // ended, not hung
    EXPECT_GT(waits, 20);                        // the windows were painted meanwhile
    EXPECT_TRUE(source.isNewRow());
    EXPECT_EQ(source.text(field("malek")), "typed while it hangs");
    source.Update(); // on a new connection
    EXPECT_EQ(count(), 1);
}

} // namespace
