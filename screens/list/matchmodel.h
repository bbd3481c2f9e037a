#pragma once

#include "data/core/applicants.h"
#include "data/core/criterion.h"
#include "data/core/tablestore.h"

#include <QAbstractTableModel>

#include <map>
#include <optional>
#include <vector>

namespace velmoran {

// The listings a criterion matches, as a table: one row a listing, the
// columns of listcolumns.h. Nothing is read whole: in id order the ids come
// a page at a time after the last one (fetchMore, as the view scrolls); a
// sort reads each match's id and sort text once, keeps the ids in the new
// order, and the rows' values are read a page of ids at a time when shown.
// A few pages are kept. A failure to read is told once (readFailed) and
// leaves the cells empty.
class MatchModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // `criterion` none: every listing. `newestFirst`: by id downwards.
    MatchModel(TableStore& store, std::optional<Criterion> criterion, bool newestFirst,
               QObject* parent = nullptr);
    // The listings that fit an applicant's request (applicants.h), in id
    // order; those whose date is after `markedAfter` (a dateKey of
    // listcolumns.h; -1: none) are marked: bold on a light ground.
    MatchModel(TableStore& store, ApplicantRequest request, long long markedAfter,
               QObject* parent = nullptr);

    // How many listings match: known at once for a list of one page, else
    // once countMatches() has run (-1 until then). Counting reads every
    // match, so the list shows its first page first.
    long long matchCount() const { return count_; }
    void countMatches();
    // The count made elsewhere (a thread of the list's own); -1 leaves it
    // unknown.
    void takeCount(long long count) {
        if (count_ < 0 && count >= 0) {
            count_ = count;
        }
    }
    // The criterion the list shows; none: every listing (or an applicant's).
    const std::optional<Criterion>& criterion() const { return criterion_; }
    // The applicant's request the list shows, if it shows one.
    const std::optional<ApplicantRequest>& request() const { return request_; }
    // Whether row `row` is marked (see above).
    bool isMarked(int row) const;
    // The id of row `row`.
    long long idAt(int row) const;
    // The ids of the rows, in the order shown, all of them read.
    std::vector<long long> allIds();
    // The row of `id`, -1 when it is not (yet) among the rows.
    int rowOf(long long id) const;
    // The values of row `row` (its page read when needed).
    const ListedRow* rowAt(int row) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    int sortColumn() const { return sortColumn_; }
    Qt::SortOrder sortOrder() const { return sortOrder_; }

    static constexpr int kPage = 100;

signals:
    void readFailed(const QString& message) const;

private:
    void fetchPage();
    // A page of the rows shown, or the id and text of `field` of each, from
    // the criterion or the applicant's request.
    std::vector<ListedRow> readPage(std::optional<long long> after, bool descending);
    void eachText(int field, const TableStore::EachText& each);
    void fail(const QString& message) const;

    TableStore& store_;
    std::optional<Criterion> criterion_;
    std::optional<ApplicantRequest> request_;
    long long markedAfter_ = -1;
    long long count_ = -1;
    std::vector<long long> ids_;
    bool complete_ = false; // every id is in ids_
    bool descending_ = false;
    int sortColumn_ = 0;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
    // Pages of rows, by page number, the most recently used last in `used_`.
    mutable std::map<int, std::vector<ListedRow>> pages_;
    mutable std::vector<int> used_;
    mutable bool failed_ = false;
};

} // namespace velmoran
