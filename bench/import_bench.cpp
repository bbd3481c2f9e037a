// The import of an agency's Access files: mapping generated rows onto the
// listing fields and storing them into a new newil.db (100 000 rows), and
// reading the public Access fixtures through libmdb.

#include "data/core/fields.h"
#include "import/fieldmapping.h"
#include "import/mdbreader.h"
#include "import/storebuilder.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <map>
#include <random>

using namespace velmoran;
using namespace velmoran::import;

namespace {

const TableSpec& tableSpec = listingsTable();

// Rows as an agency's table gives them: every field's column, owners'
// names, addresses and remarks of Persian words, prices of 6 to 10 digits,
// yes/no columns as libmdb prints them.
struct Generated {
    std::vector<MdbColumn> columns;
    std::vector<MdbRow> rows;
};

const Generated& generated(int count) {
    static std::map<int, Generated> cache;
    Generated& g = cache[count];
    if (!g.rows.empty()) {
        return g;
    }
    const QStringList words = {"علي",    "حسيني",   "خيابان", "وليعصر", "كوچه",  "پلاك",
                               "نورگير", "بازسازي", "شده",    "سند",    "تك",    "برگ",
                               "نزديك",  "مترو",    "سراميك", "پاركت",  "شمالي", "آسانسور"};
    std::mt19937 random(42);
    const auto below = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
    const auto phrase = [&](int count) {
        QStringList out;
        for (int i = 0; i < count; ++i) {
            out << words[below(words.size())];
        }
        return out.join(QLatin1Char(' '));
    };
    for (std::size_t i = 0; i < tableSpec.fieldCount; ++i) {
        g.columns.push_back(
            {QString::fromUtf8(tableSpec.fields[i].name),
             tableSpec.fields[i].kind == FieldKind::Flag ? ColumnKind::Flag : ColumnKind::Text});
    }
    g.rows.reserve(count);
    for (int r = 0; r < count; ++r) {
        MdbRow row;
        row.reserve(tableSpec.fieldCount);
        for (std::size_t i = 0; i < tableSpec.fieldCount; ++i) {
            const QString name = QString::fromUtf8(tableSpec.fields[i].name);
            if (tableSpec.fields[i].kind == FieldKind::Flag) {
                row.push_back(below(4) == 0 ? QStringLiteral("1") : QStringLiteral("0"));
            } else if (name == QLatin1String("malek") || name == QLatin1String("tanzimkonnandeh")) {
                row.push_back(phrase(2));
            } else if (name == QLatin1String("address")) {
                row.push_back(phrase(6));
            } else if (name == QLatin1String("details")) {
                row.push_back(phrase(12));
            } else if (name == QLatin1String("gheymatehkoole") ||
                       name.startsWith(QLatin1String("vahed"))) {
                row.push_back(QString::number(100000 + below(900000)) +
                              QString::number(below(10000)));
            } else if (below(3) == 0) {
                row.push_back(phrase(1));
            } else {
                row.push_back(QString());
            }
        }
        g.rows.push_back(std::move(row));
    }
    return g;
}

// Maps only: the rate of the mapping alone.
void ImportMap(benchmark::State& state) {
    const Generated& g = generated(static_cast<int>(state.range(0)));
    const FieldMapping mapping(tableSpec, g.columns);
    std::vector<FieldValue> values;
    for (auto _ : state) {
        for (const MdbRow& row : g.rows) {
            mapping.map(row, values);
            benchmark::DoNotOptimize(values.data());
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(g.rows.size()));
}

// Maps and stores every row into a new newil.db and puts it in place: what
// the import does after reading.
void ImportMapAndStore(benchmark::State& state) {
    const Generated& g = generated(static_cast<int>(state.range(0)));
    const FieldMapping mapping(tableSpec, g.columns);
    std::vector<FieldValue> values;
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir folder;
        state.ResumeTiming();
        StoreBuilder store(folder.path(), tableSpec);
        for (const MdbRow& row : g.rows) {
            mapping.map(row, values);
            store.append(values);
        }
        store.finish(false);
        state.PauseTiming();
        state.counters["file_MB"] = QFileInfo(store.targetPath()).size() / (1024.0 * 1024.0);
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(g.rows.size()));
}

// Reads every row of every table of a fixture.
void ImportReadFixture(benchmark::State& state, const char* name) {
    const QString path = QDir(QStringLiteral(VELMORAN_MDB_FIXTURES)).filePath(QLatin1String(name));
    int64_t rows = 0;
    int64_t values = 0;
    for (auto _ : state) {
        MdbDatabase database(path);
        for (const QString& table : database.tableNames()) {
            std::unique_ptr<MdbTable> reader = database.openTable(table);
            MdbRow row;
            while (reader->next(row)) {
                ++rows;
                values += static_cast<int64_t>(row.size());
            }
        }
    }
    state.SetItemsProcessed(rows);
    state.SetBytesProcessed(state.iterations() * QFileInfo(path).size());
    state.counters["values/s"] =
        benchmark::Counter(static_cast<double>(values), benchmark::Counter::kIsRate);
}

} // namespace

BENCHMARK(ImportMap)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(ImportMapAndStore)->Arg(10000)->Arg(100000)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ImportReadFixture, testV1997, "testV1997.mdb")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(ImportReadFixture, delTestV2000, "delTestV2000.mdb")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(ImportReadFixture, test2V2000, "test2V2000.mdb")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(ImportReadFixture, testUnicodeCompV2003, "testUnicodeCompV2003.mdb")
    ->Unit(benchmark::kMicrosecond);
