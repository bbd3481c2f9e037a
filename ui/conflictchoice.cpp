#include "ui/conflictchoice.h"

#include "data/core/applicants.h"
#include "data/core/fieldcaptions.h"
#include "data/core/storemessages.h"
#include "platform/messagebox.h"

namespace velmoran {

namespace {

// A field's value as the question shows it.
QString shown(const TableSpec& tableSpec, int field, const QString& text, bool flag) {
    if (tableSpec.fields[field].kind == FieldKind::Flag) {
        return flag ? QStringLiteral("زده شده (✓)") : QStringLiteral("زده نشده");
    }
    return text.isEmpty() ? QStringLiteral("(خالي)") : isolated(text);
}

QString captionOf(const TableSpec& tableSpec, int field) {
    if (tableSpec.fields == listingsTable().fields) {
        return listingFieldCaptions().value(field);
    }
    if (tableSpec.fields == applicantsTable().fields) {
        return applicantFieldCaption(field);
    }
    return QString::fromLatin1(tableSpec.fields[field].name);
}

} // namespace

bool askWhichToKeep(const TableSpec& tableSpec, const std::vector<FieldConflict>& conflicts,
                    const RowValues& ours, std::vector<bool>& keepTheirs) {
    keepTheirs.assign(conflicts.size(), false);
    for (std::size_t c = 0; c < conflicts.size(); ++c) {
        const FieldConflict& conflict = conflicts[c];
        const int field = conflict.field;
        const QString text =
            QStringLiteral(
                "«%1» اين فايل را ميز ديگري پس از آنكه شما آن را خوانديد تغيير داده است.\n\n"
                "نوشته شما: %2\nنوشته ميز ديگر: %3\n\n"
                "نوشته شما نگه داشته شود؟ «خير» نوشته ميز ديگر را نگه مي دارد؛ "
                "«انصراف» چيزي ذخيره نمي كند و فايل روي صفحه مي ماند.")
                .arg(captionOf(tableSpec, field),
                     shown(tableSpec, field, ours.texts[field], ours.flags[field]),
                     shown(tableSpec, field, conflict.text, conflict.flag));
        const int answer =
            MessageBox::show(text, QStringLiteral("تغيير همزمان در ميز ديگر"),
                             MessageBox::Icon::Exclamation, MessageBox::Buttons::YesNoCancel);
        if (answer == MessageBox::vbCancel) {
            return false;
        }
        keepTheirs[c] = answer == MessageBox::vbNo;
    }
    return true;
}

} // namespace velmoran
