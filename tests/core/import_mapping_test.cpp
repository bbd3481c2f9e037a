// The mapping of an Access table's columns onto the fields of table `new`,
// on rows made up here, and the storing of mapped rows into a new store.

#include "data/core/fields.h"
#include "data/sqlite/sqlite.h"
#include "data/sqlite/sqlitefile.h"
#include "import/fieldmapping.h"
#include "import/storebuilder.h"
#include "tests/support/importfixtures.h"
#include "tests/support/testenv.h"

#include <QFileInfo>
#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <algorithm>
#include <sys/stat.h>

using namespace velmoran;
using namespace velmoran::import;
using namespace velmoran::test;

namespace {

const TableSpec& tableSpec = listingsTable();

QStringList fieldsExcept(const QStringList& present) {
    QStringList names;
    for (std::size_t i = 0; i < tableSpec.fieldCount; ++i) {
        const QString name = QString::fromUtf8(tableSpec.fields[i].name);
        if (!present.contains(name)) {
            names << name;
        }
    }
    return names;
}

TEST(FieldMappingTest, EachFieldTakesTheColumnOfItsNameInAnyCase) {
    const std::vector<MdbColumn> columns{{"MALEK", ColumnKind::Text},
                                         {"Fooroosh", ColumnKind::Flag},
                                         {"Date", ColumnKind::Date},
                                         {"remarks2", ColumnKind::Text},
                                         {"gheymatehkoole", ColumnKind::Number},
                                         {"malek", ColumnKind::Text},
                                         {"KHAB0", ColumnKind::Text},
                                         {"Apartman", ColumnKind::Number}};
    const FieldMapping mapping(tableSpec, columns);
    EXPECT_EQ(mapping.missing(),
              fieldsExcept({"malek", "fooroosh", "date", "gheymatehkoole", "khab0", "apartman"}));
    // A second column of one field's name is no field's.
    EXPECT_EQ(mapping.extra(), (QStringList{"remarks2", "malek"}));

    const MdbRow row{QStringLiteral("مالك اول"),
                     "1",
                     "12/12/81 00:00:00",
                     "x",
                     "1500000",
                     QStringLiteral("دوم"),
                     "2",
                     "0"};
    std::vector<FieldValue> values;
    mapping.map(row, values);
    ASSERT_EQ(values.size(), tableSpec.fieldCount);
    for (std::size_t i = 0; i < tableSpec.fieldCount; ++i) {
        const QString name = QString::fromUtf8(tableSpec.fields[i].name);
        SCOPED_TRACE(name.toStdString());
        QString text;
        int flag = 0;
        if (name == QLatin1String("malek")) {
            text = QStringLiteral("مالك اول");
        } else if (name == QLatin1String("fooroosh")) {
            flag = -1;
        } else if (name == QLatin1String("date")) {
            text = QStringLiteral("12/12/81 00:00:00");
        } else if (name == QLatin1String("gheymatehkoole")) {
            text = QStringLiteral("1500000");
        } else if (name == QLatin1String("khab0")) {
            text = QStringLiteral("2");
        }
        EXPECT_EQ(values[i].text, text);
        EXPECT_EQ(values[i].flag, flag);
    }
}

TEST(FieldMappingTest, FlagsFromEveryKindOfColumn) {
    struct Case {
        const char* value;
        ColumnKind kind;
        int flag;
    };
    const Case cases[] = {
        {"1", ColumnKind::Flag, -1},       {"0", ColumnKind::Flag, 0},
        {"1", ColumnKind::Number, -1},     {"-1", ColumnKind::Number, -1},
        {"2.5", ColumnKind::Number, -1},   {"0", ColumnKind::Number, 0},
        {"0.0000", ColumnKind::Number, 0}, {"", ColumnKind::Number, 0},
        {"True", ColumnKind::Text, -1},    {" yes ", ColumnKind::Text, -1},
        {"ON", ColumnKind::Text, -1},      {"-1", ColumnKind::Text, -1},
        {"False", ColumnKind::Text, 0},    {"no", ColumnKind::Text, 0},
        {"بله", ColumnKind::Text, 0},      {"", ColumnKind::Text, 0},
        {"", ColumnKind::Binary, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(flagFrom(QString::fromUtf8(c.value), c.kind), c.flag)
            << '"' << c.value << "\" kind " << static_cast<int>(c.kind);
    }
}

TEST(FieldMappingTest, TextFromEveryKindOfColumn) {
    EXPECT_EQ(textFrom("1", ColumnKind::Flag), QStringLiteral("-1"));
    EXPECT_EQ(textFrom("0", ColumnKind::Flag), QStringLiteral("0"));
    // Numbers and dates as mdbtools prints them, text as it is.
    EXPECT_EQ(textFrom("444.555", ColumnKind::Number), QStringLiteral("444.555"));
    EXPECT_EQ(textFrom("09/21/74 00:00:00", ColumnKind::Date), QStringLiteral("09/21/74 00:00:00"));
    EXPECT_EQ(textFrom(QStringLiteral(" ۱۲۳ "), ColumnKind::Text), QStringLiteral(" ۱۲۳ "));
}

// Rows of all 102 columns, in another order than the table's and with names
// in capitals, as an agency's table may have them.
struct Generated {
    std::vector<MdbColumn> columns;
    std::vector<MdbRow> rows;
};

Generated generate(int rows) {
    Generated g;
    std::vector<int> order(tableSpec.fieldCount);
    for (std::size_t i = 0; i < order.size(); ++i) {
        order[i] = static_cast<int>(i);
    }
    std::reverse(order.begin(), order.end());
    for (int i : order) {
        g.columns.push_back(
            {QString::fromUtf8(tableSpec.fields[i].name).toUpper(),
             tableSpec.fields[i].kind == FieldKind::Flag ? ColumnKind::Flag : ColumnKind::Text});
    }
    QRandomGenerator random(7);
    const QString letters = QStringLiteral("ابپتثجچحخدذرزسشصضطظعغفقكگلمنويه ۰۱۲۳abc'\"");
    for (int r = 0; r < rows; ++r) {
        MdbRow row;
        for (const MdbColumn& column : g.columns) {
            if (column.kind == ColumnKind::Flag) {
                row.push_back(random.bounded(2) ? QStringLiteral("1") : QStringLiteral("0"));
            } else {
                QString text;
                for (int n = random.bounded(12); n > 0; --n) {
                    text += letters.at(random.bounded(letters.size()));
                }
                row.push_back(text);
            }
        }
        g.rows.push_back(row);
    }
    return g;
}

class ImportStoreTest : public DataFolderTest {};

TEST_F(ImportStoreTest, MappedRowsAreStoredInOrderInAFileTheProgramAccepts) {
    const Generated g = generate(4500); // more than two batches
    const FieldMapping mapping(tableSpec, g.columns);
    ASSERT_TRUE(mapping.missing().isEmpty());
    ASSERT_TRUE(mapping.extra().isEmpty());
    QString temporary;
    {
        StoreBuilder store(folder(), tableSpec);
        temporary = store.temporaryPath();
        EXPECT_FALSE(QFileInfo::exists(store.targetPath()));
        std::vector<FieldValue> values;
        for (const MdbRow& row : g.rows) {
            mapping.map(row, values);
            store.append(values);
        }
        EXPECT_FALSE(QFileInfo::exists(store.targetPath()));
        EXPECT_EQ(store.finish(false), QString());
    }
    EXPECT_EQ(filesIn(folder()), QStringList{"newil.db"});
    EXPECT_FALSE(QFileInfo::exists(temporary));
    const QString path = folder() + QStringLiteral("/newil.db");
    struct stat st {};
    ASSERT_EQ(::stat(path.toLocal8Bit().constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(prepareStoreFile(folder(), tableSpec), QString());

    sql::Database db(path, SQLITE_OPEN_READONLY);
    QStringList names;
    for (std::size_t i = 0; i < tableSpec.fieldCount; ++i) {
        names << sql::quoted(tableSpec.fields[i].name);
    }
    sql::Statement select = db.prepare(
        QStringLiteral("SELECT %1 FROM new ORDER BY rowid").arg(names.join(QLatin1Char(','))));
    std::size_t r = 0;
    while (select.step()) {
        ASSERT_LT(r, g.rows.size());
        for (std::size_t i = 0; i < tableSpec.fieldCount; ++i) {
            const int c =
                static_cast<int>(tableSpec.fieldCount - 1 - i); // the columns were reversed
            const int column = static_cast<int>(i);
            ASSERT_FALSE(select.isNull(column));
            if (tableSpec.fields[i].kind == FieldKind::Flag) {
                ASSERT_EQ(select.columnInt(column), g.rows[r][c] == QLatin1String("1") ? -1 : 0);
            } else {
                ASSERT_EQ(select.columnText(column), g.rows[r][c]) << "row " << r << " field " << i;
            }
        }
        ++r;
    }
    EXPECT_EQ(r, g.rows.size());
}

TEST_F(ImportStoreTest, AnUnfinishedStoreLeavesNothing) {
    QString temporary;
    {
        StoreBuilder store(folder(), tableSpec);
        temporary = store.temporaryPath();
        std::vector<FieldValue> values(tableSpec.fieldCount);
        values[0].text = QStringLiteral("x");
        store.append(values);
        EXPECT_TRUE(QFileInfo::exists(temporary));
    }
    EXPECT_FALSE(QFileInfo::exists(temporary));
    EXPECT_EQ(filesIn(folder()), QStringList());
}

} // namespace
