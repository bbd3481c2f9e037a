#include "screens/applicants/applicantform.h"

#include "data/core/applicants.h"
#include "data/core/findcriterion.h"
#include "data/core/solardate.h"
#include "data/core/storemessages.h"
#include "data/store/recordsource.h"
#include "data/store/storelocation.h"
#include "platform/messagebox.h"
#include "platform/widgets/fonts.h"
#include "screens/applicants/applicantactions.h"
#include "screens/common/boundcontrols.h"
#include "screens/list/matchlist.h"
#include "ui/screencommands.h"
#include "ui/screens.h"

#include <QAction>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QScrollArea>
#include <QVBoxLayout>

namespace velmoran {

namespace {

const char* const kMenuCaption = "متقاضي";
const char* const kNewTitle = "متقاضي جديد";
const char* const kDeleteQuestion = "آيا مايل به حذف اين متقاضي مي باشيد ؟";
const char* const kStoredAnew =
    "اين متقاضي را ميز ديگري حذف كرده بود؛ آنچه نوشته بوديد دوباره ثبت شد.";

QString text(const char* utf8) {
    return QString::fromUtf8(utf8);
}

int field(const char* name) {
    return applicantField(name);
}

QString captionOf(const char* name) {
    return applicantFieldCaption(field(name));
}

const char* const kDeals = "معامله";

} // namespace

const std::vector<ApplicantForm::Command>& ApplicantForm::commands() {
    static const std::vector<Command> table = {
        {"applicantSave", "ذخيره", QKeySequence(Qt::CTRL | Qt::Key_S), &ApplicantForm::save},
        {"applicantListings", "فايلهاي مناسب اين متقاضي", QKeySequence(Qt::Key_F4),
         &ApplicantForm::listings},
        {"applicantContacted", "تماس امروز با متقاضي", QKeySequence(Qt::CTRL | Qt::Key_T),
         &ApplicantForm::contactedToday},
        {"applicantNew", "متقاضي جديد", QKeySequence(Qt::CTRL | Qt::Key_N),
         &ApplicantForm::startNew},
        // No key: a text box takes Ctrl+D as a deletion of its own.
        {"applicantDelete", "حذف متقاضي", QKeySequence(), &ApplicantForm::removeApplicant},
        {"applicantCancel", "انصراف از تغييرات", QKeySequence(), &ApplicantForm::cancel},
        {"applicantClose", "بستن", QKeySequence(Qt::Key_Escape), &ApplicantForm::closeForm},
    };
    return table;
}

ApplicantForm::ApplicantForm() : Screen(ScreenId::ApplicantForm) {
    // The program's Persian text face, as on every system.
    setFont(designFont(QStringLiteral("B Nazanin"), 12));
    setWindowTitle(text(kNewTitle));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    QMenu* menu = addMenuBarMenu(QStringLiteral("applicantMenu"), text(kMenuCaption));
    addScreenCommands(this, menu, commands());
}

void ApplicantForm::Form_Load() {
    // A store without applicants gets their table now: the form is opened
    // to type one in.
    const QString problem = prepareStore(activeStore(), applicantsTable());
    if (!problem.isEmpty()) {
        throw StoreError(problem);
    }
    data1_ = openRecordSource(applicantsTable());

    form_ = new QWidget;
    form_->setObjectName(QStringLiteral("applicantFields"));
    form_->setMaximumWidth(760);
    auto* grid = new QGridLayout(form_);
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(8);
    int row = 0;
    const auto caption = [&grid, &row](const QString& words) {
        auto* label = new QLabel(words + QStringLiteral(" :"));
        grid->addWidget(label, row, 0, Qt::AlignRight | Qt::AlignVCenter);
        return label;
    };
    const auto textBox = [this](const char* name) {
        auto* box = new BoundTextBox;
        box->setObjectName(QLatin1String(name));
        box->setAccessibleName(captionOf(name));
        box->bind(data1_, QLatin1String(name));
        boxes_[field(name)] = box;
        return box;
    };
    const auto flags = [this](const char* const* names, int count, int perLine) {
        auto* holder = new QWidget;
        auto* flagGrid = new QGridLayout(holder);
        flagGrid->setContentsMargins(0, 0, 0, 0);
        for (int i = 0; i < count; ++i) {
            auto* box = new BoundCheckBox;
            box->setObjectName(QLatin1String(names[i]));
            box->setText(captionOf(names[i]));
            box->bind(data1_, QLatin1String(names[i]));
            boxes_[field(names[i])] = box;
            flagGrid->addWidget(box, i / perLine, i % perLine);
        }
        return holder;
    };

    for (const char* name : {applicant::kName, applicant::kPhone}) {
        caption(captionOf(name));
        grid->addWidget(textBox(name), row++, 1, 1, 4);
    }
    caption(text(kDeals));
    grid->addWidget(flags(kDealFlags, 3, 3), row++, 1, 1, 4);
    caption(QStringLiteral("نوع ملك"));
    grid->addWidget(flags(kKindFlags, 6, 3), row++, 1, 1, 4);

    const QString districtsWords = QStringLiteral("منطقه (هر سطر يك منطقه)");
    caption(districtsWords);
    auto* districts = new BoundTextArea;
    districts->setObjectName(QLatin1String(applicant::kDistricts));
    districts->setAccessibleName(districtsWords);
    districts->setFixedHeight(districts->fontMetrics().lineSpacing() * 4 + 12);
    districts->bind(data1_, QLatin1String(applicant::kDistricts));
    boxes_[field(applicant::kDistricts)] = districts;
    grid->addWidget(districts, row++, 1, 1, 4);

    for (const ApplicantRange& range : kApplicantRanges) {
        caption(text(range.caption));
        grid->addWidget(new QLabel(QStringLiteral("از")), row, 1);
        grid->addWidget(textBox(range.fromField), row, 2);
        grid->addWidget(new QLabel(QStringLiteral("تا")), row, 3);
        grid->addWidget(textBox(range.toField), row, 4);
        ++row;
    }
    caption(captionOf(applicant::kNote));
    grid->addWidget(textBox(applicant::kNote), row++, 1, 1, 4);

    auto* closed = new BoundCheckBox;
    closed->setObjectName(QLatin1String(applicant::kClosed));
    closed->setText(QStringLiteral("بسته شده (در جستجوي فايل نيست)"));
    closed->bind(data1_, QLatin1String(applicant::kClosed));
    grid->addWidget(closed, row++, 1, 1, 4);

    dates_ = new QLabel;
    dates_->setObjectName(QStringLiteral("applicantDates"));
    grid->addWidget(dates_, row++, 0, 1, 5, Qt::AlignRight);
    grid->setColumnStretch(2, 1);
    grid->setColumnStretch(4, 1);
    connect(data1_, &RecordSource::rowChanged, this, [this] { showDates(); });
    connect(data1_, &RecordSource::fieldChanged, this, [this] { showDates(); });
    showDates();

    auto* page = new QWidget;
    auto* centre = new QHBoxLayout(page);
    centre->addStretch();
    centre->addWidget(form_, 0, Qt::AlignTop);
    centre->addStretch();
    auto* scroll = new QScrollArea;
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidget(page);
    layout()->addWidget(scroll);
}

void ApplicantForm::Form_Activate() {
    if (QWidget* box = boxes_[field(applicant::kName)]; box && !isAncestorOf(focusWidget())) {
        box->setFocus(Qt::OtherFocusReason);
    }
}

long long ApplicantForm::applicantId() const {
    return data1_ ? data1_->currentRowId() : 0;
}

void ApplicantForm::showDates() {
    if (!data1_) {
        return;
    }
    const QString registered = data1_->text(field(applicant::kRegistered));
    const QString contacted = data1_->text(field(applicant::kContacted));
    const QString none = QStringLiteral("—");
    dates_->setText(QStringLiteral("تاريخ ثبت: %1      آخرين تماس: %2")
                        .arg(registered.isEmpty() ? none : persianDigits(registered),
                             contacted.isEmpty() ? none : persianDigits(contacted)));
    const QString name = data1_->text(field(applicant::kName)).trimmed();
    setWindowTitle(data1_->isNewRow() && name.isEmpty() ? text(kNewTitle)
                                                        : QStringLiteral("متقاضي: %1").arg(name));
}

bool ApplicantForm::typedRightly() {
    if (!data1_ || !data1_->hasCurrentRow()) {
        return true;
    }
    const std::optional<ApplicantProblem> problem = applicantProblem(data1_->values());
    if (!problem) {
        return true;
    }
    // A mistake in the deals names them all.
    const QString box = problem->field == field(kDealFlags[0])
                            ? text(kDeals)
                            : applicantFieldCaption(problem->field);
    MessageBox::show(QStringLiteral("%1\n%2: %3").arg(inputErrorText(), box, problem->why),
                     inputErrorTitle(), MessageBox::Icon::Exclamation, MessageBox::Buttons::Ok);
    if (QWidget* where = boxes_[problem->field]) {
        where->setFocus(Qt::OtherFocusReason);
    }
    return false;
}

bool ApplicantForm::store() {
    if (!data1_ || !data1_->hasCurrentRow() || !data1_->isChanged()) {
        return true;
    }
    if (!typedRightly()) {
        return false;
    }
    try {
        if (data1_->isNewRow()) {
            const QString today = solarToday();
            for (const char* date : {applicant::kRegistered, applicant::kContacted}) {
                if (data1_->text(field(date)).isEmpty()) {
                    data1_->setText(field(date), today);
                }
            }
        }
        data1_->Update();
    } catch (const StoreError& error) {
        showStoreError(error);
        return false;
    }
    if (data1_->wasStoredAnew()) {
        MessageBox::show(text(kStoredAnew), applicantsTitle(), MessageBox::Icon::Exclamation,
                         MessageBox::Buttons::Ok);
    }
    return true;
}

void ApplicantForm::startNew() {
    if (!data1_ || !store()) {
        return;
    }
    try {
        data1_->AddNew();
    } catch (const StoreError& error) {
        showStoreError(error);
        return;
    }
    if (QWidget* box = boxes_[field(applicant::kName)]) {
        box->setFocus(Qt::OtherFocusReason);
    }
}

bool ApplicantForm::showApplicant(long long id) {
    if (!data1_ || !store()) {
        return false;
    }
    try {
        if (!data1_->MoveTo(id)) {
            showApplicantDeleted();
            return false;
        }
    } catch (const StoreError& error) {
        showStoreError(error);
        return false;
    }
    return true;
}

void ApplicantForm::save() {
    store();
}

void ApplicantForm::listings() {
    if (store() && applicantId() != 0) {
        showApplicantListings(applicantId());
    }
}

void ApplicantForm::contactedToday() {
    if (!data1_ || !data1_->hasCurrentRow()) {
        return;
    }
    data1_->setText(field(applicant::kContacted), solarToday());
    store();
}

void ApplicantForm::removeApplicant() {
    if (!data1_ || !data1_->hasCurrentRow()) {
        return;
    }
    if (MessageBox::show(text(kDeleteQuestion), applicantsTitle(), MessageBox::Icon::Exclamation,
                         MessageBox::Buttons::YesNo) != MessageBox::vbYes) {
        return;
    }
    try {
        data1_->Delete();
    } catch (const StoreError& error) {
        showStoreError(error);
        return;
    }
    unload();
}

void ApplicantForm::cancel() {
    if (data1_) {
        try {
            data1_->CancelUpdate();
        } catch (const StoreError& error) {
            showStoreError(error);
            return;
        }
    }
    unload();
}

void ApplicantForm::closeForm() {
    unload();
}

bool ApplicantForm::Form_QueryUnload() {
    return store();
}

} // namespace velmoran
