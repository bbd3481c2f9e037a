#include "screens/applicants/applicantlist.h"

#include "data/core/applicants.h"
#include "data/store/storelocation.h"
#include "platform/widgets/fonts.h"
#include "screens/applicants/applicantactions.h"
#include "screens/applicants/applicantmodel.h"
#include "screens/list/matchlist.h"
#include "ui/screencommands.h"
#include "ui/screens.h"

#include <QAction>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTableView>
#include <QVBoxLayout>

namespace velmoran {

namespace {

const char* const kMenuCaption = "متقاضيان";
const char* const kTableName = "فهرست متقاضيان";

} // namespace

const std::vector<ApplicantList::Command>& ApplicantList::commands() {
    static const std::vector<Command> table = {
        {"applicantListOpen", "نمايش متقاضي", QKeySequence(Qt::Key_Return),
         &ApplicantList::openCurrent},
        {"applicantListNew", "متقاضي جديد", QKeySequence(Qt::CTRL | Qt::Key_N),
         &ApplicantList::newApplicant},
        {"applicantListListings", "فايلهاي مناسب متقاضي", QKeySequence(Qt::Key_F4),
         &ApplicantList::listingsOfCurrent},
        {"applicantListContacted", "تماس امروز با متقاضي", QKeySequence(Qt::CTRL | Qt::Key_T),
         &ApplicantList::contactedToday},
        {"applicantListSort", "مرتب كردن بر اساس ستون", QKeySequence(Qt::CTRL | Qt::Key_R),
         &ApplicantList::sortByCurrentColumn},
        {"applicantListFind", "جستجوي نام يا تلفن", QKeySequence(Qt::CTRL | Qt::Key_F),
         &ApplicantList::findByName},
        {"applicantListClose", "بستن فهرست", QKeySequence(Qt::Key_Escape),
         &ApplicantList::closeList},
    };
    return table;
}

ApplicantList::ApplicantList() : Screen(ScreenId::ApplicantList) {
    // The program's Persian text face, as on every system.
    setFont(designFont(QStringLiteral("B Nazanin"), 12));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* top = new QHBoxLayout;
    top->setContentsMargins(6, 4, 6, 0);
    status_ = new QLabel;
    status_->setObjectName(QStringLiteral("applicantStatus"));
    search_ = new QLineEdit;
    search_->setObjectName(QStringLiteral("applicantSearch"));
    search_->setAccessibleName(QStringLiteral("جستجوي نام يا تلفن"));
    search_->setPlaceholderText(QStringLiteral("جستجوي نام يا تلفن (Ctrl+F)"));
    search_->setClearButtonEnabled(true);
    search_->setMinimumWidth(280);
    // The list takes the cursor when it opens; Ctrl+F or a click reach the box.
    search_->setFocusPolicy(Qt::ClickFocus);
    top->addWidget(status_, 1);
    top->addWidget(search_);
    table_ = new QTableView;
    table_->setObjectName(QStringLiteral("applicantTable"));
    table_->setAccessibleName(QString::fromUtf8(kTableName));
    setUpListTable(table_);
    // Active first, newest first until a heading is clicked.
    table_->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    layout->addLayout(top);
    layout->addWidget(table_);
    // The rows take the cursor whenever the list does.
    setFocusProxy(table_);

    model_ = new ApplicantModel(this);
    table_->setModel(model_);
    table_->horizontalHeader()->setSectionResizeMode(ApplicantModel::Districts,
                                                     QHeaderView::Stretch);
    connect(model_, &ApplicantModel::counted, this, [this] { updateStatus(); });

    QMenu* menu =
        addMenuBarMenu(QStringLiteral("applicantListMenu"), QString::fromUtf8(kMenuCaption));
    addScreenCommands(this, menu, commands());
    if (QAction* open = findChild<QAction*>(QStringLiteral("applicantListOpen"))) {
        open->setShortcuts({QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
    }
    connect(table_, &QTableView::doubleClicked, this, [this] { openCurrent(); });
    connect(search_, &QLineEdit::textChanged, this, [this](const QString& text) {
        model_->search(text);
        if (model_->rowCount() > 0) {
            table_->setCurrentIndex(model_->index(0, 0));
        }
        updateStatus();
    });
    connect(table_->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int section) {
        const Qt::SortOrder order =
            model_->sortColumn() == section && model_->sortOrder() == Qt::AscendingOrder
                ? Qt::DescendingOrder
                : Qt::AscendingOrder;
        const long long id = currentId();
        model_->sort(section, order);
        table_->horizontalHeader()->setSortIndicator(section, order);
        table_->setCurrentIndex(model_->index(std::max(0, model_->rowOf(id)), section));
    });
}

void ApplicantList::Form_Load() {
    reload();
    table_->resizeColumnsToContents();
}

void ApplicantList::Form_Activate() {
    // What the form stored meanwhile shows; the rows have the cursor.
    reload();
    table_->setFocus(Qt::OtherFocusReason);
}

void ApplicantList::showAll() {
    listing_ = 0;
    model_->keepOnly(std::nullopt);
    if (model_->rowCount() > 0) {
        table_->setCurrentIndex(model_->index(0, 0));
    }
    table_->setFocus(Qt::OtherFocusReason);
    updateStatus();
}

void ApplicantList::showForListing(long long listingId) {
    try {
        RowValues listing;
        if (!openTableStore(activeStore(), listingsTable(), StoreAccess::ReadOnly)
                 ->read(listingId, listing)) {
            showListingDeleted();
            return;
        }
        model_->keepOnly(listingApplicants(listing));
    } catch (const StoreError& error) {
        showStoreError(error);
        return;
    }
    listing_ = listingId;
    if (model_->rowCount() > 0) {
        table_->setCurrentIndex(model_->index(0, 0));
    }
    table_->setFocus(Qt::OtherFocusReason);
    updateStatus();
}

void ApplicantList::reload() {
    const long long id = currentId();
    const int column = table_->currentIndex().isValid() ? table_->currentIndex().column() : 0;
    try {
        model_->load(activeStore());
    } catch (const StoreError& error) {
        showStoreError(error);
    }
    const int row = model_->rowOf(id);
    if (model_->rowCount() > 0) {
        table_->setCurrentIndex(model_->index(std::max(0, row), column));
    }
    updateStatus();
}

long long ApplicantList::currentId() const {
    return table_->currentIndex().isValid() ? model_->idAt(table_->currentIndex().row()) : 0;
}

void ApplicantList::updateStatus() {
    QString text =
        listing_ ? QStringLiteral("%1 متقاضي فعال مناسب فايل شماره %2")
                       .arg(model_->rowCount())
                       .arg(listing_)
                 : QStringLiteral("%1 متقاضي، %2 فعال").arg(model_->total()).arg(model_->active());
    if (!listing_ && model_->rowCount() != model_->total()) {
        text += QStringLiteral("؛ %1 متقاضي با اين جستجو").arg(model_->rowCount());
    }
    status_->setText(text);
    setWindowTitle(QString::fromUtf8(kTableName) + QStringLiteral(": ") + text);
}

void ApplicantList::newApplicant() {
    showNewApplicant();
}

void ApplicantList::openCurrent() {
    if (const long long id = currentId()) {
        showApplicant(id);
    }
}

void ApplicantList::listingsOfCurrent() {
    if (const long long id = currentId()) {
        showApplicantListings(id);
    }
}

void ApplicantList::contactedToday() {
    if (const long long id = currentId()) {
        markContactedToday(id);
        reload();
    }
}

void ApplicantList::sortByCurrentColumn() {
    const int column = table_->currentIndex().isValid() ? table_->currentIndex().column() : 0;
    const long long id = currentId();
    const Qt::SortOrder order =
        model_->sortColumn() == column && model_->sortOrder() == Qt::AscendingOrder
            ? Qt::DescendingOrder
            : Qt::AscendingOrder;
    model_->sort(column, order);
    table_->horizontalHeader()->setSortIndicator(column, order);
    if (model_->rowCount() > 0) {
        table_->setCurrentIndex(model_->index(std::max(0, model_->rowOf(id)), column));
    }
}

void ApplicantList::findByName() {
    search_->setFocus(Qt::ShortcutFocusReason);
    search_->selectAll();
}

void ApplicantList::closeList() {
    unload();
}

} // namespace velmoran
