#include "screens/list/matchmodel.h"

#include "data/core/numbers.h"
#include "screens/list/listcolumns.h"

#include <QCollator>
#include <QColor>
#include <QFont>
#include <QLocale>

#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace velmoran {

namespace {

// Pages kept: what a few screenfuls need, however long the list.
constexpr std::size_t kKeptPages = 30;

// The ids in sort order of `entries` (key, id): keys that are none last in
// either direction, equal keys by id.
template <class Key>
std::vector<long long> sortedIds(std::vector<std::pair<std::optional<Key>, long long>>& entries,
                                 bool descending) {
    std::sort(entries.begin(), entries.end(), [descending](const auto& a, const auto& b) {
        if (a.first.has_value() != b.first.has_value()) {
            return a.first.has_value();
        }
        if (a.first && *a.first != *b.first) {
            return descending ? *b.first < *a.first : *a.first < *b.first;
        }
        return a.second < b.second;
    });
    std::vector<long long> ids;
    ids.reserve(entries.size());
    for (const auto& entry : entries) {
        ids.push_back(entry.second);
    }
    return ids;
}

} // namespace

MatchModel::MatchModel(TableStore& store, std::optional<Criterion> criterion, bool newestFirst,
                       QObject* parent)
    : QAbstractTableModel(parent), store_(store), criterion_(std::move(criterion)),
      descending_(newestFirst), sortOrder_(newestFirst ? Qt::DescendingOrder : Qt::AscendingOrder) {
    const Criterion* c = criterion_ ? &*criterion_ : nullptr;
    if (c) {
        // A criterion nothing matches answers at once through the find.
        RowValues first;
        if (!store_.find(*c, std::nullopt, first)) {
            complete_ = true;
            count_ = 0;
            return;
        }
    }
    fetchPage();
    if (complete_) {
        count_ = static_cast<long long>(ids_.size());
    }
}

MatchModel::MatchModel(TableStore& store, ApplicantRequest request, long long markedAfter,
                       QObject* parent)
    : QAbstractTableModel(parent), store_(store), request_(std::move(request)),
      markedAfter_(markedAfter) {
    fetchPage();
    if (complete_) {
        count_ = static_cast<long long>(ids_.size());
    }
}

void MatchModel::countMatches() {
    if (count_ >= 0 || failed_) {
        return;
    }
    try {
        count_ = request_ ? countFittingListings(store_, *request_)
                          : store_.countMatches(criterion_ ? &*criterion_ : nullptr);
    } catch (const StoreError& e) {
        fail(e.message());
    }
}

long long MatchModel::idAt(int row) const {
    return row >= 0 && static_cast<std::size_t>(row) < ids_.size() ? ids_[row] : 0;
}

std::vector<long long> MatchModel::allIds() {
    while (!complete_ && !failed_) {
        fetchMore(QModelIndex());
    }
    return ids_;
}

int MatchModel::rowOf(long long id) const {
    const auto it = std::find(ids_.begin(), ids_.end(), id);
    return it == ids_.end() ? -1 : static_cast<int>(it - ids_.begin());
}

int MatchModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(ids_.size());
}

int MatchModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(listColumns().size());
}

const ListedRow* MatchModel::rowAt(int row) const {
    if (row < 0 || static_cast<std::size_t>(row) >= ids_.size()) {
        return nullptr;
    }
    const int page = row / kPage;
    auto found = pages_.find(page);
    if (found == pages_.end()) {
        const std::size_t from = static_cast<std::size_t>(page) * kPage;
        const std::vector<long long> ids(
            ids_.begin() + static_cast<std::ptrdiff_t>(from),
            ids_.begin() + static_cast<std::ptrdiff_t>(std::min(ids_.size(), from + kPage)));
        std::vector<ListedRow> read;
        try {
            read = store_.listRows(ids, listedFields());
        } catch (const StoreError& e) {
            fail(e.message());
        }
        std::unordered_map<long long, std::size_t> at;
        for (std::size_t i = 0; i < read.size(); ++i) {
            at[read[i].id] = i;
        }
        std::vector<ListedRow> rows;
        rows.reserve(ids.size());
        for (long long id : ids) {
            const auto it = at.find(id);
            // A row deleted meanwhile keeps its place, its cells empty.
            rows.push_back(it == at.end() ? ListedRow{id, {}} : std::move(read[it->second]));
        }
        found = pages_.emplace(page, std::move(rows)).first;
    }
    used_.erase(std::remove(used_.begin(), used_.end(), page), used_.end());
    used_.push_back(page);
    if (used_.size() > kKeptPages) {
        pages_.erase(used_.front());
        used_.erase(used_.begin());
    }
    const std::size_t at = static_cast<std::size_t>(row % kPage);
    return at < found->second.size() ? &found->second[at] : nullptr;
}

bool MatchModel::isMarked(int row) const {
    if (markedAfter_ < 0) {
        return false;
    }
    static const int date = listingsTable().indexOf(QLatin1String("date"));
    const ListedRow* listed = rowAt(row);
    return listed && !listed->values.texts.empty() &&
           dateKey(listed->values.texts[static_cast<std::size_t>(date)]) > markedAfter_;
}

QVariant MatchModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) {
        return QVariant();
    }
    if (role == Qt::FontRole || role == Qt::BackgroundRole) {
        if (!isMarked(index.row())) {
            return QVariant();
        }
        if (role == Qt::BackgroundRole) {
            return QColor(0xff, 0xf4, 0xc2);
        }
        QFont bold;
        bold.setBold(true);
        return bold;
    }
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole) {
        return QVariant();
    }
    const ListedRow* row = rowAt(index.row());
    return row ? listCell(static_cast<std::size_t>(index.column()), *row) : QString();
}

QVariant MatchModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole) {
        return QVariant();
    }
    if (orientation == Qt::Vertical) {
        return section + 1;
    }
    return section >= 0 && section < columnCount() ? listHeading(static_cast<std::size_t>(section))
                                                   : QVariant();
}

bool MatchModel::canFetchMore(const QModelIndex& parent) const {
    return !parent.isValid() && !complete_ && !failed_;
}

void MatchModel::fetchMore(const QModelIndex& parent) {
    if (canFetchMore(parent)) {
        fetchPage();
    }
}

std::vector<ListedRow> MatchModel::readPage(std::optional<long long> after, bool descending) {
    if (request_) {
        return fittingListings(store_, *request_, listedFields(), after, kPage, descending);
    }
    return store_.listPage(criterion_ ? &*criterion_ : nullptr, listedFields(), after, kPage,
                           descending);
}

void MatchModel::eachText(int field, const TableStore::EachText& each) {
    if (!request_) {
        store_.matchTexts(criterion_ ? &*criterion_ : nullptr, field, each);
        return;
    }
    const auto at = static_cast<std::size_t>(field);
    eachFittingListing(store_, *request_, {field},
                       [&each, at](const ListedRow& row) { each(row.id, row.values.texts[at]); });
}

void MatchModel::fetchPage() {
    std::vector<ListedRow> rows;
    try {
        rows = readPage(ids_.empty() ? std::nullopt : std::optional<long long>(ids_.back()),
                        descending_);
    } catch (const StoreError& e) {
        fail(e.message());
        return;
    }
    if (rows.size() < static_cast<std::size_t>(kPage)) {
        complete_ = true;
    }
    if (rows.empty()) {
        return;
    }
    const int first = static_cast<int>(ids_.size());
    beginInsertRows(QModelIndex(), first, first + static_cast<int>(rows.size()) - 1);
    for (const ListedRow& row : rows) {
        ids_.push_back(row.id);
    }
    pages_[first / kPage] = std::move(rows);
    used_.push_back(first / kPage);
    if (used_.size() > kKeptPages) {
        pages_.erase(used_.front());
        used_.erase(used_.begin());
    }
    endInsertRows();
}

void MatchModel::sort(int column, Qt::SortOrder order) {
    if (column < 0 || column >= columnCount() || failed_) {
        return;
    }
    const auto c = static_cast<std::size_t>(column);
    const SortAs as = listColumns()[c].sort;
    if (as == SortAs::None) {
        return;
    }
    const bool descending = order == Qt::DescendingOrder;
    std::vector<long long> ids;
    try {
        if (as == SortAs::Id) {
            if (!complete_ || count_ == 0) {
                // In id order the pages come from the store again.
                beginResetModel();
                ids_.clear();
                pages_.clear();
                used_.clear();
                complete_ = count_ == 0;
                descending_ = descending;
                sortColumn_ = column;
                sortOrder_ = order;
                endResetModel();
                if (!complete_) {
                    fetchPage();
                }
                return;
            }
            ids = ids_;
            std::sort(ids.begin(), ids.end());
            if (descending) {
                std::reverse(ids.begin(), ids.end());
            }
        } else if (as == SortAs::Name) {
            QCollator collator{QLocale(QLocale::Persian, QLocale::Iran)};
            std::vector<std::pair<std::optional<QCollatorSortKey>, long long>> entries;
            eachText(sortField(c), [&](long long id, const QString& text) {
                entries.emplace_back(text.trimmed().isEmpty()
                                         ? std::nullopt
                                         : std::optional<QCollatorSortKey>(collator.sortKey(text)),
                                     id);
            });
            std::sort(entries.begin(), entries.end(), [descending](const auto& a, const auto& b) {
                if (a.first.has_value() != b.first.has_value()) {
                    return a.first.has_value();
                }
                if (a.first) {
                    const int order = a.first->compare(*b.first);
                    if (order != 0) {
                        return descending ? order > 0 : order < 0;
                    }
                }
                return a.second < b.second;
            });
            for (const auto& entry : entries) {
                ids.push_back(entry.second);
            }
        } else if (as == SortAs::Number) {
            std::vector<std::pair<std::optional<double>, long long>> entries;
            eachText(sortField(c), [&](long long id, const QString& text) {
                std::optional<double> n = readNumber(text);
                if (n && std::isnan(*n)) {
                    n.reset();
                }
                entries.emplace_back(n, id);
            });
            ids = sortedIds(entries, descending);
        } else {
            std::vector<std::pair<std::optional<long long>, long long>> entries;
            eachText(sortField(c), [&](long long id, const QString& text) {
                const long long key = dateKey(text);
                entries.emplace_back(key < 0 ? std::nullopt : std::optional<long long>(key), id);
            });
            ids = sortedIds(entries, descending);
        }
    } catch (const StoreError& e) {
        fail(e.message());
        return;
    }
    beginResetModel();
    ids_ = std::move(ids);
    ids_.shrink_to_fit();
    count_ = static_cast<long long>(ids_.size());
    pages_.clear();
    used_.clear();
    complete_ = true;
    sortColumn_ = column;
    sortOrder_ = order;
    endResetModel();
}

void MatchModel::fail(const QString& message) const {
    if (!failed_) {
        failed_ = true;
        emit readFailed(message);
    }
}

} // namespace velmoran
