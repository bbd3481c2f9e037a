#include "screens/list/matchlist.h"

#include "data/core/applicants.h"
#include "data/core/criterion.h"
#include "data/core/fieldcaptions.h"
#include "data/core/solardate.h"
#include "data/core/storemessages.h"
#include "data/store/recordsource.h"
#include "data/store/storelocation.h"
#include "export/listingexport.h"
#include "platform/messagebox.h"
#include "platform/print.h"
#include "screens/applicants/applicantactions.h"
#include "screens/edit/form7.h"
#include "screens/list/listcolumns.h"
#include "screens/list/listprint.h"
#include "screens/list/matchmodel.h"
#include "screens/search/form2.h"
#include "screens/sheetimport/sheetimport.h"
#include "screens/sheetimport/sheetpreview.h"
#include "ui/filechooser.h"
#include "ui/screencommands.h"
#include "ui/screens.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QProgressDialog>
#include <QStandardPaths>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

namespace velmoran {

namespace {

const char* const kMenuCaption = "فهرست";
const char* const kTableName = "فهرست فايلها";
const char* const kHeadingsName = "سرستونهاي فهرست";
const char* const kAllListings = "همه فايلها";
const char* const kNoFindYet = "همه فايلها (هنوز جستجويي انجام نشده است)";
const char* const kDeletedText = "اين فايل را ميز ديگري حذف كرده است.";
const char* const kDeletedTitle = "فايل حذف شده";
const char* const kExportTitle = "ذخيره فهرست";
const char* const kExportNameText = "نام فايل بايد به .xlsx يا .csv ختم شود.";

QString number(long long n) {
    return QString::number(n);
}

} // namespace

const std::vector<MatchList::Command>& MatchList::commands() {
    static const std::vector<Command> table = {
        {"listOpen", "نمايش فايل", QKeySequence(Qt::Key_Return), &MatchList::openCurrent},
        {"listSort", "مرتب كردن بر اساس ستون", QKeySequence(Qt::CTRL | Qt::Key_R),
         &MatchList::sortByCurrentColumn},
        {"listPrint", "چاپ فهرست", QKeySequence(Qt::CTRL | Qt::Key_P), &MatchList::printRows},
        {"listExport", "ذخيره فهرست در فايل اكسل", QKeySequence(Qt::CTRL | Qt::Key_E),
         &MatchList::exportRows},
        // Ctrl+I is the main window's own, here as everywhere in it.
        {"listImportSheet", "افزودن فايلها از صفحه گسترده ...", QKeySequence(),
         &MatchList::importSheet},
        // An applicant's list only.
        {"listContacted", "تماس امروز با متقاضي", QKeySequence(Qt::CTRL | Qt::Key_T),
         &MatchList::contactedToday},
        {"listClose", "بستن فهرست", QKeySequence(Qt::Key_Escape), &MatchList::closeList},
    };
    return table;
}

MatchList::MatchList() : Screen(ScreenId::MatchList) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);

    status_ = new QLabel;
    status_->setObjectName(QStringLiteral("listStatus"));
    status_->setAccessibleName(QStringLiteral("وضعيت فهرست"));
    table_ = new QTableView;
    table_->setObjectName(QStringLiteral("listTable"));
    table_->setAccessibleName(QString::fromUtf8(kTableName));
    table_->horizontalHeader()->setAccessibleName(QString::fromUtf8(kHeadingsName));
    setUpListTable(table_);
    layout->addWidget(status_);
    layout->addWidget(table_);

    QMenu* menu = addMenuBarMenu(QStringLiteral("listMenu"), QString::fromUtf8(kMenuCaption));
    addScreenCommands(this, menu, commands());
    if (QAction* open = findChild<QAction*>(QStringLiteral("listOpen"))) {
        open->setShortcuts({QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
    }
    connect(table_, &QTableView::doubleClicked, this, [this] { openCurrent(); });
    connect(table_->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int section) {
        if (!model_) {
            return;
        }
        const Qt::SortOrder order =
            model_->sortColumn() == section && model_->sortOrder() == Qt::AscendingOrder
                ? Qt::DescendingOrder
                : Qt::AscendingOrder;
        model_->sort(section, order);
        table_->horizontalHeader()->setSortIndicator(model_->sortColumn(), model_->sortOrder());
        updateStatus();
    });
}

MatchList::~MatchList() {
    waitForCount();
}

void MatchList::Form_Load() {
    store_ = openTableStore(activeStore(), listingsTable(), StoreAccess::ReadOnly);
}

void MatchList::showMatches(Origin origin, const Criterion* criterion) {
    origin_ = origin;
    described_ = origin == Origin::Main ? QString::fromUtf8(kAllListings)
                 : criterion            ? describeCriterion(criterion)
                                        : QString::fromUtf8(kNoFindYet);
    applicant_ = 0;
    takeModel(new MatchModel(*store_,
                             criterion ? std::optional<Criterion>(*criterion) : std::nullopt,
                             origin == Origin::Main, this));
}

bool MatchList::showApplicantMatches(long long id) {
    RowValues applicant;
    if (!readApplicant(id, applicant)) {
        return false;
    }
    origin_ = Origin::Applicant;
    applicant_ = id;
    const auto text = [&applicant](const char* field) {
        return applicant.texts[static_cast<std::size_t>(applicantField(field))];
    };
    const QString contacted = text(applicant::kContacted);
    const long long since = dateKey(contacted);
    described_ = QStringLiteral("فايلهاي مناسب متقاضي %1").arg(isolated(text(applicant::kName)));
    if (since >= 0) {
        described_ += QStringLiteral("؛ فايلهاي پس از آخرين تماس (%1) پررنگ است")
                          .arg(persianDigits(contacted));
    }
    takeModel(new MatchModel(*store_, applicantRequest(applicant), since, this));
    return true;
}

void MatchList::takeModel(MatchModel* model) {
    MatchModel* old = model_;
    model_ = model;
    if (QAction* contacted = findChild<QAction*>(QStringLiteral("listContacted"))) {
        contacted->setVisible(origin_ == Origin::Applicant);
        contacted->setEnabled(origin_ == Origin::Applicant);
    }
    connect(model_, &MatchModel::readFailed, this, [](const QString& message) {
        MessageBox::show(message, QStringLiteral("خطا در كار با اطلاعات"),
                         MessageBox::Icon::Critical, MessageBox::Buttons::Ok);
    });
    table_->setModel(model_);
    delete old;
    table_->horizontalHeader()->setSortIndicator(model_->sortColumn(), model_->sortOrder());
    table_->resizeColumnsToContents();
    if (model_->rowCount() > 0) {
        table_->setCurrentIndex(model_->index(0, 0));
    }
    table_->setFocus(Qt::OtherFocusReason);
    updateStatus();
    if (model_->matchCount() < 0) {
        countInBackground();
    }
}

void MatchList::contactedToday() {
    if (origin_ != Origin::Applicant || applicant_ == 0) {
        return;
    }
    if (markContactedToday(applicant_)) {
        const long long row = model_ ? model_->idAt(table_->currentIndex().row()) : 0;
        if (showApplicantMatches(applicant_) && row != 0) {
            const int at = model_->rowOf(row);
            if (at >= 0) {
                table_->setCurrentIndex(model_->index(at, 0));
            }
        }
    }
}

// The count reads every match (a server's takes a while over a million
// listings): it runs on a thread of its own, through a connection of its
// own, so the window never waits for it; the status line says … until then.
void MatchList::countInBackground() {
    waitForCount();
    const int generation = ++countGeneration_;
    const StoreLocation store = activeStore();
    const std::optional<Criterion> criterion = model_->criterion();
    const std::optional<ApplicantRequest> request = model_->request();
    count_ = std::async(std::launch::async, [this, generation, store, criterion, request] {
        long long count = -1;
        try {
            const std::unique_ptr<TableStore> table =
                openTableStore(store, listingsTable(), StoreAccess::ReadOnly);
            count = request ? countFittingListings(*table, *request)
                            : table->countMatches(criterion ? &*criterion : nullptr);
        } catch (const StoreError&) {
            // the count stays unknown; the list itself works on
        }
        QMetaObject::invokeMethod(
            this,
            [this, generation, count] {
                if (generation == countGeneration_ && model_) {
                    model_->takeCount(count);
                    updateStatus();
                }
            },
            Qt::QueuedConnection);
    });
}

void MatchList::waitForCount() {
    if (count_.valid()) {
        count_.wait();
    }
}

void MatchList::updateStatus() {
    const long long count = model_->matchCount();
    const QString text = QStringLiteral("%1 فايل — %2")
                             .arg(count >= 0 ? number(count) : QStringLiteral("…"), described_);
    status_->setText(text);
    setWindowTitle(QString::fromUtf8(kTableName) + QStringLiteral(": ") + text);
}

void MatchList::openCurrent() {
    if (!model_ || !table_->currentIndex().isValid()) {
        return;
    }
    const long long id = model_->idAt(table_->currentIndex().row());
    if (id == 0) {
        return;
    }
    RecordSource* source = nullptr;
    if (origin_ == Origin::Search) {
        if (auto* form2 = qobject_cast<Form2*>(Screens::instance().show(ScreenId::Form2))) {
            source = form2->Data1();
        }
    } else if (auto* form7 = qobject_cast<Form7*>(Screens::instance().show(ScreenId::Form7))) {
        source = form7->Data1();
    }
    if (!source) {
        return;
    }
    try {
        if (!source->MoveTo(id)) {
            showListingDeleted();
        }
    } catch (const StoreError& error) {
        showStoreError(error);
    }
}

void MatchList::exportRows() {
    if (!model_) {
        return;
    }
    const QString suggested =
        QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
            .filePath(QStringLiteral("فهرست فايلها.xlsx"));
    const QString file = FileChooser::saveFile(this, QString::fromUtf8(kExportTitle), suggested,
                                               QStringLiteral("Excel (*.xlsx);;CSV (*.csv)"));
    if (file.isEmpty()) {
        return;
    }
    const std::optional<ExportFormat> format = exportFormatOf(file);
    if (!format) {
        MessageBox::show(QString::fromUtf8(kExportNameText), QString::fromUtf8(kExportTitle),
                         MessageBox::Icon::Exclamation, MessageBox::Buttons::Ok);
        return;
    }
    const std::vector<long long> ids = model_->allIds();
    QProgressDialog progress(QString::fromUtf8(kExportTitle), QString(), 0,
                             static_cast<int>(ids.size()), this);
    progress.setObjectName(QStringLiteral("listExportProgress"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    // The save dialog asked before a file was replaced.
    const ExportResult result = exportListings(
        activeStore(), file, *format, ExistingFile::Replace,
        [&progress](qint64 rows) { progress.setValue(static_cast<int>(rows)); }, &ids);
    progress.reset();
    if (!result.ok()) {
        MessageBox::show(result.error, QString::fromUtf8(kExportTitle), MessageBox::Icon::Critical,
                         MessageBox::Buttons::Ok);
        return;
    }
    MessageBox::show(
        QStringLiteral("%1 فايل در %2 نوشته شد.").arg(result.rows).arg(isolatedPath(file)),
        QString::fromUtf8(kExportTitle), MessageBox::Icon::None, MessageBox::Buttons::Ok);
}

void MatchList::printRows() {
    if (!model_) {
        return;
    }
    Print::Page page = listPrintout(*model_, described_, solarToday());
    // A long list makes thousands of pages: the window paints and a
    // progress window counts them meanwhile.
    QProgressDialog progress(QStringLiteral("چاپ فهرست ..."), QString(), 0, page.count, this);
    progress.setObjectName(QStringLiteral("listPrintProgress"));
    progress.setWindowTitle(QStringLiteral("چاپ فهرست"));
    progress.setCancelButton(nullptr);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    if (page.paintIndexed) {
        page.paintIndexed = [&progress, draw = page.paintIndexed](QPainter& painter, int index) {
            draw(painter, index);
            progress.setValue(index + 1);
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        };
    }
    const Print::Outcome outcome = Print::printPage(page, QString::fromUtf8(kTableName));
    progress.reset();
    const QString message = Print::outcomeMessage(outcome);
    if (!message.isEmpty()) {
        MessageBox::show(message, QStringLiteral("چاپ فهرست"),
                         outcome.kind == Print::Outcome::Failed ? MessageBox::Icon::Critical
                                                                : MessageBox::Icon::None,
                         MessageBox::Buttons::Ok);
    }
}

void MatchList::closeList() {
    unload();
}

void MatchList::sortByCurrentColumn() {
    if (!model_) {
        return;
    }
    const int column = table_->currentIndex().isValid() ? table_->currentIndex().column() : 0;
    const long long id = model_->idAt(table_->currentIndex().row());
    const Qt::SortOrder order =
        model_->sortColumn() == column && model_->sortOrder() == Qt::AscendingOrder
            ? Qt::DescendingOrder
            : Qt::AscendingOrder;
    model_->sort(column, order);
    table_->horizontalHeader()->setSortIndicator(model_->sortColumn(), model_->sortOrder());
    // The cursor stays on its listing where it is among the rows read.
    const int row = std::max(0, model_->rowOf(id));
    if (model_->rowCount() > 0) {
        table_->setCurrentIndex(model_->index(row, column));
    }
    updateStatus();
}

void MatchList::importSheet() {
    // The list is read again once the preview has gone: what was added shows.
    if (SheetPreview* preview = showSheetImport(this)) {
        const Origin origin = origin_;
        const long long applicant = applicant_;
        connect(preview, &QDialog::finished, this, [origin, applicant] {
            if (origin == Origin::Applicant) {
                showApplicantListings(applicant);
            } else {
                showMatchList(origin);
            }
        });
    }
}

void showMatchList(MatchList::Origin origin) {
    const Criterion* criterion = nullptr;
    if (origin == MatchList::Origin::Search) {
        if (auto* form2 = Screens::instance().find<Form2>(ScreenId::Form2)) {
            criterion = form2->Data1() ? form2->Data1()->lastCriterion() : nullptr;
        }
    } else if (origin == MatchList::Origin::Edit) {
        if (auto* form7 = Screens::instance().find<Form7>(ScreenId::Form7)) {
            criterion = form7->Data1() ? form7->Data1()->lastCriterion() : nullptr;
        }
    }
    // The criterion is copied before the list's screen opens.
    const std::optional<Criterion> held =
        criterion ? std::optional<Criterion>(*criterion) : std::nullopt;
    auto* list = qobject_cast<MatchList*>(Screens::instance().show(ScreenId::MatchList));
    if (!list) {
        return;
    }
    try {
        list->showMatches(origin, held ? &*held : nullptr);
    } catch (const StoreError& error) {
        showStoreError(error);
    }
}

void showListingDeleted() {
    MessageBox::show(QString::fromUtf8(kDeletedText), QString::fromUtf8(kDeletedTitle),
                     MessageBox::Icon::Exclamation, MessageBox::Buttons::Ok);
}

void showApplicantListings(long long id) {
    // An applicant that is not there is said so before any list opens.
    RowValues applicant;
    if (!readApplicant(id, applicant)) {
        return;
    }
    auto* list = qobject_cast<MatchList*>(Screens::instance().show(ScreenId::MatchList));
    if (!list) {
        return;
    }
    try {
        list->showApplicantMatches(id);
    } catch (const StoreError& error) {
        showStoreError(error);
    }
}

void addMatchListKey(Screen* screen, MatchList::Origin origin) {
    auto* action = new QAction(screen);
    action->setObjectName(QStringLiteral("matchListKey"));
    action->setShortcut(QKeySequence(Qt::Key_F4));
    action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    screen->addAction(action);
    QObject::connect(action, &QAction::triggered, screen, [origin] { showMatchList(origin); });
}

QString describeCriterion(const Criterion* criterion) {
    if (!criterion) {
        return QString::fromUtf8(kAllListings);
    }
    static const QStringList captions = listingFieldCaptions();
    QStringList parts;
    for (const Criterion::Test& test : criterion->tests()) {
        const QString field = captions.value(test.field).trimmed();
        switch (test.kind) {
        case Criterion::Test::Kind::Flag:
            parts << field;
            break;
        case Criterion::Test::Kind::TextEquals:
            parts << QStringLiteral("%1 «%2»").arg(field, test.value.text);
            break;
        case Criterion::Test::Kind::TextOrder:
            parts << QStringLiteral("%1 %2 %3")
                         .arg(field,
                              test.op == QLatin1Char('>') ? QStringLiteral("بيشتر از")
                                                          : QStringLiteral("كمتر از"),
                              test.value.text);
            break;
        case Criterion::Test::Kind::NumberRange:
            parts << QStringLiteral("%1 از %2 تا %3")
                         .arg(field, QString::number(test.low, 'f', 0),
                              QString::number(test.high, 'f', 0));
            break;
        }
    }
    return parts.join(QStringLiteral("، "));
}

} // namespace velmoran
