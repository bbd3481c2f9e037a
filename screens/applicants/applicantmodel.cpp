#include "screens/applicants/applicantmodel.h"

#include "data/core/criterion.h"
#include "data/core/fieldcaptions.h"
#include "data/core/numbers.h"
#include "data/core/solardate.h"
#include "screens/list/listcolumns.h"

#include <QCollator>
#include <QColor>
#include <QLocale>

#include <algorithm>

namespace velmoran {

FitCounter::FitCounter(StoreLocation store, Done done)
    : store_(std::move(store)), done_(std::move(done)), thread_([this] { run(); }) {}

FitCounter::~FitCounter() {
    // A long read of the listings ends at its next row: closing the list
    // never waits for it.
    stopping_ = true;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

void FitCounter::ask(long long id, const ApplicantRequest& request) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        asked_.emplace_front(id, request);
    }
    wake_.notify_all();
}

void FitCounter::refresh() {
    std::lock_guard<std::mutex> lock(mutex_);
    stale_ = true;
}

void FitCounter::run() {
    std::unique_ptr<ListingDigest> digest;
    for (;;) {
        std::pair<long long, ApplicantRequest> next;
        bool reread = false;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            wake_.wait(lock, [this] { return stop_ || !asked_.empty(); });
            if (stop_) {
                return;
            }
            next = std::move(asked_.front());
            asked_.pop_front();
            reread = stale_;
            stale_ = false;
        }
        long long count = -1;
        try {
            if (reread || !digest) {
                digest.reset();
                const std::unique_ptr<TableStore> listings =
                    openTableStore(store_, listingsTable(), StoreAccess::ReadOnly);
                digest =
                    std::make_unique<ListingDigest>(*listings, [this] { return stopping_.load(); });
                if (!digest->complete()) {
                    return;
                }
            }
            count = digest->count(next.second);
        } catch (const StoreError&) {
            std::lock_guard<std::mutex> lock(mutex_);
            stale_ = true; // read again for the next count
        }
        done_(next.first, count);
    }
}

namespace {

const QString& textOf(const RowValues& row, const char* name) {
    return row.texts[static_cast<std::size_t>(applicantField(name))];
}

bool flagOf(const RowValues& row, const char* name) {
    return row.flags[static_cast<std::size_t>(applicantField(name))];
}

// A name or a telephone as the search compares them: letters folded as the
// districts fold, digits of any script as ASCII, blanks and dashes out.
QString searchForm(const QString& text) {
    QString folded;
    folded.reserve(text.size());
    for (const QChar c : text) {
        if (c.isSpace() || c == QLatin1Char('-')) {
            continue;
        }
        if (c.isDigit() && c.digitValue() >= 0) {
            folded += QChar(static_cast<char16_t>(u'0' + c.digitValue()));
        } else {
            folded += QChar(static_cast<char16_t>(foldedLetter(c.unicode())));
        }
    }
    return folded.toCaseFolded();
}

QString flagNames(const RowValues& row, const char* const* names, int count) {
    static const QStringList captions = listingFieldCaptions();
    QStringList set;
    for (int i = 0; i < count; ++i) {
        if (flagOf(row, names[i])) {
            set << captions.value(listingsTable().indexOf(QLatin1String(names[i]))).trimmed();
        }
    }
    return set.join(QStringLiteral("، "));
}

const char* const kHeadings[] = {"نام متقاضي", "تلفن",         "معامله",    "نوع ملك",
                                 "منطقه",      "قيمت",         "تاريخ ثبت", "آخرين تماس",
                                 "وضعيت",      "فايلهاي مناسب"};

} // namespace

ApplicantModel::ApplicantModel(QObject* parent) : QAbstractTableModel(parent) {}

ApplicantModel::~ApplicantModel() {
    counter_.reset(); // its thread ends before the model does
}

void ApplicantModel::load(const StoreLocation& store) {
    std::vector<Entry> entries;
    if (storeHasTable(store, applicantsTable())) {
        const std::unique_ptr<TableStore> table =
            openTableStore(store, applicantsTable(), StoreAccess::ReadOnly);
        std::vector<int> fields(applicantsTable().fieldCount);
        for (std::size_t i = 0; i < fields.size(); ++i) {
            fields[i] = static_cast<int>(i);
        }
        std::optional<long long> after;
        constexpr int kPage = 5000;
        for (;;) {
            std::vector<ListedRow> rows = table->listPage(nullptr, fields, after, kPage, false);
            for (ListedRow& row : rows) {
                ApplicantRequest request = applicantRequest(row.values);
                entries.push_back(Entry{row.id, std::move(row.values), std::move(request)});
            }
            if (rows.size() < static_cast<std::size_t>(kPage)) {
                break;
            }
            after = rows.back().id;
        }
    }
    beginResetModel();
    entries_ = std::move(entries);
    counts_.clear();
    if (!counter_ || store.folder != store_.folder || store.server != store_.server) {
        counter_.reset();
        store_ = store;
        counter_ = std::make_unique<FitCounter>(store, [this](long long id, long long count) {
            QMetaObject::invokeMethod(
                this, [this, id, count] { takeCount(id, count); }, Qt::QueuedConnection);
        });
    }
    counter_->refresh(); // the counts of now
    arrange();
    endResetModel();
}

void ApplicantModel::keepOnly(std::optional<std::vector<long long>> ids) {
    beginResetModel();
    if (ids) {
        only_.emplace(ids->begin(), ids->end());
    } else {
        only_.reset();
    }
    arrange();
    endResetModel();
}

void ApplicantModel::search(const QString& text) {
    beginResetModel();
    searched_ = searchForm(text);
    arrange();
    endResetModel();
}

void ApplicantModel::arrange() {
    shown_.clear();
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        const Entry& entry = entries_[i];
        if (only_ && !only_->count(entry.id)) {
            continue;
        }
        if (!searched_.isEmpty() &&
            !searchForm(textOf(entry.values, applicant::kName)).contains(searched_) &&
            !searchForm(textOf(entry.values, applicant::kPhone)).contains(searched_)) {
            continue;
        }
        shown_.push_back(static_cast<int>(i));
    }
    const auto active = [this](int i) { return !flagOf(entries_[i].values, applicant::kClosed); };
    const auto byId = [this](int a, int b) { return entries_[a].id > entries_[b].id; };
    if (sortColumn_ < 0) {
        std::stable_sort(shown_.begin(), shown_.end(), [&](int a, int b) {
            if (active(a) != active(b)) {
                return active(a);
            }
            return byId(a, b);
        });
        return;
    }
    const bool descending = sortOrder_ == Qt::DescendingOrder;
    // Each row's key once; keys that are none go last either way.
    std::vector<std::pair<std::optional<QCollatorSortKey>, int>> named;
    std::vector<std::pair<std::optional<double>, int>> numbered;
    QCollator collator{QLocale(QLocale::Persian, QLocale::Iran)};
    collator.setNumericMode(true);
    for (const int i : shown_) {
        const Entry& entry = entries_[i];
        switch (sortColumn_) {
        case Registered:
        case Contacted: {
            const long long key =
                dateKey(textOf(entry.values, sortColumn_ == Registered ? applicant::kRegistered
                                                                       : applicant::kContacted));
            numbered.emplace_back(
                key < 0 ? std::nullopt : std::optional<double>(static_cast<double>(key)), i);
            break;
        }
        case Price:
            numbered.emplace_back(readNumber(textOf(entry.values, "gheymataz")), i);
            break;
        case Fits: {
            const auto it = counts_.find(entry.id);
            numbered.emplace_back(it == counts_.end() || it->second < 0
                                      ? std::nullopt
                                      : std::optional<double>(static_cast<double>(it->second)),
                                  i);
            break;
        }
        case State:
            numbered.emplace_back(active(i) ? 0.0 : 1.0, i);
            break;
        default: {
            const QString text = cell(entry, sortColumn_);
            named.emplace_back(text.trimmed().isEmpty()
                                   ? std::nullopt
                                   : std::optional<QCollatorSortKey>(collator.sortKey(text)),
                               i);
        }
        }
    }
    const auto order = [&](const auto& a, const auto& b, int compared) {
        if (a.first.has_value() != b.first.has_value()) {
            return a.first.has_value();
        }
        if (compared != 0) {
            return descending ? compared > 0 : compared < 0;
        }
        return byId(a.second, b.second);
    };
    shown_.clear();
    if (!named.empty()) {
        std::sort(named.begin(), named.end(), [&](const auto& a, const auto& b) {
            return order(a, b, a.first && b.first ? a.first->compare(*b.first) : 0);
        });
        for (const auto& entry : named) {
            shown_.push_back(entry.second);
        }
    } else {
        std::sort(numbered.begin(), numbered.end(), [&](const auto& a, const auto& b) {
            return order(a, b,
                         a.first && b.first ? (*a.first < *b.first ? -1 : *b.first < *a.first) : 0);
        });
        for (const auto& entry : numbered) {
            shown_.push_back(entry.second);
        }
    }
}

void ApplicantModel::sort(int column, Qt::SortOrder order) {
    if (column < 0 || column >= columnCount()) {
        return;
    }
    beginResetModel();
    sortColumn_ = column;
    sortOrder_ = order;
    arrange();
    endResetModel();
}

long long ApplicantModel::idAt(int row) const {
    return row >= 0 && static_cast<std::size_t>(row) < shown_.size()
               ? entries_[static_cast<std::size_t>(shown_[static_cast<std::size_t>(row)])].id
               : 0;
}

int ApplicantModel::rowOf(long long id) const {
    for (std::size_t row = 0; row < shown_.size(); ++row) {
        if (entries_[static_cast<std::size_t>(shown_[row])].id == id) {
            return static_cast<int>(row);
        }
    }
    return -1;
}

int ApplicantModel::active() const {
    return static_cast<int>(std::count_if(entries_.begin(), entries_.end(), [](const Entry& e) {
        return !flagOf(e.values, applicant::kClosed);
    }));
}

long long ApplicantModel::fitCount(int row) const {
    const long long id = idAt(row);
    const auto it = counts_.find(id);
    return it == counts_.end() ? -2 : it->second;
}

int ApplicantModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(shown_.size());
}

int ApplicantModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(std::size(kHeadings));
}

QString ApplicantModel::cell(const Entry& entry, int column) const {
    const RowValues& row = entry.values;
    switch (column) {
    case Name:
        return textOf(row, applicant::kName);
    case Phone:
        return textOf(row, applicant::kPhone);
    case Deal:
        return flagNames(row, kDealFlags, 3);
    case Kind:
        return flagNames(row, kKindFlags, 6);
    case Districts:
        return textOf(row, applicant::kDistricts)
            .split(QLatin1Char('\n'))
            .join(QStringLiteral("، "));
    case Price: {
        const QString& from = textOf(row, "gheymataz");
        const QString& to = textOf(row, "gheymatta");
        if (from.isEmpty() && to.isEmpty()) {
            return QString();
        }
        return QStringLiteral("%1 تا %2")
            .arg(from.isEmpty() ? QStringLiteral("…") : from,
                 to.isEmpty() ? QStringLiteral("…") : to);
    }
    case Registered:
        return persianDigits(textOf(row, applicant::kRegistered));
    case Contacted:
        return persianDigits(textOf(row, applicant::kContacted));
    case State:
        return flagOf(row, applicant::kClosed) ? QStringLiteral("بسته") : QStringLiteral("فعال");
    case Fits: {
        if (flagOf(row, applicant::kClosed)) {
            return QStringLiteral("—");
        }
        const auto it = counts_.find(entry.id);
        if (it == counts_.end()) {
            // Asked when first shown.
            if (counter_) {
                counts_[entry.id] = -2;
                counter_->ask(entry.id, entry.request);
            }
            return QStringLiteral("…");
        }
        return it->second >= 0    ? QString::number(it->second)
               : it->second == -2 ? QStringLiteral("…")
                                  : QStringLiteral("؟");
    }
    default:
        return QString();
    }
}

QVariant ApplicantModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) {
        return QVariant();
    }
    const Entry& entry =
        entries_[static_cast<std::size_t>(shown_[static_cast<std::size_t>(index.row())])];
    if (role == Qt::ForegroundRole && flagOf(entry.values, applicant::kClosed)) {
        return QColor(Qt::darkGray);
    }
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole) {
        return QVariant();
    }
    return cell(entry, index.column());
}

QVariant ApplicantModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole) {
        return QVariant();
    }
    if (orientation == Qt::Vertical) {
        return section + 1;
    }
    return section >= 0 && section < columnCount() ? QString::fromUtf8(kHeadings[section])
                                                   : QVariant();
}

void ApplicantModel::takeCount(long long id, long long count) {
    counts_[id] = count;
    const int row = rowOf(id);
    if (row >= 0) {
        emit dataChanged(index(row, Fits), index(row, Fits));
    }
    emit counted();
}

} // namespace velmoran
