#include "screens/sheetimport/sheetpreview.h"

#include "data/core/fieldcaptions.h"
#include "data/core/storeerror.h"
#include "data/core/storemessages.h"
#include "data/store/writegate.h"
#include "import/sheetfile.h"
#include "platform/messagebox.h"

#include <QApplication>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace velmoran {

namespace {

const QString kTitle = QStringLiteral("افزودن فايلها از برگه");

// A progress window for reading and storing a sheet: told the work's per
// mille, it paints and answers meanwhile; false once the user cancels.
class SheetProgress {
public:
    SheetProgress(QWidget* parent, const QString& label) : dialog_(parent) {
        dialog_.setObjectName(QStringLiteral("SheetImportProgress"));
        dialog_.setWindowTitle(kTitle);
        dialog_.setLabelText(label);
        dialog_.setCancelButtonText(QStringLiteral("انصراف"));
        dialog_.setLayoutDirection(Qt::RightToLeft);
        dialog_.setWindowModality(Qt::ApplicationModal);
        dialog_.setRange(0, 1000);
        dialog_.setAutoClose(false);
        dialog_.setAutoReset(false);
        dialog_.setMinimumDuration(0);
        dialog_.setMinimumWidth(420);
        dialog_.setValue(0);
    }
    // Gone before a message about the work shows.
    void close() { dialog_.hide(); }
    bool operator()(int permille) {
        dialog_.setValue(permille);
        QApplication::processEvents();
        return !dialog_.wasCanceled();
    }
    std::function<bool(int)> callback() {
        return [this](int permille) { return (*this)(permille); };
    }

private:
    QProgressDialog dialog_;
};

QTableWidgetItem* item(const QString& text) {
    auto* cell = new QTableWidgetItem(text);
    cell->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return cell;
}

QTableWidget* table(QWidget* parent, const char* name, const QStringList& headings) {
    auto* t = new QTableWidget(parent);
    t->setObjectName(QLatin1String(name));
    t->setColumnCount(static_cast<int>(headings.size()));
    t->setHorizontalHeaderLabels(headings);
    t->setLayoutDirection(Qt::RightToLeft);
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->horizontalHeader()->setStretchLastSection(true);
    t->verticalHeader()->hide();
    return t;
}

void showFailure(const QString& message) {
    MessageBox::show(message, kTitle, MessageBox::Icon::Critical, MessageBox::Buttons::Ok);
}

} // namespace

std::optional<import::SheetImportReport> checkSheet(QWidget* parent, const StoreLocation& store,
                                                    const QString& file) {
    SheetProgress progress(parent, QStringLiteral("خواندن %1 ...").arg(QFileInfo(file).fileName()));
    import::SheetImportOptions options;
    options.dryRun = true;
    options.previewRows = SheetPreview::kPreviewRows;
    options.progress = progress.callback();
    try {
        const std::unique_ptr<TableStore> table =
            openTableStore(store, listingsTable(), StoreAccess::ReadOnly);
        import::SheetImportReport report = import::importSheet(file, table.get(), options);
        progress.close();
        if (report.cancelled) {
            return std::nullopt;
        }
        return report;
    } catch (const import::SheetError& e) {
        progress.close();
        showFailure(e.message());
    } catch (const StoreError& e) {
        progress.close();
        showFailure(e.message());
    }
    return std::nullopt;
}

SheetPreview::SheetPreview(QWidget* parent, const StoreLocation& store, const QString& file,
                           import::SheetImportReport report)
    : QDialog(parent), store_(store), file_(file), report_(std::move(report)) {
    setObjectName(QStringLiteral("SheetPreview"));
    setWindowTitle(kTitle);
    setLayoutDirection(Qt::RightToLeft);
    auto* layout = new QVBoxLayout(this);
    auto* fileLabel = new QLabel(this);
    fileLabel->setObjectName(QStringLiteral("SheetFileLabel"));
    QString about = QStringLiteral("فايل: %1").arg(isolatedPath(file));
    if (!report_.note.isEmpty()) {
        about += QLatin1Char('\n') + report_.note;
    }
    fileLabel->setText(about);
    fileLabel->setWordWrap(true);
    layout->addWidget(fileLabel);

    summary_ = new QLabel(this);
    summary_->setObjectName(QStringLiteral("SummaryLabel"));
    summary_->setWordWrap(true);
    summary_->setText(
        QStringLiteral("%1 رديف خوانده شد: %2 فايل افزوده مي شود، %3 رديف پذيرفته نمي شود و %4 "
                       "رديف تكراري است.")
            .arg(report_.rowsRead)
            .arg(report_.added)
            .arg(report_.refusedRows)
            .arg(report_.duplicateRows));
    layout->addWidget(summary_);

    auto* middle = new QHBoxLayout;
    headings_ =
        table(this, "HeadingsTable", {QStringLiteral("عنوان ستون"), QStringLiteral("فيلد")});
    middle->addWidget(headings_, 1);
    notes_ = table(this, "NotesTable",
                   {QStringLiteral("رديف"), QStringLiteral("ستون"), QStringLiteral("چه شد"),
                    QStringLiteral("شرح")});
    middle->addWidget(notes_, 2);
    layout->addLayout(middle, 1);

    preview_ = new QTableWidget(this);
    preview_->setObjectName(QStringLiteral("PreviewTable"));
    preview_->setLayoutDirection(Qt::RightToLeft);
    preview_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    preview_->verticalHeader()->hide();
    layout->addWidget(preview_, 2);

    auto* buttons = new QHBoxLayout;
    add_ = new QPushButton(QStringLiteral("افزودن %1 فايل").arg(report_.added), this);
    add_->setObjectName(QStringLiteral("AddButton"));
    add_->setEnabled(report_.added > 0);
    add_->setDefault(true);
    close_ = new QPushButton(QStringLiteral("بستن"), this);
    close_->setObjectName(QStringLiteral("CloseButton"));
    buttons->addWidget(add_);
    buttons->addWidget(close_);
    buttons->addStretch(1);
    layout->addLayout(buttons);
    connect(add_, &QPushButton::clicked, this, [this] {
        if (addRows() >= 0) {
            accept();
        }
    });
    connect(close_, &QPushButton::clicked, this, &QDialog::reject);

    fillHeadings();
    fillPreview();
    fillNotes();
    resize(1000, 640);
}

void SheetPreview::fillHeadings() {
    const QStringList captions = listingFieldCaptions();
    headings_->setRowCount(static_cast<int>(report_.headings.size()));
    for (int c = 0; c < report_.headings.size(); ++c) {
        headings_->setItem(c, 0, item(report_.headings[c]));
        const int field = report_.fieldOf[static_cast<std::size_t>(c)];
        headings_->setItem(
            c, 1,
            item(field < 0 ? QStringLiteral("— خوانده نمي شود —")
                           : QStringLiteral("%1 (%2)").arg(
                                 captions[field], QLatin1String(kListingFields[field].name))));
    }
    headings_->resizeColumnsToContents();
}

void SheetPreview::fillPreview() {
    const QStringList captions = listingFieldCaptions();
    std::vector<int> fields;
    for (const int field : report_.fieldOf) {
        if (field >= 0) {
            fields.push_back(field);
        }
    }
    QStringList headings{QStringLiteral("رديف")};
    for (const int field : fields) {
        headings << captions[field];
    }
    preview_->setColumnCount(static_cast<int>(headings.size()));
    preview_->setHorizontalHeaderLabels(headings);
    preview_->setRowCount(static_cast<int>(report_.preview.size()));
    for (std::size_t r = 0; r < report_.preview.size(); ++r) {
        const int row = static_cast<int>(r);
        const RowValues& values = report_.preview[r];
        const bool duplicate = report_.previewDuplicate[r];
        preview_->setItem(row, 0,
                          item(duplicate
                                   ? QStringLiteral("%1 تكراري").arg(report_.previewNumbers[r])
                                   : QString::number(report_.previewNumbers[r])));
        for (std::size_t i = 0; i < fields.size(); ++i) {
            const int field = fields[i];
            const QString text = kListingFields[field].kind == FieldKind::Flag
                                     ? (values.flags[field] ? QStringLiteral("✓") : QString())
                                     : values.texts[field];
            preview_->setItem(row, static_cast<int>(i) + 1, item(text));
        }
        if (duplicate) {
            for (int c = 0; c < preview_->columnCount(); ++c) {
                preview_->item(row, c)->setForeground(Qt::gray);
            }
        }
    }
    preview_->resizeColumnsToContents();
}

void SheetPreview::fillNotes() {
    struct Kind {
        const std::vector<import::SheetNote>* notes;
        QString what;
    };
    const Kind kinds[] = {{&report_.refused, QStringLiteral("پذيرفته نمي شود")},
                          {&report_.duplicates, QStringLiteral("تكراري، افزوده نمي شود")},
                          {&report_.warnings, QStringLiteral("هشدار")}};
    int row = 0;
    for (const QString& column : report_.unmatched) {
        notes_->insertRow(row);
        notes_->setItem(row, 0, item(QString()));
        notes_->setItem(row, 1, item(column));
        notes_->setItem(row, 2, item(QStringLiteral("ستون خوانده نمي شود")));
        notes_->setItem(row, 3, item(QStringLiteral("به هيچ فيلدي نخورد")));
        ++row;
    }
    for (const import::HeadingMatch::Repeated& column : report_.repeated) {
        notes_->insertRow(row);
        notes_->setItem(row, 0, item(QString()));
        notes_->setItem(row, 1, item(column.column));
        notes_->setItem(row, 2, item(QStringLiteral("ستون خوانده نمي شود")));
        notes_->setItem(row, 3,
                        item(QStringLiteral("فيلد %1 آن را ستون %2 مي دهد")
                                 .arg(isolated(column.field))
                                 .arg(column.firstColumn)));
        ++row;
    }
    for (const Kind& kind : kinds) {
        for (const import::SheetNote& note : *kind.notes) {
            notes_->insertRow(row);
            notes_->setItem(row, 0, item(QString::number(note.row)));
            notes_->setItem(row, 1, item(note.heading));
            notes_->setItem(row, 2, item(kind.what));
            notes_->setItem(row, 3, item(note.text));
            ++row;
        }
    }
    notes_->resizeColumnsToContents();
}

qint64 SheetPreview::addRows() {
    SheetProgress progress(
        this, QStringLiteral("افزودن فايلهاي %1 ...").arg(QFileInfo(file_).fileName()));
    import::SheetImportOptions options;
    options.progress = progress.callback();
    try {
        // The gate every save passes, before the sheet is read again: a
        // store whose check is pending is waited for, a damaged one refused
        // with the message a save gets.
        passWriteGate(store_, listingsTable());
        const std::unique_ptr<TableStore> table = openTableStore(store_, listingsTable());
        const import::SheetImportReport done = import::importSheet(file_, table.get(), options);
        progress.close();
        if (done.cancelled) {
            MessageBox::show(QStringLiteral("افزودن لغو شد؛ هيچ فايلي افزوده نشد."), kTitle,
                             MessageBox::Icon::Exclamation, MessageBox::Buttons::Ok);
            return -1;
        }
        MessageBox::show(QStringLiteral("%1 فايل افزوده شد.").arg(done.added), kTitle,
                         MessageBox::Icon::None, MessageBox::Buttons::Ok);
        return done.added;
    } catch (const import::SheetError& e) {
        progress.close();
        showFailure(e.message() + QStringLiteral(" هيچ فايلي افزوده نشد."));
    } catch (const StoreError& e) {
        progress.close();
        showFailure(e.message() + QStringLiteral(" هيچ فايلي افزوده نشد."));
    }
    return -1;
}

} // namespace velmoran
