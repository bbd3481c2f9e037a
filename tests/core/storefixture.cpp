#include "tests/core/storefixture.h"

#include <QDir>
#include <QFile>

namespace velmoran::test {

void StoreTest::SetUp() {
    DataFolderTest::SetUp();
    ASSERT_EQ(prepareStore(folder(), listingsTable()), QString());
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

long long StoreTest::countRows() const {
    sql::Database db = openRaw();
    sql::Statement st = db.prepare("SELECT count(*) FROM new");
    EXPECT_TRUE(st.step());
    return st.columnInt(0);
}

QString StoreTest::rawText(long long rowId, const char* column) const {
    sql::Database db = openRaw();
    sql::Statement st =
        db.prepare(QStringLiteral("SELECT %1 FROM new WHERE rowid = ?").arg(sql::quoted(column)));
    st.bindInt(1, rowId);
    EXPECT_TRUE(st.step()) << "row " << rowId;
    EXPECT_FALSE(st.isNull(0));
    return st.columnText(0);
}

long long StoreTest::rawInt(long long rowId, const char* column) const {
    sql::Database db = openRaw();
    sql::Statement st =
        db.prepare(QStringLiteral("SELECT %1 FROM new WHERE rowid = ?").arg(sql::quoted(column)));
    st.bindInt(1, rowId);
    EXPECT_TRUE(st.step()) << "row " << rowId;
    return st.columnInt(0);
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
