#pragma once

#include "ui/screen.h"

#include <QKeySequence>

#include <map>
#include <vector>

class QLabel;
class QWidget;

namespace velmoran {

class RecordSource;

// One applicant, typed in or edited: a child of the main window with a
// menu of its own, its boxes bound to a record source on the applicants'
// table (`Data1`) as the listing screens' boxes are. A change is stored by
// Ctrl+S, before another applicant is shown, and when the form closes; an
// applicant with a mistake (applicantProblem, applicants.h) is not stored,
// and the input-error message names the box. The dates are set by the
// program: the day it was first stored, and the day it was last contacted.
class ApplicantForm : public Screen {
    Q_OBJECT
public:
    ApplicantForm();

    RecordSource* Data1() const { return data1_; }
    // The applicant shown, 0 for a new one not stored yet.
    long long applicantId() const;

    // A new applicant, after the one shown is stored.
    void startNew();
    // Applicant `id`, after the one shown is stored. False when it is not
    // there (the message was shown) or the one shown could not be stored.
    bool showApplicant(long long id);

    // The menu's commands.
    void save();
    void listings();
    void contactedToday();
    void removeApplicant();
    void cancel();
    void closeForm();

    // One command of the menu «متقاضي»: a row of its table.
    struct Command {
        const char* objectName;
        const char* caption;
        QKeySequence key;
        void (ApplicantForm::*run)();
    };
    static const std::vector<Command>& commands();

protected:
    void Form_Load() override;
    void Form_Activate() override;
    bool Form_QueryUnload() override;

private:
    // Checks what is typed; a mistake is shown, naming its box, which takes
    // the cursor. False then.
    bool typedRightly();
    // Stores a change, the dates of a new applicant set first; true when
    // nothing is left unstored.
    bool store();
    void showDates();

    RecordSource* data1_ = nullptr;
    QWidget* form_ = nullptr;
    std::map<int, QWidget*> boxes_; // by applicant field
    QLabel* dates_ = nullptr;
};

} // namespace velmoran
