#pragma once

#include "ui/screen.h"

#include <QKeySequence>

#include <vector>

class QLabel;
class QLineEdit;
class QTableView;

namespace velmoran {

class ApplicantModel;

// The applicants, as a list beside the listing screens: a child of the main
// window with a menu of its own, a search box over the rows (name or
// telephone) and, in each row, how many listings fit the applicant now.
// Opened on every applicant (the main menu's «متقاضيان») or on the active
// applicants a listing fits (Ctrl+M on the listing screens). Enter or a
// double-click opens the applicant's form; F4 lists its listings; a click on
// a heading, or Ctrl+R on a column, sorts by it. It is read again each time
// it comes forward.
class ApplicantList : public Screen {
    Q_OBJECT
public:
    ApplicantList();

    void showAll();
    // The active applicants that listing `listingId` fits.
    void showForListing(long long listingId);

    QTableView* table() const { return table_; }
    ApplicantModel* model() const { return model_; }
    QLabel* status() const { return status_; }
    QLineEdit* searchBox() const { return search_; }
    // The listing whose applicants are shown, 0 for every applicant.
    long long listing() const { return listing_; }

    // The menu's commands.
    void newApplicant();
    void openCurrent();
    void listingsOfCurrent();
    void contactedToday();
    void sortByCurrentColumn();
    void findByName();
    void closeList();

    struct Command {
        const char* objectName;
        const char* caption;
        QKeySequence key;
        void (ApplicantList::*run)();
    };
    static const std::vector<Command>& commands();

protected:
    void Form_Load() override;
    void Form_Activate() override;

private:
    // Reads the applicants again, the cursor kept on its applicant.
    void reload();
    void updateStatus();
    long long currentId() const;

    ApplicantModel* model_ = nullptr;
    QTableView* table_ = nullptr;
    QLabel* status_ = nullptr;
    QLineEdit* search_ = nullptr;
    long long listing_ = 0;
};

} // namespace velmoran
