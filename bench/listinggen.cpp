#include "bench/listinggen.h"

#include "data/core/fields.h"
#include "data/core/priceindex.h"
#include "data/sqlite/sqlite.h"
#include "data/sqlite/sqlitefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <cstdio>
#include <random>
#include <stdexcept>

namespace velmoran::bench {

namespace {

// Bump when the generated rows change, so old caches are not reused.
constexpr int kGeneratorVersion = 3;

const QStringList kFirstNames = {"علي",   "حسين", "محمد", "رضا",  "مريم", "زهرا",
                                 "فاطمه", "مهدي", "سعيد", "نرگس", "كاظم", "اكبر"};
const QStringList kLastNames = {"كريمي", "حسيني", "محمدي", "رضايي",   "احمدي",
                                "موسوي", "جعفري", "كاظمي", "نيكخواه", "تهراني"};
const QStringList kStreets = {"خيابان وليعصر",   "خيابان شريعتي",  "بلوار كشاورز",
                              "خيابان انقلاب",   "خيابان آزادي",   "بزرگراه مدرس",
                              "خيابان پاسداران", "خيابان ستارخان", "خيابان نياوران"};
const QStringList kRemarks = {"نورگير عالي",        "بازسازي شده",      "سند تك برگ", "آماده تحويل",
                              "نزديك مترو",         "كابينت هايگلاس",   "ديد ابدي",   "قابل معاوضه",
                              "مناسب سرمايه گذاري", "كف سراميك",        "دو نبش",     "مشاعات تميز",
                              "همسايه هاي آرام",    "دسترسي به بزرگراه"};
const QStringList kFloors = {"همكف", "اول", "دوم", "سوم", "چهارم", "پنجم"};
const QStringList kFlooring = {"سراميك", "پاركت", "موزاييك", "سنگ", "لمينت"};
const QStringList kService = {"ايراني", "فرنگي", "ايراني و فرنگي"};
const QStringList kDeed = {"تك برگ", "منگوله دار", "قولنامه اي", "در دست اقدام"};
const QStringList kFacade = {"سنگ", "آجر سه سانتي", "كامپوزيت", "رومي"};
const QStringList kAgents = {"آقاي صالحي", "خانم نادري", "آقاي فرهادي"};

class Generator {
public:
    explicit Generator(unsigned seed) : random_(seed) {}

    int below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }
    bool chance(double p) { return std::bernoulli_distribution(p)(random_); }
    const QString& pick(const QStringList& list) { return list[below(list.size())]; }

    QString digits(int count) {
        QString s = QString::number(1 + below(9));
        while (s.size() < count) {
            s += QChar('0' + below(10));
        }
        return s;
    }

    static QString persian(QString s) {
        for (QChar& c : s) {
            if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
                c = QChar(0x06F0 + (c.unicode() - '0'));
            }
        }
        return s;
    }

    static QString grouped(const QString& s) {
        QString out;
        for (int i = 0; i < s.size(); ++i) {
            if (i > 0 && (s.size() - i) % 3 == 0) {
                out += QLatin1Char(',');
            }
            out += s[i];
        }
        return out;
    }

    // A price as typed: mostly plain digits, some Persian, some grouped, a
    // few words.
    QString price(int minDigits, int maxDigits) {
        if (chance(0.02)) {
            return QStringLiteral("توافقي");
        }
        const QString s = digits(minDigits + below(maxDigits - minDigits + 1));
        if (chance(0.10)) {
            return persian(s);
        }
        return chance(0.03) ? grouped(s) : s;
    }

    QString remarks() {
        QStringList parts;
        const int n = 2 + below(6);
        for (int i = 0; i < n; ++i) {
            parts << pick(kRemarks);
        }
        return parts.join(QStringLiteral("، "));
    }

    // Values of one listing by field name.
    void fill(const TableSpec& tableSpec, std::vector<QString>& texts, std::vector<int>& flags) {
        for (std::size_t i = 0; i < tableSpec.fieldCount; ++i) {
            texts[i].clear();
            flags[i] = 0;
        }
        auto set = [&](const char* name, const QString& v) { texts[tableSpec.indexOf(name)] = v; };
        auto flag = [&](const char* name) { flags[tableSpec.indexOf(name)] = -1; };

        const int deal = below(4);
        flag(deal < 2 ? "fooroosh" : deal == 2 ? "rahn" : "ejareh");
        if (deal >= 2 && chance(0.3)) {
            flag(deal == 2 ? "ejareh" : "rahn");
        }
        const int kind = below(100);
        flag(kind < 50   ? "apartman"
             : kind < 60 ? "vila"
             : kind < 68 ? "mostaghelat"
             : kind < 78 ? "kolanghi"
             : kind < 90 ? "maghazeh"
                         : "daftarehkar");
        for (const char* f : {"shoomali", "joonoobi", "sharghi", "gharbi", "shoofaj", "cooler",
                              "gas", "fancoel", "chiler", "pakage", "asensor", "soona", "jakozi",
                              "pasio", "maskooni", "takhlieh", "ejarehdoen", "soeit"}) {
            if (chance(0.3)) {
                flag(f);
            }
        }
        set("malek", pick(kFirstNames) + QLatin1Char(' ') + pick(kLastNames));
        set("mantagheh", QString::number(1 + below(22)));
        set("tel03", QStringLiteral("09") + digits(9));
        set("date", QStringLiteral("14%1/%2/%3")
                        .arg(below(3), 2, 10, QLatin1Char('0'))
                        .arg(1 + below(12), 2, 10, QLatin1Char('0'))
                        .arg(1 + below(30), 2, 10, QLatin1Char('0')));
        set("address", pick(kStreets) + QStringLiteral("، ") + pick(kStreets) +
                           QStringLiteral("، كوچه ") + QString::number(1 + below(40)));
        set("number", QString::number(1 + below(300)));
        set("tedadehtabaghat", QString::number(1 + below(8)));
        set("tedadehvahed01", QString::number(1 + below(16)));
        set("gheymatehkoole", price(6, 10));
        set("vahed01", digits(2 + below(3)));
        if (deal == 3) {
            set("vahed02", price(5, 8));
        }
        set("tarakoom", QString::number(60 + below(120)) + QLatin1Char('%'));
        set("tolebar", QString::number(8 + below(20)));
        set("senebana", QString::number(below(30)));
        set("nama", pick(kFacade));
        set("manbaeetelaati", chance(0.5) ? QStringLiteral("مالك") : QStringLiteral("روزنامه"));
        set("tanzimkonnandeh", pick(kAgents));
        set("vaziatehsanad", pick(kDeed));
        set("details", remarks());
        const int floors = 1 + below(4);
        static const char* const cols[4][6] = {
            {"taba01", "zirbana01", "khab0", "serviceashpaz01", "servicebehdasht01", "kafpoosh01"},
            {"taba02", "zirbana02", "khab02", "serviceashpaz02", "servicebehdasht02", "kafpoosh02"},
            {"taba03", "zirbana03", "khab03", "serviceashpaz03", "servicebehdasht03", "kafpoosh03"},
            {"taba04", "zirbana04", "khab04", "serviceashpaz04", "servicebehdasht04",
             "kafpoosh04"}};
        for (int f = 0; f < floors; ++f) {
            set(cols[f][0], pick(kFloors));
            set(cols[f][1], QString::number(50 + below(250)));
            set(cols[f][2], QString::number(1 + below(4)));
            set(cols[f][3], QStringLiteral("ام دي اف"));
            set(cols[f][4], pick(kService));
            set(cols[f][5], pick(kFlooring));
            if (chance(0.6)) {
                flags[tableSpec.indexOf(QStringLiteral("p0%1").arg(f + 1))] = -1;
            }
        }
    }

private:
    std::mt19937 random_;
};

void generate(const QString& folder, int rows) {
    const TableSpec& tableSpec = listingsTable();
    const QString problem = prepareStoreFile(folder, tableSpec);
    if (!problem.isEmpty()) {
        throw std::runtime_error(problem.toStdString());
    }
    sql::Database db(QDir(folder).filePath(tableSpec.fileName), SQLITE_OPEN_READWRITE);
    db.exec("PRAGMA synchronous = OFF");
    QStringList names, params;
    for (std::size_t i = 0; i < tableSpec.fieldCount; ++i) {
        names << sql::quoted(tableSpec.fields[i].name);
        params << QStringLiteral("?");
    }
    sql::Statement insert = db.prepare(
        QStringLiteral("INSERT INTO new (%1) VALUES (%2)").arg(names.join(','), params.join(',')));
    Generator gen(12345u + static_cast<unsigned>(rows));
    std::vector<QString> texts(tableSpec.fieldCount);
    std::vector<int> flags(tableSpec.fieldCount);
    for (int done = 0; done < rows;) {
        db.exec("BEGIN");
        for (int n = 0; n < 20000 && done < rows; ++n, ++done) {
            gen.fill(tableSpec, texts, flags);
            for (std::size_t i = 0; i < tableSpec.fieldCount; ++i) {
                if (tableSpec.fields[i].kind == FieldKind::Flag) {
                    insert.bindInt(static_cast<int>(i) + 1, flags[i]);
                } else {
                    insert.bindText(static_cast<int>(i) + 1, texts[i]);
                }
            }
            insert.run();
        }
        db.exec("COMMIT");
    }
    db.exec("PRAGMA wal_checkpoint(TRUNCATE)");
}

// A copy of the generated file without its price indexes.
QString withoutPriceIndexes(const QString& indexed) {
    const QString folder = indexed + QStringLiteral("-plain");
    if (QFile::exists(folder + QStringLiteral("/newil.db"))) {
        return folder;
    }
    const QString building = folder + QStringLiteral(".building");
    QDir(building).removeRecursively();
    QDir().mkpath(building);
    const QString file = building + QStringLiteral("/newil.db");
    if (!QFile::copy(indexed + QStringLiteral("/newil.db"), file)) {
        throw std::runtime_error("cannot copy the generated listings");
    }
    {
        sql::Database db(file, SQLITE_OPEN_READWRITE);
        for (const PriceIndex& index : priceIndexes(listingsTable())) {
            db.exec(QStringLiteral("DROP INDEX %1").arg(sql::quoted(index.name)));
        }
        db.exec("VACUUM");
    }
    if (!QDir().rename(building, folder)) {
        throw std::runtime_error("cannot move the generated listings in place");
    }
    return folder;
}

} // namespace

double storeMegabytes(const QString& folder) {
    return QFileInfo(QDir(folder).filePath(QStringLiteral("newil.db"))).size() / (1024.0 * 1024.0);
}

QString cachedListings(int rows, bool withPriceIndexes) {
    QString root = qEnvironmentVariable("VELMORAN_BENCH_CACHE");
    if (root.isEmpty()) {
        root = QStringLiteral("/tmp/velmoran-bench");
    }
    const QString folder =
        QStringLiteral("%1/listings-v%2-%3").arg(root).arg(kGeneratorVersion).arg(rows);
    if (QFile::exists(folder + QStringLiteral("/newil.db"))) {
        return withPriceIndexes ? folder : withoutPriceIndexes(folder);
    }
    std::fprintf(stderr, "generating %d listings into %s ...\n", rows, qPrintable(folder));
    const QString building = folder + QStringLiteral(".building");
    QDir(building).removeRecursively();
    QDir().mkpath(building);
    generate(building, rows);
    if (!QDir().rename(building, folder)) {
        throw std::runtime_error("cannot move the generated listings in place");
    }
    return withPriceIndexes ? folder : withoutPriceIndexes(folder);
}

double residentMegabytes() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return 0;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:")) {
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
        }
    }
    return 0;
}

} // namespace velmoran::bench
