#include "screens/entry/form1.h"

#include "data/store/recordsource.h"
#include "platform/messagebox.h"
#include "platform/print.h"
#include "platform/widgets/printqt.h"
#include "screens/applicants/listingapplicants.h"
#include "screens/common/listinglayout.h"

#include <QAction>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QVBoxLayout>

namespace velmoran {

namespace {

// The screen's own texts.
const char* const kFileMenu = "         فايل            ";
const char* const kSaveCaption = "     ذخيره";
const char* const kCancelCaption = "    انصراف  ";
const char* const kPrintCaption = "چاپ     ";
const char* const kFieldsMissing = "لطفا در وارد كردن فيلدها دقت لازم را مبذول بفرمائيد";
const char* const kFieldsMissingTitle = "خطا در وارد كردن ";
const char* const kAnotherFile = "آيا مايل به وارد كردن فايل ديگري هستيد؟";
const char* const kAnotherFileTitle = "اضافه كردن فايل جديد . . . ";
const char* const kPrintQuestion = "آيا مايل به چاپ اين فرم مي باشيد ؟";
const char* const kPrintTitle = "چاپ فرم . . .  ";
// Our own, for a listing the file would not take.
const char* const kStoreFailedTitle = "خطا در ذخيره فايل";

QString text(const char* utf8) {
    return QString::fromUtf8(utf8);
}

} // namespace

Form1::Form1() : Screen(ScreenId::Form1) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);

    FILE_ = addMenuBarMenu(QStringLiteral("FILE"), text(kFileMenu));
    SAVE_ = FILE_->addAction(text(kSaveCaption));
    SAVE_->setObjectName(QStringLiteral("SAVE"));
    SAVE_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    CANCEL_ = FILE_->addAction(text(kCancelCaption));
    CANCEL_->setObjectName(QStringLiteral("CANCEL"));
    CANCEL_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    // A plain line: its caption "-" is not drawn.
    QAction* line = FILE_->addSeparator();
    line->setObjectName(QStringLiteral("mnuline01"));
    print_ = FILE_->addAction(text(kPrintCaption));
    print_->setObjectName(QStringLiteral("print"));
    print_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));

    connect(SAVE_, &QAction::triggered, this, [this] { SAVE_Click(); });
    connect(CANCEL_, &QAction::triggered, this, [this] { CANCEL_Click(); });
    connect(print_, &QAction::triggered, this, [this] { print_Click(); });
}

void Form1::Form_Load() {
    data1_ = openRecordSource(listingsTable());
    form_ = new ListingForm(data1_, ListingVariant::Entry);
    layout()->addWidget(listingView(form_, this));
    applicants_ = new ListingApplicantsLine(this, true);
    layout()->addWidget(applicants_);
    for (QLineEdit* edit : form_->findChildren<QLineEdit*>()) {
        edit->installEventFilter(this);
    }
}

void Form1::Form_Activate() {
    if (!data1_) {
        return;
    }
    // When the changed row can't be stored first, it stays on the screen.
    if (!run(&RecordSource::AddNew)) {
        return;
    }
    if (QLineEdit* owner = box("Text1")) {
        owner->setFocus(Qt::OtherFocusReason);
    }
}

QLineEdit* Form1::box(const char* objectName) const {
    return form_ ? form_->findChild<QLineEdit*>(QLatin1String(objectName)) : nullptr;
}

bool Form1::run(void (RecordSource::*operation)()) {
    try {
        (data1_->*operation)();
        return true;
    } catch (const StoreError& error) {
        MessageBox::show(error.message(), text(kStoreFailedTitle), MessageBox::Icon::Critical,
                         MessageBox::Buttons::Ok);
        return false;
    }
}

void Form1::SAVE_Click() {
    if (!data1_) {
        return;
    }
    // Owner, date and unit, in this order; blanks count as filled.
    for (const char* name : {"Text1", "Text6", "Text16"}) {
        const QLineEdit* required = box(name);
        if (!required || required->text().isEmpty()) {
            MessageBox::show(text(kFieldsMissing), text(kFieldsMissingTitle),
                             MessageBox::Icon::Critical, MessageBox::Buttons::Ok);
            return;
        }
    }
    if (!run(&RecordSource::Update)) {
        return;
    }
    // Told on the screen, under the question that follows.
    applicants_->showFor(*data1_);
    if (MessageBox::show(text(kAnotherFile), text(kAnotherFileTitle), MessageBox::Icon::None,
                         MessageBox::Buttons::YesNo) == MessageBox::vbYes) {
        Form_Activate();
    } else {
        unload();
    }
}

void Form1::CANCEL_Click() {
    if (data1_ && !run(&RecordSource::CancelUpdate)) {
        return;
    }
    unload();
}

void Form1::print_Click() {
    if (MessageBox::show(text(kPrintQuestion), text(kPrintTitle), MessageBox::Icon::None,
                         MessageBox::Buttons::YesNo) != MessageBox::vbYes ||
        !form_) {
        return;
    }
    // The job is named after the listing: its owner.
    const QLineEdit* owner = box("Text1");
    QString title = owner ? owner->text().trimmed() : QString();
    if (title.isEmpty()) {
        title = QStringLiteral("velmoran");
    }
    const Print::Outcome outcome = Print::printPage(Print::widgetPage(form_), title);
    const QString message = Print::outcomeMessage(outcome);
    if (!message.isEmpty()) {
        MessageBox::show(message, text(kPrintTitle),
                         outcome.kind == Print::Outcome::Failed ? MessageBox::Icon::Critical
                                                                : MessageBox::Icon::None,
                         MessageBox::Buttons::Ok);
    }
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (QKeySequence(key->keyCombination()) == CANCEL_->shortcut()) {
            // Left to the shortcut, not taken by the text box as copy.
            event->ignore();
            return true;
        }
    }
    return Screen::eventFilter(watched, event);
}

} // namespace velmoran
