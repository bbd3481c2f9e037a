// The applicants and match subcommands: applicants typed in and listed, and
// the matching of applicants and listings both ways (data/core/applicants.h).

#include "cli/commands.h"
#include "cli/common.h"
#include "data/core/applicants.h"
#include "data/core/solardate.h"
#include "data/core/storemessages.h"
#include "data/store/storelocation.h"
#include "data/store/writegate.h"

#include <memory>

namespace velmoran::cli {

namespace {

// The options of applicants add that give an applicant field's text, one
// row each; `range` for a range end (no empty text).
struct TextOption {
    const char* option;
    const char* valueName;
    const char* field;
    bool range;
};

const TextOption kTextOptions[] = {
    {"name", "N", applicant::kName, false}, {"phone", "P", applicant::kPhone, false},
    {"note", "T", applicant::kNote, false}, {"from", "N", "gheymataz", true},
    {"to", "N", "gheymatta", true},         {"rent-from", "N", "ejarehaz", true},
    {"rent-to", "N", "ejarehta", true},     {"area-from", "N", "zirbanaaz", true},
    {"area-to", "N", "zirbanata", true},    {"rooms-from", "N", "khabaz", true},
    {"rooms-to", "N", "khabta", true},
};

int fieldOf(const char* name) {
    return applicantsTable().indexOf(QLatin1String(name));
}

// The option that gives applicant field `field`, as the messages name it.
QString optionOf(int field) {
    for (const TextOption& option : kTextOptions) {
        if (fieldOf(option.field) == field) {
            return QStringLiteral("--") + QLatin1String(option.option);
        }
    }
    if (field == fieldOf(applicant::kDistricts)) {
        return QStringLiteral("--district");
    }
    return QStringLiteral("--deal");
}

int usage(Io& io, const char* name, const QString& error) {
    io.err << error << '\n'
           << QStringLiteral("usage: velmoran-cli ")
           << QString::fromUtf8(subcommands().find(QLatin1String(name))->usage) << '\n';
    return kUsage;
}

bool applicantsPresent(const StoreLocation& store) {
    return storeHasTable(store, applicantsTable());
}

int addApplicant(const QCommandLineParser& p, const QList<QCommandLineOption>& texts,
                 const QCommandLineOption& deal, const QCommandLineOption& kind,
                 const QCommandLineOption& district, const Arguments& parsed, Io& io) {
    const TableSpec& table = applicantsTable();
    RowValues row{std::vector<QString>(table.fieldCount),
                  std::vector<bool>(table.fieldCount, false)};
    for (int i = 0; i < texts.size(); ++i) {
        const TextOption& option = kTextOptions[i];
        if (!p.isSet(texts[i])) {
            continue;
        }
        const QString value = p.value(texts[i]);
        if (option.range && value.trimmed().isEmpty()) {
            return usage(io, "applicants",
                         QStringLiteral("مقدار %1 خالي است.")
                             .arg(isolated(QStringLiteral("--") + QLatin1String(option.option))));
        }
        row.texts[static_cast<std::size_t>(fieldOf(option.field))] = value;
    }
    for (const QString& name : p.values(deal)) {
        const char* flag = dealFlag(name);
        if (!flag) {
            return usage(io, "applicants", QStringLiteral("unknown deal: %1").arg(name));
        }
        row.flags[static_cast<std::size_t>(fieldOf(flag))] = true;
    }
    for (const QString& name : p.values(kind)) {
        const char* flag = kindFlag(name);
        if (!flag) {
            return usage(io, "applicants", QStringLiteral("unknown kind: %1").arg(name));
        }
        row.flags[static_cast<std::size_t>(fieldOf(flag))] = true;
    }
    const QStringList districts = p.values(district);
    for (const QString& d : districts) {
        if (d.contains(QLatin1Char('\n'))) {
            return usage(io, "applicants",
                         QStringLiteral("مقدار %1 بيش از يك سطر است.")
                             .arg(isolated(QStringLiteral("--district"))));
        }
    }
    row.texts[static_cast<std::size_t>(fieldOf(applicant::kDistricts))] =
        districts.join(QLatin1Char('\n'));
    if (districts.size() == 1 && districts.front().isEmpty()) {
        // One empty --district: a district of nothing, refused below.
        row.texts[static_cast<std::size_t>(fieldOf(applicant::kDistricts))] = QStringLiteral(" ");
    }
    if (const std::optional<ApplicantProblem> problem = applicantProblem(row)) {
        return usage(
            io, "applicants",
            QStringLiteral("%1: %2").arg(isolated(optionOf(problem->field)), problem->why));
    }
    const QString today = solarToday();
    row.texts[static_cast<std::size_t>(fieldOf(applicant::kRegistered))] = today;
    row.texts[static_cast<std::size_t>(fieldOf(applicant::kContacted))] = today;

    StoreLocation store;
    FolderLock lock;
    if (const int status = sharedDeskStore(parsed, store, lock, io)) {
        return status;
    }
    try {
        // A damaged file is refused before anything touches it.
        passWriteGate(store, table);
        const QString problem = prepareStore(store, table);
        if (!problem.isEmpty()) {
            return fail(io, problem);
        }
        const std::unique_ptr<TableStore> applicants = openTableStore(store, table);
        io.out << applicants->insert(row) << '\n';
        return kOk;
    } catch (const StoreError& error) {
        return fail(io, QStringLiteral("متقاضي ثبت نشد: %1").arg(error.message()),
                    storeFailure(error));
    }
}

// Prints the applicants (all, or those of `ids`) id TAB name; kOk, or kFailed
// with `none` said when there are none.
int listApplicants(const StoreLocation& store, const std::vector<long long>* ids, bool asCsv,
                   const QString& none, Io& io) {
    const int name = fieldOf(applicant::kName);
    long long listed = 0;
    if (asCsv) {
        io.out << QStringLiteral("id,name\r\n");
    }
    if (applicantsPresent(store)) {
        const std::unique_ptr<TableStore> applicants =
            openTableStore(store, applicantsTable(), StoreAccess::ReadOnly);
        std::vector<ListedRow> rows;
        if (ids) {
            rows = applicants->listRows(*ids, {name});
        } else {
            std::optional<long long> after;
            for (;;) {
                const std::vector<ListedRow> page =
                    applicants->listPage(nullptr, {name}, after, 500, false);
                rows.insert(rows.end(), page.begin(), page.end());
                if (page.size() < 500) {
                    break;
                }
                after = page.back().id;
            }
        }
        for (const ListedRow& row : rows) {
            printListed(io, row.id, row.values.texts[static_cast<std::size_t>(name)], asCsv);
            ++listed;
        }
    }
    if (listed == 0) {
        io.err << none << '\n';
        return kFailed;
    }
    return kOk;
}

} // namespace

int applicantsCommand(const QStringList& arguments, Io& io) {
    QList<QCommandLineOption> texts;
    for (const TextOption& option : kTextOptions) {
        texts << QCommandLineOption(QLatin1String(option.option), QLatin1String(option.field),
                                    QLatin1String(option.valueName));
    }
    const QCommandLineOption deal(QStringLiteral("deal"), QStringLiteral("the deal"),
                                  QStringLiteral("D"));
    const QCommandLineOption kind(QStringLiteral("kind"), QStringLiteral("a kind"),
                                  QStringLiteral("K"));
    const QCommandLineOption district(QStringLiteral("district"), QStringLiteral("a district"),
                                      QStringLiteral("T"));
    const QCommandLineOption csv(QStringLiteral("csv"), QStringLiteral("id,name lines"));
    Arguments parsed;
    if (!parseArguments("applicants", arguments, texts + QList{deal, kind, district, csv}, 0, 1,
                        parsed, io)) {
        return kUsage;
    }
    const QCommandLineParser& p = parsed.parser;
    bool anyAddOption = p.isSet(deal) || p.isSet(kind) || p.isSet(district);
    for (const QCommandLineOption& option : texts) {
        anyAddOption = anyAddOption || p.isSet(option);
    }
    if (parsed.positional.isEmpty()) {
        if (anyAddOption) {
            return usage(io, "applicants", QStringLiteral("these options go with add"));
        }
        StoreLocation store;
        FolderLock lock;
        if (const int status = sharedDeskStore(parsed, store, lock, io)) {
            return status;
        }
        try {
            return listApplicants(store, nullptr, p.isSet(csv),
                                  QStringLiteral("هيچ متقاضي در بانك اطلاعاتي ثبت نشده است."), io);
        } catch (const StoreError& error) {
            return fail(io, error.message(), storeFailure(error));
        }
    }
    if (parsed.positional.front() != QLatin1String("add")) {
        return usage(io, "applicants",
                     QStringLiteral("unknown argument: %1").arg(parsed.positional.front()));
    }
    if (p.isSet(csv)) {
        return usage(io, "applicants", QStringLiteral("--csv goes with the list, not with add"));
    }
    if (!p.isSet(texts[0]) || !p.isSet(texts[1]) || !p.isSet(deal)) {
        return usage(io, "applicants", QStringLiteral("add needs --name, --phone and --deal"));
    }
    return addApplicant(p, texts, deal, kind, district, parsed, io);
}

int matchCommand(const QStringList& arguments, Io& io) {
    const QCommandLineOption applicantId(
        QStringLiteral("applicant"), QStringLiteral("the applicant's id"), QStringLiteral("ID"));
    const QCommandLineOption listingId(QStringLiteral("listing"),
                                       QStringLiteral("the listing's id"), QStringLiteral("ID"));
    const QCommandLineOption csv(QStringLiteral("csv"), QStringLiteral("id,name lines"));
    Arguments parsed;
    if (!parseArguments("match", arguments, {applicantId, listingId, csv}, 0, 0, parsed, io)) {
        return kUsage;
    }
    const QCommandLineParser& p = parsed.parser;
    if (p.isSet(applicantId) == p.isSet(listingId)) {
        return usage(io, "match", QStringLiteral("give --applicant ID or --listing ID"));
    }
    const QCommandLineOption& given = p.isSet(applicantId) ? applicantId : listingId;
    bool ok = false;
    const long long id = p.value(given).trimmed().toLongLong(&ok);
    if (!ok) {
        return usage(io, "match",
                     QStringLiteral("مقدار %1 شماره نيست: %2")
                         .arg(isolated(QStringLiteral("--") + given.names().front()),
                              isolated(p.value(given))));
    }
    StoreLocation store;
    FolderLock lock;
    if (const int status = sharedDeskStore(parsed, store, lock, io)) {
        return status;
    }
    const bool asCsv = p.isSet(csv);
    try {
        if (p.isSet(listingId)) {
            const std::unique_ptr<TableStore> listings =
                openTableStore(store, listingsTable(), StoreAccess::ReadOnly);
            RowValues listing;
            if (!listings->read(id, listing)) {
                return fail(io, QStringLiteral("فايل شماره %1 در بانك اطلاعاتي نيست.").arg(id));
            }
            std::vector<long long> ids;
            if (applicantsPresent(store)) {
                const std::unique_ptr<TableStore> applicants =
                    openTableStore(store, applicantsTable(), StoreAccess::ReadOnly);
                ids = fittingApplicants(*applicants, listing);
            }
            if (ids.empty()) {
                if (asCsv) {
                    io.out << QStringLiteral("id,name\r\n");
                }
                io.err << QStringLiteral("هيچ متقاضي فعالي با اين فايل جور نيست.") << '\n';
                return kFailed;
            }
            return listApplicants(store, &ids, asCsv, QString(), io);
        }
        RowValues applicant;
        if (!applicantsPresent(store) ||
            !openTableStore(store, applicantsTable(), StoreAccess::ReadOnly)->read(id, applicant)) {
            return fail(io, QStringLiteral("متقاضي شماره %1 در بانك اطلاعاتي نيست.").arg(id));
        }
        const ApplicantRequest request = applicantRequest(applicant);
        const std::unique_ptr<TableStore> listings =
            openTableStore(store, listingsTable(), StoreAccess::ReadOnly);
        const int malek = listingsTable().indexOf(QStringLiteral("malek"));
        return printListings(io, malek, asCsv, [&](std::optional<long long> after, int count) {
            return fittingListings(*listings, request, {malek}, after, count);
        });
    } catch (const StoreError& error) {
        return fail(io, error.message(), storeFailure(error));
    }
}

} // namespace velmoran::cli
