#pragma once

#include "ui/screen.h"

#include <QKeySequence>

#include <functional>
#include <future>
#include <memory>
#include <vector>

class QLabel;
class QTableView;

namespace velmoran {

class Criterion;
class MatchModel;
class TableStore;

// The list of the listings a find matches, beside the listing screens: a
// child of the main window with a menu of its own. Opened by F4 on the
// search screen and on the edit view (their last find's criterion, or every
// listing before any find) and on the main window (every listing, newest
// first). Enter or a double-click shows the listing on the screen the list
// came from (the edit view for the main window's), as if a find had stopped
// on it; a click on a heading, or Ctrl+R on a column, sorts by it.
class MatchList : public Screen {
    Q_OBJECT
public:
    // Where a list came from, and where its listings open.
    // Applicant: the listings that fit one applicant (they open in the edit
    // view).
    enum class Origin { Search, Edit, Main, Applicant };

    MatchList();
    ~MatchList() override;

    // Lists the matches of `criterion` (null: every listing) for `origin`.
    void showMatches(Origin origin, const Criterion* criterion);
    // Lists the listings that fit applicant `id`, marking those dated after
    // the applicant was last contacted. False when the applicant is not
    // there (the message was shown).
    bool showApplicantMatches(long long id);
    // The applicant shown, 0 for a find's list.
    long long applicant() const { return applicant_; }

    QTableView* table() const { return table_; }
    MatchModel* model() const { return model_; }
    QLabel* status() const { return status_; }
    Origin origin() const { return origin_; }

    // The menu's commands.
    void openCurrent();
    void sortByCurrentColumn();
    void closeList();
    // Adds listings from a spreadsheet (the preview of sheetimport.h), then
    // reads the list again.
    void importSheet();
    // Writes the listed rows, in the order shown, into an .xlsx or a .csv
    // file the user names: the cells of velmoran-cli export.
    void exportRows();
    // Prints the list: a landscape table of every row shown (listprint.h).
    void printRows();
    // Marks the applicant shown as contacted today; the marks go.
    void contactedToday();
    // The criterion in words, as the caption and the printout say it.
    const QString& described() const { return described_; }

    // One command of the menu «فهرست»: a row of its table.
    struct Command {
        const char* objectName;
        const char* caption;
        QKeySequence key;
        void (MatchList::*run)();
    };
    static const std::vector<Command>& commands();

protected:
    void Form_Load() override;

private:
    void updateStatus();
    // Shows `model`, which replaces the list's model.
    void takeModel(MatchModel* model);

    std::unique_ptr<TableStore> store_;
    // The count of the matches under way on its own thread (countInBackground).
    void countInBackground();
    void waitForCount();
    std::future<void> count_;
    int countGeneration_ = 0;
    MatchModel* model_ = nullptr;
    QTableView* table_ = nullptr;
    QLabel* status_ = nullptr;
    Origin origin_ = Origin::Main;
    long long applicant_ = 0;
    QString described_;
};

// Opens (or brings forward) the list for `origin`: the search screen's or
// the edit view's last criterion, every listing for the main window.
void showMatchList(MatchList::Origin origin);

// The message for a listing another desk deleted while it was shown.
void showListingDeleted();

// Opens (or brings forward) the list on the listings that fit applicant `id`.
void showApplicantListings(long long id);

// F4 on `screen` (the search screen, the edit view): the list of its last
// find. The key is the screen's own, since its menu stands in place of the
// main menu while it is active; no menu item carries it.
void addMatchListKey(Screen* screen, MatchList::Origin origin);

// A criterion in words, for the caption and the printout.
QString describeCriterion(const Criterion* criterion);

} // namespace velmoran
