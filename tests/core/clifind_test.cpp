// velmoran-cli find on a table of tricky owners and prices, on the data
// folder's file and on a server desk: the listings it prints against the
// table itself, its CSV, its exit codes and its refusals; and an applicant
// typed in through the tool and matched against the same table.

#include "data/core/criterion.h"
#include "data/core/fields.h"
#include "data/core/numbers.h"
#include "tests/support/pgtestserver.h"
#include "tests/support/storefiles.h"
#include "tests/support/testenv.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

using namespace velmoran;
using namespace velmoran::test;

namespace {

struct FindRun {
    int exitCode = -1;
    QString out;
    QString err;
};

FindRun find(const QStringList& arguments) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(VELMORAN_CLI_TOOL),
                  QStringList{QStringLiteral("find")} + arguments);
    EXPECT_TRUE(process.waitForFinished(60000));
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

struct Listing {
    QString owner;
    QString price;
    bool rent;
    bool apartment;
};

class CliFindTest : public DataFolderTest {
protected:
    void SetUp() override {
        DataFolderTest::SetUp();
        const QStringList owners = {QStringLiteral("علي كريمي"), QStringLiteral("علی کریمی"),
                                    QStringLiteral("Smith, \"Jo\""), QStringLiteral("رضا")};
        const QStringList prices = {QStringLiteral("15"),  QStringLiteral("150"),
                                    QStringLiteral("۱۵"),  QStringLiteral("10"),
                                    QStringLiteral("20"),  QStringLiteral("abc"),
                                    QStringLiteral("199"), QStringLiteral("2")};
        std::vector<ListingValues> values;
        for (int i = 0; i < 48; ++i) {
            const Listing l{owners[i % owners.size()], prices[(i * 5) % prices.size()], i % 3 != 0,
                            i % 4 != 2};
            listings.push_back(l);
            ListingValues row(kListingFieldCount);
            for (std::size_t f = 0; f < kListingFieldCount; ++f) {
                row[f] =
                    kListingFields[f].kind == FieldKind::Flag ? QStringLiteral("0") : QString();
            }
            row[field("malek")] = l.owner;
            row[field("gheymatehkoole")] = l.price;
            row[field("ejareh")] = l.rent ? QStringLiteral("-1") : QStringLiteral("0");
            row[field("apartman")] = l.apartment ? QStringLiteral("-1") : QStringLiteral("0");
            values.push_back(row);
        }
        storeListings(folder(), values);
        preparePasswordStore(folder());
    }

    static std::size_t field(const char* name) {
        return static_cast<std::size_t>(listingsTable().indexOf(QString::fromLatin1(name)));
    }

    // The owners of the listings `passes` keeps, in stored order.
    template <class Passes> QStringList owners(Passes passes) const {
        QStringList all;
        for (const Listing& l : listings) {
            if (passes(l)) {
                all << l.owner;
            }
        }
        return all;
    }

    // The owners of find's lines (id TAB owner).
    static QStringList printedOwners(const QString& out) {
        QStringList all;
        for (const QString& line : out.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            all << line.section(QLatin1Char('\t'), 1);
        }
        return all;
    }

    void findsAsTheTableSays() {
        const FindRun rent =
            find({"--kind", "apartment", "--deal", "rent", "--from", "10", "--to", "20"});
        ASSERT_EQ(rent.exitCode, 0) << rent.err.toStdString();
        // Prices read as the finds read them: 15 and ۱۵ lie between 10 and 20.
        EXPECT_EQ(printedOwners(rent.out), owners([](const Listing& l) {
                      const std::optional<double> price = readNumber(l.price);
                      return l.rent && l.apartment && price && *price > 10 && *price < 20;
                  }));
        const FindRun persian =
            find({"--kind", "آپارتمان", "--deal", "اجاره", "--from", "۱۰", "--to", "٢٠"});
        EXPECT_EQ(persian.out, rent.out);
        // Bounds compare as the numbers typed, decimals and grouping commas
        // read: 150 lies between 149.5 and 150.5.
        const FindRun decimal = find({"--from", "149.5", "--to", "150.5"});
        ASSERT_EQ(decimal.exitCode, 0) << decimal.err.toStdString();
        EXPECT_EQ(printedOwners(decimal.out),
                  owners([](const Listing& l) { return l.price == QStringLiteral("150"); }));
        const FindRun grouped = find({"--from", "1", "--to", "1,000"});
        ASSERT_EQ(grouped.exitCode, 0) << grouped.err.toStdString();
        EXPECT_EQ(printedOwners(grouped.out), owners([](const Listing& l) {
                      const std::optional<double> price = readNumber(l.price);
                      return price && *price > 1 && *price < 1000;
                  }));

        const FindRun owner = find({"--owner", "علی کریمی"});
        ASSERT_EQ(owner.exitCode, 0);
        EXPECT_EQ(printedOwners(owner.out), owners([](const Listing& l) {
                      return l.owner.startsWith(QStringLiteral("عل"));
                  }));
        const FindRun csv = find({"--owner", "smith, \"JO\"", "--csv"});
        ASSERT_EQ(csv.exitCode, 0);
        const QStringList lines = csv.out.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        ASSERT_EQ(lines.size(), 1 + owners([](const Listing& l) {
                                        return l.owner.startsWith(QLatin1Char('S'));
                                    }).size());
        EXPECT_EQ(lines[0], QStringLiteral("id,malek"));
        EXPECT_TRUE(lines[1].endsWith(QStringLiteral(",\"Smith, \"\"Jo\"\"\"")))
            << lines[1].toStdString();

        const FindRun none = find({"--owner", "nobody"});
        EXPECT_EQ(none.exitCode, 1);
        EXPECT_TRUE(none.out.isEmpty());
        EXPECT_FALSE(none.err.isEmpty());
    }

    std::vector<Listing> listings;
};

TEST_F(CliFindTest, PrintsWhatTheTableHoldsOnTheFileAndOnAServerDesk) {
    findsAsTheTableSays();
    TestDatabase database;
    const QString config = qEnvironmentVariable("XDG_CONFIG_HOME") + "/velmoran";
    ASSERT_TRUE(QDir().mkpath(config));
    QFile conf(config + "/velmoran.conf");
    ASSERT_TRUE(conf.open(QIODevice::WriteOnly));
    conf.write(QStringLiteral("[store]\nserver=%1\n").arg(database.conninfo()).toUtf8());
    conf.close();
    QProcess copy;
    copy.start(QStringLiteral(VELMORAN_CLI_TOOL),
               {QStringLiteral("copy"), QStringLiteral("--to-server")});
    ASSERT_TRUE(copy.waitForFinished(60000));
    ASSERT_EQ(copy.exitCode(), 0) << copy.readAllStandardError().toStdString();
    // The folder's file is set aside: what is printed comes from the server.
    ASSERT_TRUE(QFile::rename(QDir(folder()).filePath(QString::fromUtf8(listingsTable().fileName)),
                              QDir(folder()).filePath(QStringLiteral("aside.db"))));
    findsAsTheTableSays();
}

TEST_F(CliFindTest, BadOptionsAreRefusedWithTheUsageAndTheKindsAndDeals) {
    for (const QStringList& bad :
         {QStringList{"--kind", "castle"}, QStringList{"--deal", "swap"},
          QStringList{"--from", "abc", "--to", "5"}, QStringList{"--from", "5"},
          QStringList{"--from", "1", "--to", "5", "--rent-from", "1"}, QStringList{"extra"}}) {
        const FindRun run = find(bad);
        EXPECT_EQ(run.exitCode, 2) << bad.join(' ').toStdString();
        EXPECT_TRUE(run.out.isEmpty());
    }
    EXPECT_TRUE(find({"--kind", "castle"}).err.contains(QStringLiteral("آپارتمان")));
    // A bound that is no number is named with its option.
    const FindRun badBound = find({"--from", "5", "--to", "12x"});
    EXPECT_EQ(badBound.exitCode, 2);
    EXPECT_TRUE(badBound.err.contains(QStringLiteral("--to"))) << badBound.err.toStdString();
    EXPECT_TRUE(badBound.err.contains(QStringLiteral("12x")));
    const FindRun help = find({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    for (const char* name : {"apartment", "آپارتمان", "shop", "مغازه", "rent", "اجاره"}) {
        EXPECT_TRUE(help.out.contains(QString::fromUtf8(name))) << name;
    }
}

// An applicant typed in through the tool and matched both ways, its range's
// ends included; each bad input refused with its option named, nothing
// stored.
TEST_F(CliFindTest, ApplicantsAreAddedMatchedBothWaysAndBadInputIsRefusedByOption) {
    const auto run = [](const QStringList& arguments) {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(VELMORAN_CLI_TOOL), arguments);
        EXPECT_TRUE(process.waitForFinished(60000));
        return FindRun{process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                       QString::fromUtf8(process.readAllStandardOutput()),
                       QString::fromUtf8(process.readAllStandardError())};
    };
    EXPECT_EQ(run({"applicants"}).exitCode, 1); // none yet
    const QStringList add = {"applicants", "add", "--name", "علي",
                             "--phone",    "1",   "--deal", "rent"};
    const std::pair<QStringList, const char*> refused[] = {
        {{"--from", "20", "--to", "15"}, "--from"},
        {{"--rent-to", "1x"}, "--rent-to"},
        {{"--area-from", ""}, "--area-from"},
        {{"--district", "5", "--district", "   "}, "--district"},
    };
    for (const auto& [bad, option] : refused) {
        const FindRun refusal = run(add + bad);
        EXPECT_EQ(refusal.exitCode, 2) << bad.join(' ').toStdString();
        EXPECT_TRUE(refusal.err.contains(QLatin1String(option))) << refusal.err.toStdString();
    }
    EXPECT_EQ(run({"applicants"}).exitCode, 1); // nothing stored

    const FindRun added =
        run(add + QStringList{"--kind", "apartment", "--from", "15", "--to", "۲۰"});
    ASSERT_EQ(added.exitCode, 0) << added.err.toStdString();
    EXPECT_EQ(added.out, QStringLiteral("1\n"));
    EXPECT_EQ(run({"applicants"}).out, QStringLiteral("1\tعلي\n"));
    // Both ends taken: 15, ۱۵ and 20.
    const FindRun fitting = run({"match", "--applicant", "1"});
    ASSERT_EQ(fitting.exitCode, 0) << fitting.err.toStdString();
    EXPECT_EQ(printedOwners(fitting.out), owners([](const Listing& l) {
                  const std::optional<double> price = readNumber(l.price);
                  return l.rent && l.apartment && price && *price >= 15 && *price <= 20;
              }));
    const QString first = fitting.out.section(QLatin1Char('\t'), 0, 0);
    EXPECT_EQ(run({"match", "--listing", first}).out, QStringLiteral("1\tعلي\n"));
    // A listing priced 150 fits nobody.
    long long id = 0;
    for (std::size_t i = 0; i < listings.size(); ++i) {
        if (listings[i].price == QStringLiteral("150")) {
            id = static_cast<long long>(i) + 1;
        }
    }
    ASSERT_GT(id, 0);
    const FindRun nobody = run({"match", "--listing", QString::number(id)});
    EXPECT_EQ(nobody.exitCode, 1);
    EXPECT_TRUE(nobody.out.isEmpty());
}

} // namespace
