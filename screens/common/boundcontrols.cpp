#include "screens/common/boundcontrols.h"

#include "data/store/recordsource.h"
#include "platform/widgets/textfit.h"

#include <limits>

namespace velmoran {

void FieldBinding::bind(QObject* control, RecordSource* source, const QString& field,
                        std::function<void()> show) {
    if (source_) {
        QObject::disconnect(source_, nullptr, control, nullptr);
    }
    source_ = source;
    field_ = field;
    index_ = source ? source->tableSpec().indexOf(field) : -1;
    if (source) {
        QObject::connect(source, &RecordSource::rowChanged, control, show);
        QObject::connect(source, &RecordSource::fieldChanged, control, [this, show](int changed) {
            if (changed == index_) {
                show();
            }
        });
    }
    show();
}

void FieldBinding::display(const std::function<void()>& apply) {
    showing_ = true;
    apply();
    showing_ = false;
}

BoundTextBox::BoundTextBox(QWidget* parent) : QLineEdit(parent) {
    // A field's text is taken whole, however long (a memo brought over from
    // Access): a text box cuts at 32767 characters unless told otherwise, and
    // the first key typed would store the cut text.
    setMaxLength(std::numeric_limits<int>::max());
    // Right-aligned whatever it holds: a box would align a number to the
    // left and a Persian word to the right, and a column of them looks ragged.
    setAlignment(Qt::AlignRight | Qt::AlignAbsolute | Qt::AlignVCenter);
    connect(this, &QLineEdit::textChanged, this, [this] { fitText(); });
    connect(this, &QLineEdit::textChanged, this, [this](const QString& value) {
        if (binding_.acceptsChange()) {
            binding_.source()->setText(binding_.index(), value);
        }
    });
}

void BoundTextBox::bind(RecordSource* dataSource, const QString& dataField) {
    binding_.bind(this, dataSource, dataField, [this] { showField(); });
}

namespace {
// The longest text a box makes smaller to show whole.
constexpr int kLongestFitted = 40;
} // namespace

void BoundTextBox::fitText() {
    if (font() != fittedFont_) {
        designFont_ = font(); // set from outside: the design font
    }
    // A number or a short text is fitted; a long text scrolls as it always
    // did, in the design font.
    fittedFont_ =
        text().size() <= kLongestFitted ? fittingFont(this, designFont_, text()) : designFont_;
    if (fittedFont_ != font()) {
        setFont(fittedFont_);
    }
}

void BoundTextBox::showField() {
    // With no row to hold it (an empty table, the listing just deleted) what
    // is typed would go nowhere: the box takes no typing then.
    setReadOnly(binding_.source() && !binding_.source()->hasCurrentRow());
    const QString value = binding_.source() && binding_.index() >= 0
                              ? binding_.source()->text(binding_.index())
                              : QString();
    if (value != text()) {
        binding_.display([&] { setText(value); });
    }
}

BoundCheckBox::BoundCheckBox(QWidget* parent) : QCheckBox(parent) {
    connect(this, &QCheckBox::toggled, this, [this](bool checked) {
        if (binding_.acceptsChange()) {
            binding_.source()->setFlag(binding_.index(), checked);
        }
    });
}

void BoundCheckBox::bind(RecordSource* dataSource, const QString& dataField) {
    binding_.bind(this, dataSource, dataField, [this] { showField(); });
}

void BoundCheckBox::showField() {
    setEnabled(!binding_.source() || binding_.source()->hasCurrentRow());
    const bool value =
        binding_.source() && binding_.index() >= 0 && binding_.source()->flag(binding_.index());
    if (value != isChecked()) {
        binding_.display([&] { setChecked(value); });
    }
}

BoundTextArea::BoundTextArea(QWidget* parent) : QPlainTextEdit(parent) {
    setTabChangesFocus(true);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        if (binding_.acceptsChange()) {
            binding_.source()->setText(binding_.index(), toPlainText());
        }
    });
}

void BoundTextArea::bind(RecordSource* dataSource, const QString& dataField) {
    binding_.bind(this, dataSource, dataField, [this] { showField(); });
}

void BoundTextArea::showField() {
    setReadOnly(binding_.source() && !binding_.source()->hasCurrentRow());
    const QString value = binding_.source() && binding_.index() >= 0
                              ? binding_.source()->text(binding_.index())
                              : QString();
    if (value != toPlainText()) {
        binding_.display([&] { setPlainText(value); });
    }
}

} // namespace velmoran
