#pragma once

#include "data/core/applicants.h"
#include "data/store/storelocation.h"

#include <QAbstractTableModel>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <thread>
#include <unordered_map>
#include <vector>

namespace velmoran {

// Counts, on a thread of its own through a connection of its own, the
// listings that fit each applicant asked for, newest asked first, and hands
// each count (-1 when the store failed) to `done` on that thread. The
// listings are read once into a digest (ListingDigest, applicants.h), again
// after refresh().
class FitCounter {
public:
    using Done = std::function<void(long long id, long long count)>;
    FitCounter(StoreLocation store, Done done);
    ~FitCounter();

    void ask(long long id, const ApplicantRequest& request);
    // The listings are read again before the next count.
    void refresh();

private:
    void run();

    StoreLocation store_;
    Done done_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::pair<long long, ApplicantRequest>> asked_;
    bool stop_ = false;
    std::atomic<bool> stopping_{false}; // read while the listings are read
    bool stale_ = true;
    std::thread thread_;
};

// The applicants as a table, read whole (a few thousand rows of short
// texts): active ones first, newest first, until a column is sorted; only
// those whose name or telephone holds the searched text (letters folded as
// districts fold, digits of any script alike), and, when set, only those of
// a set of ids. The last column counts the listings that fit each applicant
// now, counted when its row is first shown (… until then).
class ApplicantModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Name, Phone, Deal, Kind, Districts, Price, Registered, Contacted, State, Fits };

    explicit ApplicantModel(QObject* parent = nullptr);
    ~ApplicantModel() override;

    // Reads the applicants of `store` again, keeping the search, the sort and
    // the counts of applicants unchanged. Throws StoreError.
    void load(const StoreLocation& store);
    // Only the applicants of `ids` (none: every applicant).
    void keepOnly(std::optional<std::vector<long long>> ids);
    void search(const QString& text);

    long long idAt(int row) const;
    int rowOf(long long id) const;
    // How many applicants are read, and how many of them are active.
    int total() const { return static_cast<int>(entries_.size()); }
    int active() const;
    // The count of column Fits for row `row`: -2 not yet counted, -1 failed.
    long long fitCount(int row) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;
    int sortColumn() const { return sortColumn_; }
    Qt::SortOrder sortOrder() const { return sortOrder_; }

signals:
    // A count arrived.
    void counted();

private:
    struct Entry {
        long long id;
        RowValues values;
        ApplicantRequest request;
    };
    QString cell(const Entry& entry, int column) const;
    void arrange();
    void takeCount(long long id, long long count);

    std::vector<Entry> entries_;
    std::vector<int> shown_; // indexes into entries_, in the order shown
    std::optional<std::set<long long>> only_;
    QString searched_;
    int sortColumn_ = -1; // -1: active first, newest first
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
    mutable std::unordered_map<long long, long long> counts_; // -2: asked
    std::unique_ptr<FitCounter> counter_;
    StoreLocation store_;
};

} // namespace velmoran
