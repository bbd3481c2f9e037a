#include "screens/applicants/listingapplicants.h"

#include "data/core/applicants.h"
#include "data/core/fields.h"
#include "data/core/storeerror.h"
#include "data/store/recordsource.h"
#include "data/store/storelocation.h"
#include "platform/widgets/fonts.h"
#include "screens/applicants/applicantactions.h"
#include "ui/screen.h"

#include <QAction>

namespace velmoran {

ListingApplicantsLine::ListingApplicantsLine(Screen* screen, bool saved) : saved_(saved) {
    setObjectName(QStringLiteral("applicantsLine"));
    setFont(designFont(QStringLiteral("B Nazanin"), 12, true));
    setContentsMargins(8, 2, 8, 2);
    setAlignment(Qt::AlignRight | Qt::AlignAbsolute | Qt::AlignVCenter);
    auto* key = new QAction(screen);
    key->setObjectName(QStringLiteral("listingApplicantsKey"));
    key->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_M));
    key->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    screen->addAction(key);
    connect(key, &QAction::triggered, this, [this] {
        if (listing_ != 0) {
            showListingApplicants(listing_);
        }
    });
}

ListingApplicantsLine::~ListingApplicantsLine() = default;

void ListingApplicantsLine::showFor(const RecordSource& source) {
    listing_ = source.isNewRow() || source.isChanged() ? 0 : source.currentRowId();
    count_ = -1;
    if (listing_ == 0) {
        clear();
        return;
    }
    const QString opening = saved_ ? QStringLiteral("فايل ذخيره شده") : QStringLiteral("اين فايل");
    const RowValues listing = source.values();
    try {
        if (!applicants_) {
            const StoreLocation store = activeStore();
            if (storeHasTable(store, applicantsTable())) {
                applicants_ = openTableStore(store, applicantsTable(), StoreAccess::ReadOnly);
            }
        }
        count_ = applicants_
                     ? static_cast<long long>(fittingApplicants(*applicants_, listing).size())
                     : 0;
    } catch (const StoreError&) {
        applicants_.reset(); // the next count connects again
        setText(QStringLiteral("%1: شمار متقاضيان مناسب خوانده نشد.").arg(opening));
        return;
    }
    setText(count_ == 0 ? QStringLiteral("%1 با هيچ متقاضي فعالي جور نيست.").arg(opening)
                        : QStringLiteral("%1 با %2 متقاضي فعال جور است — براي ديدن آنها Ctrl+M")
                              .arg(opening)
                              .arg(count_));
}

} // namespace velmoran
