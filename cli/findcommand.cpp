// The find subcommand: the ids and owners of the listings a criterion
// matches, the criterion built as the search panels build theirs.

#include "cli/commands.h"
#include "cli/common.h"
#include "data/core/criterion.h"
#include "data/core/findcriterion.h"
#include "data/core/storemessages.h"
#include "data/store/storelocation.h"

#include <optional>

namespace velmoran::cli {

namespace {

// A kind or a deal as the options name it, in English or in Persian, and
// the flag it tests.
struct FlagName {
    const char* english;
    const char* persian;
    const char* field;
};

const FlagName kKinds[] = {
    {"apartment", "آپارتمان", "apartman"}, {"villa", "ويلا", "vila"},
    {"income", "مستغلات", "mostaghelat"},  {"old", "كلنگي", "kolanghi"},
    {"office", "دفتر كار", "daftarehkar"}, {"shop", "مغازه", "maghazeh"},
};
const FlagName kDeals[] = {
    {"sale", "فروش", "fooroosh"},
    {"mortgage", "رهن", "rahn"},
    {"rent", "اجاره", "ejareh"},
};

template <std::size_t N>
const FlagName* flagNamed(const FlagName (&names)[N], const QString& name) {
    const QString wanted = name.trimmed();
    for (const FlagName& flag : names) {
        if (wanted.compare(QLatin1String(flag.english), Qt::CaseInsensitive) == 0 ||
            wanted == QString::fromUtf8(flag.persian)) {
            return &flag;
        }
    }
    return nullptr;
}

// The tests of the flags after the price bounds' closing quote, as the
// panels' closing pieces write them: "' and  fooroosh = -1 and apartman = -1 ".
QString flagTests(const FlagName* deal, const FlagName* kind) {
    QStringList tests;
    for (const FlagName* flag : {deal, kind}) {
        if (flag) {
            tests << QStringLiteral("%1 = -1").arg(QLatin1String(flag->field));
        }
    }
    return tests.join(QStringLiteral(" and "));
}

// A CSV field (RFC 4180): quoted where it holds a comma, a quote or a line
// break.
QString csvField(const QString& text) {
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r'))) {
        return text;
    }
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

} // namespace

const char* kindFlag(const QString& name) {
    const FlagName* flag = flagNamed(kKinds, name);
    return flag ? flag->field : nullptr;
}

const char* dealFlag(const QString& name) {
    const FlagName* flag = flagNamed(kDeals, name);
    return flag ? flag->field : nullptr;
}

void printListed(Io& io, long long id, const QString& name, bool asCsv) {
    // The name as stored, its control characters shown as escapes.
    if (asCsv) {
        io.out << id << ',' << csvField(visibleText(name, true)) << "\r\n";
    } else {
        io.out << id << '\t' << visibleText(name) << '\n';
    }
}

int printListings(Io& io, int name, bool asCsv, const ListingPage& page) {
    if (asCsv) {
        io.out << QStringLiteral("id,malek\r\n");
    }
    long long found = 0;
    std::optional<long long> after;
    constexpr int kPage = 500;
    for (;;) {
        const std::vector<ListedRow> rows = page(after, kPage);
        for (const ListedRow& row : rows) {
            printListed(io, row.id, row.values.texts[static_cast<std::size_t>(name)], asCsv);
        }
        found += static_cast<long long>(rows.size());
        if (rows.size() < static_cast<std::size_t>(kPage)) {
            break;
        }
        after = rows.back().id;
    }
    if (found == 0) {
        io.err << QStringLiteral("هيچ فايلي با اين مشخصات در بانك اطلاعاتي وجود ندارد.") << '\n';
        return kFailed;
    }
    return kOk;
}

QString findKindsAndDeals() {
    QStringList lines;
    lines << QStringLiteral("kinds / انواع ملك:");
    for (const FlagName& kind : kKinds) {
        lines << QStringLiteral("  %1 (%2)")
                     .arg(QLatin1String(kind.english), QString::fromUtf8(kind.persian));
    }
    lines << QStringLiteral("deals / انواع معامله:");
    for (const FlagName& deal : kDeals) {
        lines << QStringLiteral("  %1 (%2)")
                     .arg(QLatin1String(deal.english), QString::fromUtf8(deal.persian));
    }
    return lines.join(QLatin1Char('\n'));
}

int findCommand(const QStringList& arguments, Io& io) {
    const QCommandLineOption kind(QStringLiteral("kind"), QStringLiteral("the kind of property"),
                                  QStringLiteral("KIND"));
    const QCommandLineOption deal(QStringLiteral("deal"), QStringLiteral("the deal"),
                                  QStringLiteral("DEAL"));
    const QCommandLineOption from(QStringLiteral("from"), QStringLiteral("total price above"),
                                  QStringLiteral("N"));
    const QCommandLineOption to(QStringLiteral("to"), QStringLiteral("total price below"),
                                QStringLiteral("N"));
    const QCommandLineOption rentFrom(QStringLiteral("rent-from"), QStringLiteral("rent above"),
                                      QStringLiteral("N"));
    const QCommandLineOption rentTo(QStringLiteral("rent-to"), QStringLiteral("rent below"),
                                    QStringLiteral("N"));
    const QCommandLineOption owner(QStringLiteral("owner"), QStringLiteral("the owner's name"),
                                   QStringLiteral("NAME"));
    const QCommandLineOption csv(QStringLiteral("csv"), QStringLiteral("id,owner lines"));
    Arguments parsed;
    if (!parseArguments("find", arguments, {kind, deal, from, to, rentFrom, rentTo, owner, csv}, 0,
                        0, parsed, io)) {
        return kUsage;
    }
    const QCommandLineParser& p = parsed.parser;
    const auto usage = [&io](const QString& error) {
        io.err << error << '\n'
               << QStringLiteral("usage: velmoran-cli ")
               << QString::fromUtf8(subcommands().find(QStringLiteral("find"))->usage) << '\n'
               << findKindsAndDeals() << '\n';
        return kUsage;
    };
    const FlagName* kindFlag = nullptr;
    const FlagName* dealFlag = nullptr;
    if (p.isSet(kind) && !(kindFlag = flagNamed(kKinds, p.value(kind)))) {
        return usage(QStringLiteral("unknown kind: %1").arg(p.value(kind)));
    }
    if (p.isSet(deal) && !(dealFlag = flagNamed(kDeals, p.value(deal)))) {
        return usage(QStringLiteral("unknown deal: %1").arg(p.value(deal)));
    }
    if (p.isSet(from) != p.isSet(to) || p.isSet(rentFrom) != p.isSet(rentTo)) {
        return usage(QStringLiteral("--from and --to (--rent-from and --rent-to) go together"));
    }
    if (p.isSet(rentFrom) && !p.isSet(from)) {
        return usage(QStringLiteral("a rent range needs the price range (--from, --to)"));
    }
    for (const QCommandLineOption* bound : {&from, &to, &rentFrom, &rentTo}) {
        const QString typed = p.value(*bound);
        if (p.isSet(*bound) && !exactBoundText(typed)) {
            return usage(
                QStringLiteral("مقدار %1 عدد نيست:\n%2\n(رقمهاي فارسي، عربي يا لاتين، يك علامت، "
                               "يك مميز و ويرگول ميان هر سه رقم پذيرفته مي شود)")
                    .arg(isolated(QStringLiteral("--") + bound->names().front()), isolated(typed)));
        }
    }

    // The pieces of the panels' shapes: the price range, the rent range,
    // then the flags; the owner as the edit panel's owner row writes it.
    QStringList parts;
    const QString tests = flagTests(dealFlag, kindFlag);
    if (p.isSet(from)) {
        const bool rent = p.isSet(rentFrom);
        QStringList typed{p.value(from), p.value(to)};
        if (rent) {
            typed << p.value(rentFrom) << p.value(rentTo);
        }
        const QString closing =
            tests.isEmpty() ? QStringLiteral("' ") : QStringLiteral("' and  %1 ").arg(tests);
        // Bounds compared as the numbers typed, decimals and all.
        const std::optional<QString> built =
            buildCriterion(rent ? CriterionShape::PriceRentKind : CriterionShape::PriceDealKind,
                           typed, closing, BoundRule::Exact);
        if (!built) {
            return usage(inputErrorText());
        }
        parts << *built;
    } else if (!tests.isEmpty()) {
        parts << tests;
    }
    if (p.isSet(owner)) {
        parts << *buildCriterion(CriterionShape::Owner, {p.value(owner)}, QString());
    }

    // Read (or added to) as of one moment, beside the program and the other
    // desks; a restore waits meanwhile.
    StoreLocation store;
    FolderLock lock;
    if (const int status = sharedDeskStore(parsed, store, lock, io)) {
        return status;
    }
    try {
        const std::unique_ptr<TableStore> table =
            openTableStore(store, listingsTable(), StoreAccess::ReadOnly);
        std::optional<Criterion> criterion;
        if (!parts.isEmpty()) {
            criterion.emplace(parts.join(QStringLiteral(" and ")), listingsTable());
        }
        const int malek = listingsTable().indexOf(QStringLiteral("malek"));
        return printListings(io, malek, p.isSet(csv),
                             [&](std::optional<long long> after, int count) {
                                 return table->listPage(criterion ? &*criterion : nullptr, {malek},
                                                        after, count, false);
                             });
    } catch (const StoreError& error) {
        return fail(io, error.message(), storeFailure(error));
    }
}

} // namespace velmoran::cli
