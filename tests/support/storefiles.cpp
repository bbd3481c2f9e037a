#include "tests/support/storefiles.h"

#include "data/core/fields.h"
#include "data/sqlite/sqlite.h"
#include "data/sqlite/sqlitefile.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <random>

namespace velmoran::test {

namespace {

const QStringList kWords = {"آپارتمان",   "ويلا", "شمالي",  "پاركينگ", "كوچه", "Tehran", "Vanak",
                            "Block",      "سند",  "طبقه",   "۱۲۳۴",    "5678", "تك برگ", "B-12",
                            "\"quoted\"", "a,b",  "نيم,خط", "½",       "ي ك",  "emoji ✓"};

int pageSize(const QByteArray& file) {
    const int size =
        (static_cast<unsigned char>(file[16]) << 8) | static_cast<unsigned char>(file[17]);
    return size == 1 ? 65536 : size;
}

} // namespace

std::vector<ListingValues> generatedListings(int count, unsigned seed) {
    std::mt19937 random(seed);
    const auto below = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
    std::vector<ListingValues> listings;
    listings.reserve(count);
    for (int r = 0; r < count; ++r) {
        ListingValues values;
        for (std::size_t f = 0; f < kListingFieldCount; ++f) {
            if (kListingFields[f].kind == FieldKind::Flag) {
                values.push_back(QString::fromLatin1(below(3) == 0 ? "-1" : "0"));
                continue;
            }
            QString text;
            const int words = below(4) == 0 ? 0 : 1 + below(5);
            for (int w = 0; w < words; ++w) {
                if (w > 0) {
                    const int glue = below(12);
                    text += glue == 0   ? QStringLiteral("\n")
                            : glue == 1 ? QStringLiteral("\r\n")
                            : glue == 2 ? QStringLiteral("\t")
                                        : QStringLiteral(" ");
                }
                text += kWords[below(kWords.size())];
            }
            if (below(500) == 0) {
                text += QString(3000, QChar(0x0645)); // a long remark
            }
            values.push_back(text);
        }
        listings.push_back(values);
    }
    return listings;
}

void storeListings(const QString& folder, const std::vector<ListingValues>& listings) {
    ASSERT_EQ(prepareStoreFile(folder, listingsTable()), QString());
    sql::Database db(QDir(folder).filePath(QStringLiteral("newil.db")), SQLITE_OPEN_READWRITE);
    QStringList columns;
    QStringList marks;
    for (std::size_t f = 0; f < kListingFieldCount; ++f) {
        columns << sql::quoted(kListingFields[f].name);
        marks << QStringLiteral("?");
    }
    sql::Statement insert =
        db.prepare(QStringLiteral("INSERT INTO new (%1) VALUES (%2)")
                       .arg(columns.join(QLatin1Char(',')), marks.join(QLatin1Char(','))));
    sql::Transaction transaction(db);
    for (const ListingValues& values : listings) {
        for (std::size_t f = 0; f < kListingFieldCount; ++f) {
            if (kListingFields[f].kind == FieldKind::Flag) {
                insert.bindInt(static_cast<int>(f) + 1, values[f].toInt());
            } else {
                insert.bindText(static_cast<int>(f) + 1, values[f]);
            }
        }
        insert.run();
    }
    transaction.commit();
}

void preparePasswordStore(const QString& folder) {
    ASSERT_EQ(prepareStoreFile(folder, passwordTable()), QString());
}

void foldJournal(const QString& store) {
    sql::Database db(store, SQLITE_OPEN_READWRITE);
    db.exec("PRAGMA wal_checkpoint(TRUNCATE)");
}

QByteArray bytesOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void overwrite(const QString& path, qint64 offset, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.seek(offset));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

void damagePages(const QString& store, int pages) {
    foldJournal(store);
    const QByteArray file = bytesOf(store);
    ASSERT_GE(file.size(), 100);
    const int size = pageSize(file);
    const qint64 count = file.size() / size;
    ASSERT_GE(count, 3) << "too small a file to damage inside";
    for (qint64 page = count / 2; page < count / 2 + pages && page < count; ++page) {
        overwrite(store, page * size, QByteArray(16, '\xA5'));
    }
}

void damageIndexEntry(const QString& store, const QString& text) {
    foldJournal(store);
    const QByteArray file = bytesOf(store);
    const int size = pageSize(file);
    const QByteArray needle = text.toUtf8();
    for (qsizetype at = file.indexOf(needle); at >= 0; at = file.indexOf(needle, at + 1)) {
        const qint64 page = at / size;
        const qint64 header = page == 0 ? 100 : page * size;
        if (file[header] == 0x0A) { // an index leaf page
            overwrite(store, at, QByteArray(1, needle[0] == 'X' ? 'Y' : 'X'));
            return;
        }
    }
    FAIL() << "no index entry holds " << text.toStdString();
}

} // namespace velmoran::test
