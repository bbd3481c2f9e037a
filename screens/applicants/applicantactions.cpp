#include "screens/applicants/applicantactions.h"

#include "data/core/applicants.h"
#include "data/core/solardate.h"
#include "data/store/recordsource.h"
#include "data/store/storelocation.h"
#include "platform/messagebox.h"
#include "screens/applicants/applicantform.h"
#include "screens/applicants/applicantlist.h"
#include "ui/screen.h"
#include "ui/screens.h"

#include <memory>

namespace velmoran {

namespace {

const char* const kTitle = "متقاضيان";
const char* const kDeleted = "اين متقاضي را ميز ديگري حذف كرده است.";

} // namespace

QString applicantsTitle() {
    return QString::fromUtf8(kTitle);
}

void showApplicantDeleted() {
    MessageBox::show(QString::fromUtf8(kDeleted), applicantsTitle(), MessageBox::Icon::Exclamation,
                     MessageBox::Buttons::Ok);
}

bool readApplicant(long long id, RowValues& row) {
    try {
        const StoreLocation store = activeStore();
        if (storeHasTable(store, applicantsTable()) &&
            openTableStore(store, applicantsTable(), StoreAccess::ReadOnly)->read(id, row)) {
            return true;
        }
    } catch (const StoreError& error) {
        showStoreError(error);
        return false;
    }
    showApplicantDeleted();
    return false;
}

bool markContactedToday(long long id) {
    const QString today = solarToday();
    if (auto* form = Screens::instance().find<ApplicantForm>(ScreenId::ApplicantForm);
        form && form->Data1() && form->applicantId() == id) {
        // What is typed there is stored with it.
        form->Data1()->setText(applicantField(applicant::kContacted), today);
        form->save();
        return !form->Data1()->isChanged();
    }
    try {
        const StoreLocation store = activeStore();
        RowValues read;
        if (!storeHasTable(store, applicantsTable())) {
            showApplicantDeleted();
            return false;
        }
        const std::unique_ptr<TableStore> applicants = openTableStore(store, applicantsTable());
        if (!applicants->read(id, read)) {
            showApplicantDeleted();
            return false;
        }
        RowValues ours = read;
        const auto contacted = static_cast<std::size_t>(applicantField(applicant::kContacted));
        ours.texts[contacted] = today;
        std::vector<bool> changed(applicantsTable().fieldCount, false);
        changed[contacted] = true;
        const StoredRow stored = applicants->update(id, ours, changed, read);
        // Another desk's day stored meanwhile is today's too, or later.
        return stored.conflicts.empty() || stored.conflicts.front().text == today;
    } catch (const StoreError& error) {
        showStoreError(error);
        return false;
    }
}

std::vector<long long> listingApplicants(const RowValues& listing) {
    const StoreLocation store = activeStore();
    if (!storeHasTable(store, applicantsTable())) {
        return {};
    }
    return fittingApplicants(*openTableStore(store, applicantsTable(), StoreAccess::ReadOnly),
                             listing);
}

void showNewApplicant() {
    if (auto* form =
            qobject_cast<ApplicantForm*>(Screens::instance().show(ScreenId::ApplicantForm))) {
        form->startNew();
    }
}

void showApplicant(long long id) {
    if (auto* form =
            qobject_cast<ApplicantForm*>(Screens::instance().show(ScreenId::ApplicantForm))) {
        form->showApplicant(id);
    }
}

void showApplicantList() {
    if (auto* list =
            qobject_cast<ApplicantList*>(Screens::instance().show(ScreenId::ApplicantList))) {
        list->showAll();
    }
}

void showListingApplicants(long long listingId) {
    if (auto* list =
            qobject_cast<ApplicantList*>(Screens::instance().show(ScreenId::ApplicantList))) {
        list->showForListing(listingId);
    }
}

} // namespace velmoran
