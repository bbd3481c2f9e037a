#pragma once

#include "data/core/fields.h"
#include "data/postgres/pgconnection.h"
#include "data/sqlite/sqlite.h"
#include "data/sqlite/sqlitefile.h"
#include "data/store/recordsource.h"
#include "data/store/storelocation.h"
#include "tests/support/pgtestserver.h"
#include "tests/support/testenv.h"

#include <QByteArray>
#include <QString>

#include <initializer_list>
#include <memory>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

// Readable failure output for Qt strings.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace velmoran::test {

// The two stores a suite runs on.
enum class StoreKind { Sqlite, Server };
std::string storeKindName(const ::testing::TestParamInfo<StoreKind>& info);

// A fresh data folder with the listings store prepared, on the store of the
// test's parameter: the SQLite file of the folder, or a database of its own
// on the test server; and small helpers to put listings in and to look at the
// store beside the record source.
class StoreTest : public DataFolderTest, public ::testing::WithParamInterface<StoreKind> {
protected:
    void SetUp() override;
    void TearDown() override;

    bool onServer() const { return GetParam() == StoreKind::Server; }
    // The store the record sources open.
    const StoreLocation& store() const { return store_; }
    // What the store's messages name: the file's path or the server.
    QString storeName() const;
    // Empties the listings table.
    void emptyListings();

    QString listingsPath() const;
    QString passwordPath() const;
    static int field(const char* name);

    using Texts = std::initializer_list<std::pair<const char*, QString>>;
    // Stores a listing through `source` (AddNew, set, Update); returns its row id.
    static long long addListing(RecordSource& source, Texts texts,
                                const std::vector<const char*>& flags = {});

    // Plain SQL on the listings store beside the record source (the same
    // text serves both stores for simple statements).
    void rawExec(const QString& sql) const;
    long long countRows() const;
    QString rawText(long long rowId, const char* column) const;
    long long rawInt(long long rowId, const char* column) const;
    // A second, plain connection to the listings file (SQLite only).
    sql::Database openRaw() const;
    // A plain connection to the test's database (server only).
    pg::Connection openServer() const;

    // Another writer, holding the listings file (on a server, row `rowId`)
    // until it goes.
    struct WriteLock {
        sql::Database file;
        pg::Connection desk;
    };
    WriteLock holdWriteLock(long long rowId) const;

    static QByteArray fileBytes(const QString& path);
    static void writeFile(const QString& path, const QByteArray& bytes);

private:
    QString rawValue(long long rowId, const char* column) const;

    StoreLocation store_;
    std::unique_ptr<TestDatabase> database_;
};

} // namespace velmoran::test

// Runs the suite of fixture `suite` on both stores.
#define VELMORAN_ON_BOTH_STORES(suite)                                                             \
    INSTANTIATE_TEST_SUITE_P(Stores, suite,                                                        \
                             ::testing::Values(::velmoran::test::StoreKind::Sqlite,                \
                                               ::velmoran::test::StoreKind::Server),               \
                             ::velmoran::test::storeKindName)
