#include "screens/search/form2.h"

#include "data/store/recordsource.h"
#include "screens/common/listinglayout.h"
#include "screens/list/matchlist.h"
#include "ui/screens.h"

#include <QAction>
#include <QMenu>
#include <QVBoxLayout>

namespace velmoran {

namespace {

// The screen's menu.
const char* const kFileCaption = "فايل";
const char* const kResidentialCaption = "جستجو در موارد مستغلات و آپارتمان و ويلا";
const char* const kCommercialCaption = "جستجو در موارد كلنگي و دفتر كار و مغازه";

} // namespace

Form2::Form2() : Screen(ScreenId::Form2) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);

    file_ = addMenuBarMenu(QStringLiteral("file"), QString::fromUtf8(kFileCaption));
    mosvilaapasearch_ = file_->addAction(QString::fromUtf8(kResidentialCaption));
    mosvilaapasearch_->setObjectName(QStringLiteral("mosvilaapasearch"));
    mghazehkolanghidaftarehkarsearch_ = file_->addAction(QString::fromUtf8(kCommercialCaption));
    mghazehkolanghidaftarehkarsearch_->setObjectName(
        QStringLiteral("mghazehkolanghidaftarehkarsearch"));

    connect(mosvilaapasearch_, &QAction::triggered, this, [this] { mosvilaapasearch_Click(); });
    connect(mghazehkolanghidaftarehkarsearch_, &QAction::triggered, this,
            [this] { mghazehkolanghidaftarehkarsearch_Click(); });

    addMatchListKey(this, MatchList::Origin::Search);
}

void Form2::Form_Load() {
    // The bound fields only: the record source opens on the first listing.
    data1_ = openRecordSource(listingsTable());
    form_ = new ListingForm(data1_, ListingVariant::Entry);
    layout()->addWidget(listingView(form_, this));
}

void Form2::mosvilaapasearch_Click() {
    Screens::instance().show(ScreenId::Form13);
}

void Form2::mghazehkolanghidaftarehkarsearch_Click() {
    Screens::instance().show(ScreenId::Form4);
}

} // namespace velmoran
