#include "tests/core/storefixture.h"

#include "data/postgres/pgstore.h"
#include "tests/support/pgtestserver.h"

#include <QDir>
#include <QFile>

namespace velmoran::test {

std::string storeKindName(const ::testing::TestParamInfo<StoreKind>& info) {
    return info.param == StoreKind::Sqlite ? "Sqlite" : "Server";
}

void StoreTest::SetUp() {
    DataFolderTest::SetUp();
    store_ = {folder(), QString()};
    if (onServer()) {
        database_ = std::make_unique<TestDatabase>();
        store_.server = database_->conninfo();
    }
    ASSERT_EQ(prepareStore(store_, listingsTable()), QString());
}

void StoreTest::TearDown() {
    database_.reset();
    DataFolderTest::TearDown();
}

QString StoreTest::storeName() const {
    return onServer() ? pg::displayName(store_.server) : shownPath(listingsPath());
}

void StoreTest::emptyListings() {
    rawExec("DELETE FROM new");
}

QString StoreTest::listingsPath() const {
    return QDir(folder()).filePath("newil.db");
}

QString StoreTest::passwordPath() const {
    return QDir(folder()).filePath("pc.db");
}

int StoreTest::field(const char* name) {
    return listingsTable().indexOf(QLatin1String(name));
}

long long StoreTest::addListing(RecordSource& source, Texts texts,
                                const std::vector<const char*>& flags) {
    source.AddNew();
    for (const auto& [name, value] : texts) {
        EXPECT_TRUE(source.setText(field(name), value)) << name;
    }
    for (const char* name : flags) {
        EXPECT_TRUE(source.setFlag(field(name), true)) << name;
    }
    source.Update();
    return source.currentRowId();
}

sql::Database StoreTest::openRaw() const {
    return sql::Database(listingsPath(), SQLITE_OPEN_READWRITE);
}

StoreTest::WriteLock StoreTest::holdWriteLock(long long rowId) const {
    WriteLock lock;
    if (onServer()) {
        lock.desk = openServer();
        lock.desk.exec("BEGIN");
        lock.desk.exec(QStringLiteral("SELECT * FROM new WHERE id = %1 FOR UPDATE").arg(rowId), {});
    } else {
        lock.file = openRaw();
        lock.file.exec("BEGIN IMMEDIATE");
    }
    return lock;
}

pg::Connection StoreTest::openServer() const {
    return pg::Connection(store_.server);
}

void StoreTest::rawExec(const QString& sql) const {
    if (onServer()) {
        openServer().exec(sql, {});
    } else {
        openRaw().exec(sql);
    }
}

long long StoreTest::countRows() const {
    if (onServer()) {
        return openServer().exec("SELECT count(*) FROM new").integer(0, 0);
    }
    sql::Database db = openRaw();
    sql::Statement st = db.prepare("SELECT count(*) FROM new");
    EXPECT_TRUE(st.step());
    return st.columnInt(0);
}

QString StoreTest::rawValue(long long rowId, const char* column) const {
    const QString sql =
        QStringLiteral("SELECT %1 FROM new WHERE id = %2").arg(sql::quoted(column)).arg(rowId);
    if (onServer()) {
        const pg::Result result = openServer().exec(sql, {});
        EXPECT_EQ(result.rows(), 1) << "row " << rowId;
        if (result.rows() != 1) {
            return QString();
        }
        EXPECT_FALSE(result.isNull(0, 0));
        return result.text(0, 0);
    }
    sql::Database db = openRaw();
    sql::Statement st = db.prepare(sql);
    EXPECT_TRUE(st.step()) << "row " << rowId;
    EXPECT_FALSE(st.isNull(0));
    return st.columnText(0);
}

QString StoreTest::rawText(long long rowId, const char* column) const {
    return rawValue(rowId, column);
}

long long StoreTest::rawInt(long long rowId, const char* column) const {
    return rawValue(rowId, column).toLongLong();
}

QByteArray StoreTest::fileBytes(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

void StoreTest::writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

} // namespace velmoran::test
