#pragma once

#include "ui/screen.h"

class QAction;
class QLineEdit;
class QMenu;

namespace velmoran {

class ListingApplicantsLine;
class ListingForm;
class RecordSource;

// The new-listing entry screen: the listing layout bound to a record source of
// its own on table `new`, always on a new row. Its menu FILE (SAVE, CANCEL,
// print) stands in the main window's menu bar while it is the active child.
class Form1 : public Screen {
    Q_OBJECT
public:
    Form1();

    RecordSource* Data1() const { return data1_; }
    ListingForm* listingForm() const { return form_; }

    // The menu commands.
    void SAVE_Click();
    void CANCEL_Click();
    void print_Click();

protected:
    void Form_Load() override;
    // A new blank row, the focus in the owner box. Storing a changed pending
    // row comes first (the record source's write-back).
    void Form_Activate() override;

    // Ctrl+C is CANCEL here, also in a text box, where it would be copy.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* box(const char* objectName) const;
    // Runs an operation of Data1; a failure of the file is shown, naming the
    // problem, and leaves the typed row where it is. False then.
    bool run(void (RecordSource::*operation)());

    RecordSource* data1_ = nullptr;
    ListingForm* form_ = nullptr;
    QMenu* FILE_ = nullptr;
    QAction* SAVE_ = nullptr;
    QAction* CANCEL_ = nullptr;
    QAction* print_ = nullptr;
    // The listing just saved: how many applicants it fits (Ctrl+M opens them).
    ListingApplicantsLine* applicants_ = nullptr;
};

} // namespace velmoran
