#include "screens/edit/form7.h"

#include "data/store/recordsource.h"
#include "platform/widgets/fonts.h"
#include "screens/applicants/listingapplicants.h"
#include "screens/common/listinglayout.h"
#include "screens/list/matchlist.h"
#include "ui/screens.h"

#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace velmoran {

namespace {

const char* const kSearchCaption = "جستجو";
// The button's place on the form, in twips from its top left corner.
const QRect kSearchButton(4680, 7995, 1770, 405);

} // namespace

Form7::Form7() : Screen(ScreenId::Form7) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);

    addMatchListKey(this, MatchList::Origin::Edit);
}

void Form7::Form_Load() {
    // The bound fields and the button: the record source opens on the first
    // listing; nothing starts a new row.
    data1_ = openRecordSource(listingsTable());
    form_ = new ListingForm(data1_, ListingVariant::Edit);

    command1_ = new QPushButton(QString::fromUtf8(kSearchCaption));
    command1_->setObjectName(QStringLiteral("Command1"));
    command1_->setFont(designFont(QStringLiteral("B Badr"), 15.75, true));
    // No default button: Enter in a field presses nothing.
    command1_->setAutoDefault(false);
    command1_->setDefault(false);
    form_->placeFirst(command1_, kSearchButton);
    connect(command1_, &QPushButton::clicked, this, [this] { Command1_Click(); });

    layout()->addWidget(listingView(form_, this));
    applicants_ = new ListingApplicantsLine(this, false);
    layout()->addWidget(applicants_);
    connect(data1_, &RecordSource::rowChanged, applicants_,
            [this] { applicants_->showFor(*data1_); });
    applicants_->showFor(*data1_);
}

QLineEdit* Form7::Text1() const {
    return form_ ? form_->findChild<QLineEdit*>(QStringLiteral("Text1")) : nullptr;
}

void Form7::Command1_Click() {
    Screens::instance().show(ScreenId::Form8);
}

} // namespace velmoran
