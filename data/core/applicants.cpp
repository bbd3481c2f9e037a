#include "data/core/applicants.h"

#include "data/core/criterion.h"
#include "data/core/fieldcaptions.h"
#include "data/core/numbers.h"
#include "data/core/storemessages.h"

#include <QHash>
#include <QLocale>

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>

namespace velmoran {

namespace {

const FieldDef kApplicantFields[] = {
    {"name", FieldKind::Text},      {"tel", FieldKind::Text},
    {"fooroosh", FieldKind::Flag},  {"rahn", FieldKind::Flag},
    {"ejareh", FieldKind::Flag},    {"apartman", FieldKind::Flag},
    {"vila", FieldKind::Flag},      {"mostaghelat", FieldKind::Flag},
    {"kolanghi", FieldKind::Flag},  {"daftarehkar", FieldKind::Flag},
    {"maghazeh", FieldKind::Flag},  {"mantagheh", FieldKind::Text},
    {"gheymataz", FieldKind::Text}, {"gheymatta", FieldKind::Text},
    {"ejarehaz", FieldKind::Text},  {"ejarehta", FieldKind::Text},
    {"zirbanaaz", FieldKind::Text}, {"zirbanata", FieldKind::Text},
    {"khabaz", FieldKind::Text},    {"khabta", FieldKind::Text},
    {"tozihat", FieldKind::Text},   {"date", FieldKind::Text},
    {"tamas", FieldKind::Text},     {"baste", FieldKind::Flag},
};

int listingField(const char* name) {
    return listingsTable().indexOf(QLatin1String(name));
}

// The fields matching reads, by index, looked up once: a match against
// thousands of applicants must not look names up for each.
struct Columns {
    int deals[3], listingDeals[3];
    int kinds[6], listingKinds[6];
    int from[4], to[4], listingRange[4];
    int districts, listingDistrict, closed;
};

const Columns& columns() {
    static const Columns c = [] {
        Columns made{};
        for (int i = 0; i < 3; ++i) {
            made.deals[i] = applicantField(kDealFlags[i]);
            made.listingDeals[i] = listingField(kDealFlags[i]);
        }
        for (int i = 0; i < 6; ++i) {
            made.kinds[i] = applicantField(kKindFlags[i]);
            made.listingKinds[i] = listingField(kKindFlags[i]);
        }
        for (int i = 0; i < 4; ++i) {
            made.from[i] = applicantField(kApplicantRanges[i].fromField);
            made.to[i] = applicantField(kApplicantRanges[i].toField);
            made.listingRange[i] = listingField(kApplicantRanges[i].listingField);
        }
        made.districts = applicantField(applicant::kDistricts);
        made.listingDistrict = listingField("mantagheh");
        made.closed = applicantField(applicant::kClosed);
        return made;
    }();
    return c;
}

bool isSet(const RowValues& row, int field) {
    return row.flags[static_cast<std::size_t>(field)];
}

const QString& textOf(const RowValues& row, int field) {
    return row.texts[static_cast<std::size_t>(field)];
}

// A range end as the finds read numbers, the empty text none.
std::optional<double> rangeEnd(const QString& typed, bool& readable) {
    if (typed.trimmed().isEmpty()) {
        return std::nullopt;
    }
    const std::optional<double> value = readNumber(typed);
    readable = readable && value.has_value();
    return value;
}

// `value` as a criterion's quoted number, when it reads back exactly.
std::optional<QString> criterionNumber(double value) {
    if (!std::isfinite(value)) {
        return std::nullopt;
    }
    const QString text = QString::number(value, 'f', QLocale::FloatingPointShortest);
    if (text.size() > 60 || readNumber(text) != value) {
        return std::nullopt;
    }
    return QLatin1Char('\'') + text + QLatin1Char('\'');
}

} // namespace

const char* const kDealFlags[3] = {"fooroosh", "rahn", "ejareh"};
const char* const kKindFlags[6] = {"apartman", "vila",        "mostaghelat",
                                   "kolanghi", "daftarehkar", "maghazeh"};

const ApplicantRange kApplicantRanges[4] = {
    {"gheymatehkoole", "gheymataz", "gheymatta", "قيمت كل يا وديعه"},
    {"vahed02", "ejarehaz", "ejarehta", "اجاره"},
    {"zirbana01", "zirbanaaz", "zirbanata", "زيربنا (متر)"},
    {"khab0", "khabaz", "khabta", "تعداد خواب"},
};

int applicantField(const char* name) {
    return applicantsTable().indexOf(QLatin1String(name));
}

const TableSpec& applicantsTable() {
    static const TableSpec tableSpec{"newil.db", "applicants", kApplicantFields,
                                     sizeof(kApplicantFields) / sizeof(kApplicantFields[0])};
    return tableSpec;
}

QString applicantFieldCaption(int field) {
    static const std::map<QString, QString> captions = [] {
        std::map<QString, QString> made = {
            {QStringLiteral("name"), QStringLiteral("نام متقاضي")},
            {QStringLiteral("tel"), QStringLiteral("تلفن")},
            {QStringLiteral("mantagheh"), QStringLiteral("منطقه")},
            {QStringLiteral("tozihat"), QStringLiteral("توضيحات")},
            {QStringLiteral("date"), QStringLiteral("تاريخ ثبت")},
            {QStringLiteral("tamas"), QStringLiteral("آخرين تماس")},
            {QStringLiteral("baste"), QStringLiteral("بسته شده")},
        };
        for (const ApplicantRange& range : kApplicantRanges) {
            const QString caption = QString::fromUtf8(range.caption);
            made[QLatin1String(range.fromField)] = caption + QStringLiteral(" از");
            made[QLatin1String(range.toField)] = caption + QStringLiteral(" تا");
        }
        const QStringList listing = listingFieldCaptions();
        for (const char* const* flags : {kDealFlags, kKindFlags}) {
            for (int i = 0; i < (flags == kDealFlags ? 3 : 6); ++i) {
                made[QLatin1String(flags[i])] =
                    listing.value(listingsTable().indexOf(QLatin1String(flags[i]))).trimmed();
            }
        }
        return made;
    }();
    const TableSpec& table = applicantsTable();
    if (field < 0 || static_cast<std::size_t>(field) >= table.fieldCount) {
        return QString();
    }
    const auto it = captions.find(QLatin1String(table.fields[field].name));
    return it == captions.end() ? QString::fromLatin1(table.fields[field].name) : it->second;
}

QString foldedDistrict(const QString& text) {
    // Only letters of the Basic Multilingual Plane fold: a surrogate stays.
    QString folded = text.trimmed();
    for (QChar& c : folded) {
        c = QChar(static_cast<char16_t>(foldedLetter(c.unicode())));
    }
    return folded;
}

ApplicantRequest applicantRequest(const RowValues& applicant) {
    const Columns& c = columns();
    ApplicantRequest request;
    for (int i = 0; i < 3; ++i) {
        if (isSet(applicant, c.deals[i])) {
            request.deals.push_back(c.listingDeals[i]);
        }
    }
    for (int i = 0; i < 6; ++i) {
        if (isSet(applicant, c.kinds[i])) {
            request.kinds.push_back(c.listingKinds[i]);
        }
    }
    const QString& districts = textOf(applicant, c.districts);
    if (!districts.isEmpty()) {
        for (const QString& district : districts.split(QLatin1Char('\n'))) {
            const QString folded = foldedDistrict(district);
            if (!folded.isEmpty()) {
                request.districts << folded;
            }
        }
    }
    for (int i = 0; i < 4; ++i) {
        ApplicantRequest::Range r{c.listingRange[i], i, std::nullopt, std::nullopt};
        r.low = rangeEnd(textOf(applicant, c.from[i]), request.readable);
        r.high = rangeEnd(textOf(applicant, c.to[i]), request.readable);
        if (r.low || r.high) {
            request.ranges.push_back(r);
        }
    }
    return request;
}

std::vector<int> requestFields(const ApplicantRequest& request) {
    std::vector<int> fields = request.deals;
    fields.insert(fields.end(), request.kinds.begin(), request.kinds.end());
    if (!request.districts.isEmpty()) {
        fields.push_back(columns().listingDistrict);
    }
    for (const ApplicantRequest::Range& range : request.ranges) {
        fields.push_back(range.field);
    }
    return fields;
}

namespace {

// What matching reads of one listing, read once for every applicant.
struct ListingReading {
    QString district;                 // folded
    std::optional<double> numbers[4]; // the ranged fields, by range
    explicit ListingReading(const RowValues& listing) {
        const Columns& c = columns();
        district = foldedDistrict(textOf(listing, c.listingDistrict));
        for (int i = 0; i < 4; ++i) {
            numbers[i] = readNumber(textOf(listing, c.listingRange[i]));
        }
    }
};

bool fitsReading(const ApplicantRequest& request, const RowValues& listing,
                 const ListingReading& reading) {
    if (!request.readable) {
        return false;
    }
    const auto anySet = [&listing](const std::vector<int>& flags) {
        if (flags.empty()) {
            return true;
        }
        for (const int flag : flags) {
            if (isSet(listing, flag)) {
                return true;
            }
        }
        return false;
    };
    if (!anySet(request.deals) || !anySet(request.kinds)) {
        return false;
    }
    if (!request.districts.isEmpty() && !request.districts.contains(reading.district)) {
        return false;
    }
    for (const ApplicantRequest::Range& range : request.ranges) {
        const std::optional<double>& value = reading.numbers[range.slot];
        if (!value || (range.low && *value < *range.low) || (range.high && *value > *range.high)) {
            return false;
        }
    }
    return true;
}

} // namespace

bool fits(const ApplicantRequest& request, const RowValues& listing) {
    // Only the fields the request reads are read: a listed row holds no
    // others.
    ListingReading reading(listing);
    return fitsReading(request, listing, reading);
}

std::optional<QString> requestCriterion(const ApplicantRequest& request) {
    QStringList tests;
    const auto name = [](int field) { return QLatin1String(kListingFields[field].name); };
    // Flags one of several of which is set are left to fits().
    if (request.deals.size() == 1) {
        tests << QStringLiteral("%1 = -1").arg(name(request.deals.front()));
    }
    if (request.kinds.size() == 1) {
        tests << QStringLiteral("%1 = -1").arg(name(request.kinds.front()));
    }
    constexpr double kInfinity = std::numeric_limits<double>::infinity();
    for (const ApplicantRequest::Range& range : request.ranges) {
        // The next double outwards: a criterion's bound excludes itself.
        if (range.low) {
            if (const std::optional<QString> low =
                    criterionNumber(std::nextafter(*range.low, -kInfinity))) {
                tests << QStringLiteral("%1 > %2").arg(name(range.field), *low);
            }
        }
        if (range.high) {
            if (const std::optional<QString> high =
                    criterionNumber(std::nextafter(*range.high, kInfinity))) {
                tests << QStringLiteral("%1 < %2").arg(name(range.field), *high);
            }
        }
    }
    if (tests.isEmpty()) {
        return std::nullopt;
    }
    return tests.join(QStringLiteral(" and "));
}

namespace {

// `fields` and those the request reads.
std::vector<int> fieldsToRead(const ApplicantRequest& request, const std::vector<int>& fields) {
    std::vector<int> read = fields;
    for (const int field : requestFields(request)) {
        if (std::find(read.begin(), read.end(), field) == read.end()) {
            read.push_back(field);
        }
    }
    return read;
}

std::optional<Criterion> criterionOf(const ApplicantRequest& request) {
    std::optional<Criterion> criterion;
    if (const std::optional<QString> text = requestCriterion(request)) {
        criterion.emplace(*text, listingsTable());
    }
    return criterion;
}

// Walks the listings that fit, after `after`, a page of `page` rows at a time
// through the request's criterion, handing each to `each` until it returns
// false.
void walkFitting(TableStore& listings, const ApplicantRequest& request,
                 const std::vector<int>& fields, std::optional<long long> after, bool descending,
                 int page, const std::function<bool(const ListedRow&)>& each) {
    if (!request.readable) {
        return;
    }
    const std::vector<int> read = fieldsToRead(request, fields);
    const std::optional<Criterion> criterion = criterionOf(request);
    for (;;) {
        const std::vector<ListedRow> rows =
            listings.listPage(criterion ? &*criterion : nullptr, read, after, page, descending);
        for (const ListedRow& row : rows) {
            if (fits(request, row.values) && !each(row)) {
                return;
            }
        }
        if (static_cast<int>(rows.size()) < page) {
            return;
        }
        after = rows.back().id;
    }
}

} // namespace

std::vector<ListedRow> fittingListings(TableStore& listings, const ApplicantRequest& request,
                                       const std::vector<int>& fields,
                                       std::optional<long long> after, int count, bool descending) {
    std::vector<ListedRow> found;
    if (count <= 0) {
        return found;
    }
    walkFitting(listings, request, fields, after, descending, std::max(count, 200),
                [&found, count](const ListedRow& row) {
                    found.push_back(row);
                    return static_cast<int>(found.size()) < count;
                });
    return found;
}

void eachFittingListing(TableStore& listings, const ApplicantRequest& request,
                        const std::vector<int>& fields,
                        const std::function<void(const ListedRow&)>& each) {
    if (!request.readable) {
        return;
    }
    const std::vector<int> read = fieldsToRead(request, fields);
    const std::optional<Criterion> criterion = criterionOf(request);
    listings.matchRows(criterion ? &*criterion : nullptr, read, [&](const ListedRow& row) {
        if (fits(request, row.values)) {
            each(row);
        }
    });
}

long long countFittingListings(TableStore& listings, const ApplicantRequest& request) {
    long long count = 0;
    eachFittingListing(listings, request, {}, [&count](const ListedRow&) { ++count; });
    return count;
}

namespace {
struct DigestStopped {};
} // namespace

ListingDigest::ListingDigest(TableStore& listings, const std::function<bool()>& stopped) {
    const Columns& c = columns();
    std::vector<int> read(c.listingDeals, c.listingDeals + 3);
    read.insert(read.end(), c.listingKinds, c.listingKinds + 6);
    read.push_back(c.listingDistrict);
    read.insert(read.end(), c.listingRange, c.listingRange + 4);
    QHash<QString, int> known;
    try {
        listings.matchRows(nullptr, read, [&](const ListedRow& row) {
            if (stopped && stopped()) {
                throw DigestStopped{};
            }
            unsigned short flags = 0;
            for (int i = 0; i < 3; ++i) {
                flags |= isSet(row.values, c.listingDeals[i]) ? (1u << i) : 0u;
            }
            for (int k = 0; k < 6; ++k) {
                flags |= isSet(row.values, c.listingKinds[k]) ? (1u << (3 + k)) : 0u;
            }
            flags_.push_back(flags);
            const ListingReading reading(row.values);
            int district = -1;
            if (!reading.district.isEmpty()) {
                const auto it = known.constFind(reading.district);
                if (it != known.constEnd()) {
                    district = it.value();
                } else {
                    district = static_cast<int>(names_.size());
                    known.insert(reading.district, district);
                    names_ << reading.district;
                }
            }
            districts_.push_back(district);
            for (int r = 0; r < 4; ++r) {
                numbers_[r].push_back(
                    reading.numbers[r].value_or(std::numeric_limits<double>::quiet_NaN()));
            }
        });
    } catch (const DigestStopped&) {
        complete_ = false;
    }
}

long long ListingDigest::count(const ApplicantRequest& request) const {
    if (!request.readable) {
        return 0;
    }
    const Columns& c = columns();
    const auto mask = [](const std::vector<int>& asked, const int* fields, int n, int shift) {
        unsigned short bits = 0;
        for (const int field : asked) {
            for (int i = 0; i < n; ++i) {
                bits |= field == fields[i] ? (1u << (shift + i)) : 0u;
            }
        }
        return bits;
    };
    const unsigned short deals = mask(request.deals, c.listingDeals, 3, 0);
    const unsigned short kinds = mask(request.kinds, c.listingKinds, 6, 3);
    std::vector<char> districtWanted;
    if (!request.districts.isEmpty()) {
        districtWanted.assign(names_.size(), 0);
        for (int d = 0; d < names_.size(); ++d) {
            districtWanted[static_cast<std::size_t>(d)] = request.districts.contains(names_[d]);
        }
    }
    long long count = 0;
    const std::size_t n = flags_.size();
    for (std::size_t i = 0; i < n; ++i) {
        if ((deals && !(flags_[i] & deals)) || (kinds && !(flags_[i] & kinds))) {
            continue;
        }
        if (!request.districts.isEmpty() &&
            (districts_[i] < 0 || !districtWanted[static_cast<std::size_t>(districts_[i])])) {
            continue;
        }
        bool within = true;
        for (const ApplicantRequest::Range& range : request.ranges) {
            const double value = numbers_[range.slot][i];
            // A NaN fails every comparison: no number fits no range.
            if (!(value == value) || (range.low && value < *range.low) ||
                (range.high && value > *range.high)) {
                within = false;
                break;
            }
        }
        count += within;
    }
    return count;
}

std::vector<long long> fittingApplicants(TableStore& applicants, const RowValues& listing) {
    const Columns& c = columns();
    const ListingReading reading(listing);
    // The store passes over the closed applicants and, for a listing of one
    // deal, those of no deal it has, before a row is read out.
    QStringList tests{QStringLiteral("%1 = 0").arg(QLatin1String(applicant::kClosed))};
    int deals = 0, only = -1;
    for (int i = 0; i < 3; ++i) {
        if (isSet(listing, c.listingDeals[i])) {
            ++deals;
            only = i;
        }
    }
    if (deals == 1) {
        tests << QStringLiteral("%1 = -1").arg(QLatin1String(kDealFlags[only]));
    }
    const Criterion criterion(tests.join(QStringLiteral(" and ")), applicantsTable());
    std::vector<int> read(c.deals, c.deals + 3);
    read.insert(read.end(), c.kinds, c.kinds + 6);
    read.insert(read.end(), c.from, c.from + 4);
    read.insert(read.end(), c.to, c.to + 4);
    read.push_back(c.districts);
    std::vector<long long> ids;
    applicants.matchRows(&criterion, read, [&](const ListedRow& row) {
        if (fitsReading(applicantRequest(row.values), listing, reading)) {
            ids.push_back(row.id);
        }
    });
    return ids;
}

std::optional<ApplicantProblem> applicantProblem(const RowValues& applicant) {
    const int name = applicantField(applicant::kName);
    if (textOf(applicant, name).trimmed().isEmpty()) {
        return ApplicantProblem{name, QStringLiteral("نام متقاضي خالي است.")};
    }
    bool anyDeal = false;
    for (const char* deal : kDealFlags) {
        anyDeal = anyDeal || isSet(applicant, applicantField(deal));
    }
    if (!anyDeal) {
        return ApplicantProblem{applicantField(kDealFlags[0]),
                                QStringLiteral("نوع معامله انتخاب نشده است.")};
    }
    const int districts = applicantField(applicant::kDistricts);
    const QString typed = textOf(applicant, districts);
    if (!typed.isEmpty()) {
        for (const QString& district : typed.split(QLatin1Char('\n'))) {
            if (district.trimmed().isEmpty()) {
                return ApplicantProblem{districts, QStringLiteral("منطقه خالي يا فقط فاصله است.")};
            }
        }
    }
    for (const ApplicantRange& range : kApplicantRanges) {
        const int from = applicantField(range.fromField);
        const int to = applicantField(range.toField);
        std::optional<double> ends[2];
        for (const int field : {from, to}) {
            const QString& text = textOf(applicant, field);
            if (text.isEmpty()) {
                continue;
            }
            const std::optional<double> value = readNumber(text);
            if (!value) {
                return ApplicantProblem{field,
                                        QStringLiteral("«%1» عدد نيست.").arg(isolated(text))};
            }
            ends[field == from ? 0 : 1] = value;
        }
        if (ends[0] && ends[1] && *ends[0] > *ends[1]) {
            return ApplicantProblem{from, QStringLiteral("ابتداي بازه از انتهاي آن بزرگتر است.")};
        }
    }
    return std::nullopt;
}

} // namespace velmoran
