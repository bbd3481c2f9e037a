#pragma once

#include "data/core/tablestore.h"

#include <QString>

#include <vector>

namespace velmoran {

// What the applicants' screens do with one applicant, in the active store.

// Reads applicant `id` into `row`. False when it is not there (another desk
// deleted it, or no applicant was ever stored) or the store failed: the
// message was shown.
bool readApplicant(long long id, RowValues& row);

// The message for an applicant another desk deleted while it was shown.
void showApplicantDeleted();

// Stores today as the day applicant `id` was last contacted: through the
// applicant form when it shows that applicant, else at once. True when it
// was stored; a failure or a deleted applicant was shown.
bool markContactedToday(long long id);

// The active applicants `listing` fits, by id (none where no applicant was
// ever stored). Throws StoreError.
std::vector<long long> listingApplicants(const RowValues& listing);

// The screens: the applicant form on a new applicant or on `id`, the list of
// every applicant, and the list of those a listing fits.
void showNewApplicant();
void showApplicant(long long id);
void showApplicantList();
void showListingApplicants(long long listingId);

// The title of the applicants' message boxes.
QString applicantsTitle();

} // namespace velmoran
