#pragma once

#include "data/core/fields.h"
#include "data/core/tablestore.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

namespace velmoran {

// The applicants: one request of one person each, kept beside the listings
// in newil.db (table `applicants`; on a server desk the table of that name
// beside `new`), so one transaction, one backup and one check hold both. A
// store made before it gets the table when it is first written; the
// listings' table stays as it is.
//
// The deal and the kinds are flags named as the listings' own; the
// districts one a line; each range as its two boxes' texts as typed (either
// may be empty); the dates as the agency writes them, Solar Hijri
// yyyy/MM/dd; `baste` set for a closed applicant.
const TableSpec& applicantsTable();

// The applicant fields by name, for the tools and the screens.
namespace applicant {
constexpr const char* kName = "name";
constexpr const char* kPhone = "tel";
constexpr const char* kDistricts = "mantagheh";
constexpr const char* kNote = "tozihat";
constexpr const char* kRegistered = "date";
constexpr const char* kContacted = "tamas";
constexpr const char* kClosed = "baste";
} // namespace applicant

// The index of applicant field `name`.
int applicantField(const char* name);

// The Persian caption of applicant field `field`, as the applicant form and
// the questions name its box: the deals and kinds as the listing screens
// name them, each range end with its «از» or «تا».
QString applicantFieldCaption(int field);

// The deals and the kinds, by their listing flag names (the applicants'
// flags bear the same names).
extern const char* const kDealFlags[3];
extern const char* const kKindFlags[6];

// One range of an applicant: the listing field it bounds and the two fields
// of the applicant that hold its ends as typed.
struct ApplicantRange {
    const char* listingField;
    const char* fromField;
    const char* toField;
    const char* caption; // what the form and the messages call it
};
// The total price or deposit, the rent, the area (the first floor row's
// built area) and the bedrooms.
extern const ApplicantRange kApplicantRanges[4];

// What a listing must be to fit an applicant, read from the applicant's row:
// indexes are those of the listings' fields.
struct ApplicantRequest {
    std::vector<int> deals; // flags one of which is set; none: any deal
    std::vector<int> kinds; // likewise for the kinds
    QStringList districts;  // folded (foldedDistrict); none: any district
    struct Range {
        int field;                       // the listing's
        int slot;                        // its place in kApplicantRanges
        std::optional<double> low, high; // both ends included
    };
    std::vector<Range> ranges;
    bool readable = true; // false: an end is no number; nothing fits then
};
ApplicantRequest applicantRequest(const RowValues& applicant);

// A district as districts are compared: each letter folded as the owner
// find folds it (foldedLetter, criterion.h), blanks around set aside.
QString foldedDistrict(const QString& text);

// The listing fields fits() reads, by index.
std::vector<int> requestFields(const ApplicantRequest& request);

// Whether `listing` (its values of at least requestFields()) fits: the deal
// and a kind set, the district one of those asked for, and each ranged
// field read as the finds read numbers (numbers.h) within the range, both
// ends included; a field that reads as no number fits no range on it.
bool fits(const ApplicantRequest& request, const RowValues& listing);

// The find criterion (criterion.h) every listing that fits passes, for the
// stores to run (through the price indexes where they serve); nothing when
// it tests nothing. Its bounds are one step of a double wider than the
// applicant's, since a criterion's exclude their ends: fits() decides.
std::optional<QString> requestCriterion(const ApplicantRequest& request);

// Up to `count` listings that fit, in id order after `after` (from the
// first for none; `descending`: from the last downwards, below `after`),
// with the values of `fields` and of requestFields().
std::vector<ListedRow> fittingListings(TableStore& listings, const ApplicantRequest& request,
                                       const std::vector<int>& fields,
                                       std::optional<long long> after, int count,
                                       bool descending = false);

// Every listing that fits, in id order, handed to `each` with the values of
// `fields` and of requestFields(): one statement, no row held.
void eachFittingListing(TableStore& listings, const ApplicantRequest& request,
                        const std::vector<int>& fields,
                        const std::function<void(const ListedRow&)>& each);

// How many listings fit.
long long countFittingListings(TableStore& listings, const ApplicantRequest& request);

// What matching reads of every listing, read in one pass and held compactly
// (some 40 bytes a listing): the deal and kind flags, the folded district
// and the four ranged fields as read. Counting the listings that fit one
// applicant is then a pass over memory, for a list counting for many
// applicants; it counts the listings as they were when read.
class ListingDigest {
public:
    // Reads `listings` through. Throws StoreError. `stopped`, asked as the
    // rows come, ends the reading early when it answers true: the digest is
    // then incomplete.
    explicit ListingDigest(TableStore& listings, const std::function<bool()>& stopped = {});
    bool complete() const { return complete_; }
    // As countFittingListings, on the listings read.
    long long count(const ApplicantRequest& request) const;
    std::size_t size() const { return flags_.size(); }

private:
    std::vector<unsigned short> flags_; // bit i: kDealFlags[i], bit 3 + k: kKindFlags[k]
    std::vector<int> districts_;        // into names_; -1 for none
    QStringList names_;
    std::vector<double> numbers_[4]; // NaN: no number
    bool complete_ = true;
};

// The active applicants `listing` fits, by id, in id order: the store
// passes over the closed ones (and, for a listing of one deal, those of
// other deals), the rest are read once and tested in memory.
std::vector<long long> fittingApplicants(TableStore& applicants, const RowValues& listing);

// A mistake in an applicant as typed: the applicant field of the box (its
// index) and the Persian reason. Refused: an empty name, no deal, a range
// end that is no number (as the finds read them), a range from above to,
// a district of blanks only.
struct ApplicantProblem {
    int field;
    QString why;
};
std::optional<ApplicantProblem> applicantProblem(const RowValues& applicant);

} // namespace velmoran
