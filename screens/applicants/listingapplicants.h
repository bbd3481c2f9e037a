#pragma once

#include <QLabel>

#include <memory>

namespace velmoran {

class RecordSource;
class Screen;
class TableStore;

// The line under a listing screen (the edit view, the entry screen after a
// save) that says how many active applicants a listing fits, with the key
// that opens them (Ctrl+M, an action of `screen`). Counting reads the
// applicants once; a store that fails leaves the line saying so, with no
// message box in the way of typing.
class ListingApplicantsLine : public QLabel {
    Q_OBJECT
public:
    // `saved`: the entry screen's wording, for the listing just stored.
    ListingApplicantsLine(Screen* screen, bool saved);
    ~ListingApplicantsLine() override;

    // Counts for the stored listing `source` stands on; none empties the
    // line.
    void showFor(const RecordSource& source);
    long long listing() const { return listing_; }
    // The count shown; -1 for none.
    long long count() const { return count_; }

private:
    bool saved_;
    std::unique_ptr<TableStore> applicants_; // kept: a server's connection
    long long listing_ = 0;
    long long count_ = -1;
};

} // namespace velmoran
