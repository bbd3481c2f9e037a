#pragma once

#include "ui/screen.h"

class QLineEdit;
class QPushButton;

namespace velmoran {

class ListingApplicantsLine;
class ListingForm;
class RecordSource;

// The edit view: the listing layout (its edit variant) bound to a record
// source of its own on table `new`, standing on the first listing when it
// opens. It has no menu and no code on activation; a change typed into its
// fields is stored by the record source when a find of the edit panel moves
// it, and when the screen unloads. Its one button opens the edit panel
// (Form8), which finds and deletes listings on this screen's record source.
class Form7 : public Screen {
    Q_OBJECT
public:
    Form7();

    RecordSource* Data1() const { return data1_; }
    ListingForm* listingForm() const { return form_; }
    QPushButton* Command1() const { return command1_; }
    // The owner box, bound to `malek`: the delete question names its text.
    QLineEdit* Text1() const;

    // "جستجو": shows the edit panel, made on first use.
    void Command1_Click();

protected:
    void Form_Load() override;

private:
    RecordSource* data1_ = nullptr;
    ListingForm* form_ = nullptr;
    QPushButton* command1_ = nullptr;
    // Beside the listing: how many applicants it fits (Ctrl+M opens them).
    ListingApplicantsLine* applicants_ = nullptr;
};

} // namespace velmoran
