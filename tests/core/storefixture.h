#pragma once

#include "data/fields.h"
#include "data/recordsource.h"
#include "data/sqlite.h"
#include "data/storage.h"
#include "tests/support/testenv.h"

#include <QByteArray>
#include <QString>

#include <initializer_list>
#include <ostream>
#include <utility>
#include <vector>

// Readable failure output for Qt strings.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace velmoran::test {

// A fresh data folder with the listings file prepared, and small helpers to
// put listings in and to look at the file beside the record source.
class StoreTest : public DataFolderTest {
protected:
    void SetUp() override;

    QString listingsPath() const;
    QString passwordPath() const;
    static int field(const char* name);

    using Texts = std::initializer_list<std::pair<const char*, QString>>;
    // Stores a listing through `source` (AddNew, set, Update); returns its row id.
    static long long addListing(RecordSource& source, Texts texts,
                                const std::vector<const char*>& flags = {});

    // A second, plain connection to the listings file.
    sql::Database openRaw() const;
    long long countRows() const;
    QString rawText(long long rowId, const char* column) const;
    long long rawInt(long long rowId, const char* column) const;

    static QByteArray fileBytes(const QString& path);
    static void writeFile(const QString& path, const QByteArray& bytes);
};

} // namespace velmoran::test
