// The edit panel: three price rows and the owner row, each a row of data for
// the one find press, and the delete.
#include "screens/edit/form8.h"

#include "data/store/recordsource.h"
#include "platform/messagebox.h"
#include "screens/edit/form7.h"
#include "ui/screens.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QPointer>

#include <iterator>

namespace velmoran {

namespace {

// The controls as designed, in twips; left 0 is the panel's left edge. A row
// reads from the right: its label, the low bound, search over next, the high
// bound (the delete button in the owner row).
// clang-format off
const PanelControl kControls[] = {
    {"Label72", PanelControl::Label, " جستجو بر حسب قيمت فروش", PanelFont::DealLabel, 3900, 0, 2655, 390, 14},
    {"Text56", PanelControl::TextBox, nullptr, PanelFont::Box, 2340, 0, 1380, 420, 10},
    {"Command1", PanelControl::Button, "جستجو", PanelFont::Default, 1365, 0, 990, 210, 8},
    {"Command2", PanelControl::Button, "بعدي", PanelFont::Default, 1365, 195, 990, 210, 9},
    {"Text68", PanelControl::TextBox, nullptr, PanelFont::Box, 0, 0, 1380, 420, 11},
    {"Label1", PanelControl::Label, " جستجو بر حسب قيمت رهـن", PanelFont::DealLabel, 3960, 585, 2595, 390, 13},
    {"Text2", PanelControl::TextBox, nullptr, PanelFont::Box, 2340, 585, 1380, 420, 6},
    {"Command4", PanelControl::Button, "جستجو", PanelFont::Default, 1365, 585, 990, 210, 4},
    {"Command3", PanelControl::Button, "بعدي", PanelFont::Default, 1365, 780, 990, 210, 5},
    {"Text1", PanelControl::TextBox, nullptr, PanelFont::Box, 0, 585, 1380, 420, 7},
    {"Label2", PanelControl::Label, " جستجو بر حسب قيمت اجاره", PanelFont::DealLabel, 3930, 1170, 2625, 390, 12},
    {"Text4", PanelControl::TextBox, nullptr, PanelFont::Box, 2340, 1170, 1380, 420, 2},
    {"Command6", PanelControl::Button, "جستجو", PanelFont::Default, 1365, 1170, 990, 210, 0},
    {"Command5", PanelControl::Button, "بعدي", PanelFont::Default, 1365, 1365, 990, 210, 1},
    {"Text3", PanelControl::TextBox, nullptr, PanelFont::Box, 0, 1170, 1380, 420, 3},
    {"Label3", PanelControl::Label, "جستجو بر حسب نام مالك  ", PanelFont::DealLabel, 3900, 1755, 2355, 390, 15},
    {"Text5", PanelControl::TextBox, nullptr, PanelFont::Box, 2340, 1755, 1380, 420, 17},
    {"Command7", PanelControl::Button, "جستجو", PanelFont::Default, 1365, 1755, 990, 210, 16},
    {"Command8", PanelControl::Button, "بعدي", PanelFont::Default, 1365, 1950, 990, 210, 18},
    {"Command9", PanelControl::Button, "حذف", PanelFont::Command, 0, 1755, 1380, 405, 19},
};

// The find buttons: the row's boxes (low and high price, or the owner), the
// closing piece of its criterion, the word between the two prices in its
// not-found message, the message's closing text, and, where the row clears
// the price boxes after a no-match, the box that gets the focus then.
const FindButton kButtons[] = {
    {"Command1", FindKind::First, CriterionShape::PriceDeal, {"Text56", "Text68"}, "' and  fooroosh = -1  ", "تا", " هيچ فايلي در بانك اطلاعاتي وجود ندارد", "Text56", true},
    {"Command2", FindKind::Next, CriterionShape::PriceDeal, {"Text56", "Text68"}, "' and  fooroosh = -1  ", "تا", " فقط همين تعداد فايل در بانك اطلاعاتي وجود دارد ", nullptr, false},
    {"Command4", FindKind::First, CriterionShape::PriceDeal, {"Text2", "Text1"}, "' and  rahn = -1  ", "تا", " هيچ فايلي در بانك اطلاعاتي وجود ندارد ", "Text2", true},
    {"Command3", FindKind::Next, CriterionShape::PriceDeal, {"Text2", "Text1"}, "' and  rahn = -1  ", "تا", " فقط همين تعداد فايل در بانك اطلاعاتي وجود دارد", nullptr, false},
    {"Command6", FindKind::First, CriterionShape::PriceDeal, {"Text4", "Text3"}, "' and  ejareh = -1  ", "تا", " هيچ فايلي در بانك اطلاعاتي وجود ندارد ", "Text4", true},
    {"Command5", FindKind::Next, CriterionShape::PriceDeal, {"Text4", "Text3"}, "' and  ejareh = -1  ", "تا", " فقط همين تعداد فايل در بانك اطلاعاتي وجود دارد ", "Text4", true},
    {"Command7", FindKind::First, CriterionShape::Owner, {"Text5"}, nullptr, nullptr, " هيچ فايلي در بانك اطلاعاتي وجود ندارد ", "Text5", true},
    {"Command8", FindKind::Next, CriterionShape::Owner, {"Text5"}, nullptr, nullptr, " همين تعداد فايل در بانك اطلاعاتي وجود دارد ", "Text5", true},
};
// clang-format on

const char* const kCaption = "جستجو براي حذف يا ويرايش ";

// The delete's question and its failure.
const char* const kDeleteQuestionOpening = "ايا مايل به حذف فايل مالك ";
const char* const kDeleteQuestionClosing = " مي باشيد ؟";
const char* const kDeleteQuestionTitle = "حذف فايل ";
const char* const kNothingToDelete = "فايلي براي حذف وجود ندارد";
const char* const kNothingToDeleteTitle = "خطا در استفاده كاربر . . . ";

// The boxes clearallcommands empties, in its order.
const char* const kPriceBoxes[] = {"Text1", "Text2", "Text68", "Text56", "Text3", "Text4"};

QString text(const char* utf8) {
    return QString::fromUtf8(utf8);
}

} // namespace

const PanelDesign& Form8::panelDesign() {
    static const PanelDesign design = {
        kControls, std::size(kControls), kButtons, std::size(kButtons), 6705, 2340, false, kCaption,
        true,
    };
    return design;
}

Form8::Form8()
    : SearchPanel(ScreenId::Form8, panelDesign(), ScreenId::Form7, [this] { clearallcommands(); }) {
    if (auto* remove = findChild<QAbstractButton*>(QStringLiteral("Command9"))) {
        connect(remove, &QAbstractButton::clicked, this, [this] { Command9_Click(); });
    }
}

void Form8::clearallcommands() {
    for (const char* name : kPriceBoxes) {
        if (QLineEdit* edit = box(QLatin1String(name))) {
            edit->setText(QString());
        }
    }
}

void Form8::Command9_Click() {
    QPointer<Form8> guard = this;
    bool opened = false;
    QPointer<RecordSource> source = targetRecordSource(target(), &opened);
    if (!guard) {
        return;
    }
    // The panel stays the active window: after the edit view was opened in
    // the main window, and after a message, which a window manager may end by
    // activating the main window.
    const auto activate = [this] {
        if (isVisible()) {
            raise();
            activateWindow();
        }
    };
    if (opened) {
        activate();
        if (auto* remove = findChild<QAbstractButton*>(QStringLiteral("Command9"))) {
            remove->setFocus(Qt::OtherFocusReason);
        }
    }
    if (!source) {
        return; // the edit view could not be opened; the reason was shown
    }

    // The owner as the edit view shows it; empty when it shows no listing.
    auto* view = Screens::instance().find<Form7>(target());
    QLineEdit* owner = view ? view->Text1() : nullptr;
    const int answer = MessageBox::show(
        text(kDeleteQuestionOpening) + (owner ? owner->text() : QString()) +
            text(kDeleteQuestionClosing),
        text(kDeleteQuestionTitle), MessageBox::Icon::None, MessageBox::Buttons::YesNo);
    if (!guard) {
        return;
    }
    activate();
    if (answer == MessageBox::vbYes && source) {
        deleteShown(*source);
        if (guard) {
            activate();
        }
    }
}

void Form8::deleteShown(RecordSource& source) {
    if (!source.hasCurrentRow()) {
        MessageBox::show(text(kNothingToDelete), text(kNothingToDeleteTitle),
                         MessageBox::Icon::None, MessageBox::Buttons::Ok);
        return;
    }
    try {
        source.Delete(); // stored at once, in a transaction of its own
    } catch (const StoreError& error) {
        // The file refused (locked, read-only): its own message names it;
        // the listing stays.
        showStoreError(error);
        return;
    }
    try {
        // After the last listing went the table is empty: the edit view shows
        // empty fields, and the delete did what was asked.
        source.tryMoveFirst();
    } catch (const StoreError& error) {
        showStoreError(error);
    }
}

} // namespace velmoran
