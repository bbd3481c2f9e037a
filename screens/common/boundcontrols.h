#pragma once

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>

#include "data/store/recordsource.h"

#include <functional>

namespace velmoran {

// What a bound control knows of its field: the record source (DataSource),
// the field (DataField) and whether it is showing the row right now, so that
// showing a row never counts as a change.
class FieldBinding {
public:
    // Binds `control` and calls `show` now and whenever the current row or
    // this field changes.
    void bind(QObject* control, RecordSource* source, const QString& field,
              std::function<void()> show);

    RecordSource* source() const { return source_; }
    const QString& field() const { return field_; }
    int index() const { return index_; }
    // True while the control takes a change of its own value as the user's.
    bool acceptsChange() const { return !showing_ && source_ && index_ >= 0; }
    // Runs `apply` (which sets the control's value) as a display, not a change.
    void display(const std::function<void()>& apply);

private:
    QPointer<RecordSource> source_;
    QString field_;
    int index_ = -1;
    bool showing_ = false;
};

// A text box bound to one field: it shows the field of the current row; a
// change of its text, typed or set by code, changes the field.
class BoundTextBox : public QLineEdit {
    Q_OBJECT
public:
    explicit BoundTextBox(QWidget* parent = nullptr);

    void bind(RecordSource* dataSource, const QString& dataField);
    RecordSource* dataSource() const { return binding_.source(); }
    QString dataField() const { return binding_.field(); }

private:
    void showField();
    // Its text whole in its place: the design font, or smaller for a long
    // number (textfit.h).
    void fitText();

    FieldBinding binding_;
    QFont designFont_;
    QFont fittedFont_;
};

// A check box bound to a flag: ticked is true (-1), clear is false (0).
class BoundCheckBox : public QCheckBox {
    Q_OBJECT
public:
    explicit BoundCheckBox(QWidget* parent = nullptr);

    void bind(RecordSource* dataSource, const QString& dataField);
    RecordSource* dataSource() const { return binding_.source(); }
    QString dataField() const { return binding_.field(); }

private:
    void showField();

    FieldBinding binding_;
};

// A box of several lines bound to one text field, a line a value (the
// districts an applicant asks for). Lines end in "\n" as stored.
class BoundTextArea : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit BoundTextArea(QWidget* parent = nullptr);

    void bind(RecordSource* dataSource, const QString& dataField);
    RecordSource* dataSource() const { return binding_.source(); }
    QString dataField() const { return binding_.field(); }

private:
    void showField();

    FieldBinding binding_;
};

} // namespace velmoran
