#include "export/listingexport.h"

#include "data/core/fields.h"
#include "data/core/storemessages.h"
#include "data/store/storelocation.h"
#include "export/exportcolumns.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <xlsxwriter.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace velmoran {

namespace {

const QString kTick = QString(QChar(0x2713));

// The rows of a spreadsheet; the first holds the headings.
constexpr qint64 kXlsxRows = 1048576;
constexpr qint64 kProgressRows = 1000;

// One output format: a heading row, then a row per listing.
class SheetWriter {
public:
    virtual ~SheetWriter() = default;
    // False with error() set when the row can't be written.
    virtual bool write(const QStringList& values) = 0;
    // Completes the file; false with error() set.
    virtual bool finish() = 0;
    const QString& error() const { return error_; }
    QStringList warnings;

protected:
    QString error_;
};

class CsvWriter : public SheetWriter {
public:
    explicit CsvWriter(const QString& path) : file_(path) {
        if (!file_.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            error_ = file_.errorString();
        }
        buffer_ = QByteArrayLiteral("\xEF\xBB\xBF");
    }
    bool write(const QStringList& values) override {
        for (qsizetype i = 0; i < values.size(); ++i) {
            if (i > 0) {
                buffer_ += ',';
            }
            const QByteArray text = values[i].toUtf8();
            if (text.contains(',') || text.contains('"') || text.contains('\n') ||
                text.contains('\r')) {
                buffer_ += '"';
                buffer_ += QByteArray(text).replace('"', "\"\"");
                buffer_ += '"';
            } else {
                buffer_ += text;
            }
        }
        buffer_ += "\r\n";
        return buffer_.size() < kFlushBytes || flush();
    }
    bool finish() override {
        if (!error_.isEmpty() || !flush()) {
            return false;
        }
        if (!file_.flush() || ::fsync(file_.handle()) != 0) {
            error_ = file_.errorString();
            return false;
        }
        file_.close();
        return true;
    }

private:
    static constexpr qsizetype kFlushBytes = 1 << 20;
    bool flush() {
        if (file_.write(buffer_) != buffer_.size()) {
            error_ = file_.errorString();
            return false;
        }
        buffer_.clear();
        return true;
    }
    QFile file_;
    QByteArray buffer_;
};

class XlsxWriter : public SheetWriter {
public:
    XlsxWriter(const QString& path, const QString& scratch) {
        const QByteArray name = path.toLocal8Bit();
        scratch_ = scratch.toLocal8Bit();
        lxw_workbook_options options{};
        // Rows go to the file as they come, not into memory: a large store
        // exports in little memory. Text is then stored in each cell.
        options.constant_memory = LXW_TRUE;
        options.tmpdir = scratch_.data();
        workbook_ = workbook_new_opt(name.constData(), &options);
        if (!workbook_) {
            error_ = systemError(errno);
            return;
        }
        sheet_ = workbook_add_worksheet(workbook_, nullptr);
        worksheet_right_to_left(sheet_);
        worksheet_freeze_panes(sheet_, 1, 0);
        worksheet_set_column(sheet_, 0, static_cast<lxw_col_t>(kListingFieldCount - 1), 16,
                             nullptr);
        bold_ = workbook_add_format(workbook_);
        format_set_bold(bold_);
    }
    ~XlsxWriter() override {
        if (workbook_) {
            workbook_close(workbook_);
        }
    }
    bool write(const QStringList& values) override {
        if (!error_.isEmpty()) {
            return false;
        }
        if (row_ >= kXlsxRows) {
            error_ = QStringLiteral("برگه اكسل بيش از %1 رديف نمي گيرد؛ فايل CSV بسازيد")
                         .arg(kXlsxRows - 1);
            return false;
        }
        for (qsizetype i = 0; i < values.size(); ++i) {
            QString value = values[i];
            if (value.isEmpty()) {
                continue;
            }
            if (value.size() > kXlsxCellCharacters) {
                warnings << QStringLiteral("رديف %1، ستون %2: متن %3 حرفي به %4 حرف كوتاه شد.")
                                .arg(row_)
                                .arg(i + 1)
                                .arg(value.size())
                                .arg(kXlsxCellCharacters);
                value.truncate(kXlsxCellCharacters);
            }
            const QByteArray text = value.toUtf8();
            const lxw_error rc = worksheet_write_string(sheet_, static_cast<lxw_row_t>(row_),
                                                        static_cast<lxw_col_t>(i), text.constData(),
                                                        row_ == 0 ? bold_ : nullptr);
            if (rc != LXW_NO_ERROR) {
                error_ = QString::fromUtf8(lxw_strerror(rc));
                return false;
            }
        }
        ++row_;
        return true;
    }
    bool finish() override {
        if (!error_.isEmpty()) {
            return false;
        }
        const lxw_error rc = workbook_close(workbook_);
        workbook_ = nullptr;
        if (rc != LXW_NO_ERROR) {
            error_ = QString::fromUtf8(lxw_strerror(rc));
            return false;
        }
        return true;
    }

private:
    QByteArray scratch_;
    lxw_workbook* workbook_ = nullptr;
    lxw_worksheet* sheet_ = nullptr;
    lxw_format* bold_ = nullptr;
    qint64 row_ = 0;
};

QString temporaryBeside(const QString& file) {
    const QFileInfo info(file);
    QByteArray pattern =
        (info.absolutePath() + QStringLiteral("/.") + info.fileName() + QStringLiteral(".XXXXXX"))
            .toLocal8Bit();
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0) {
        return QString();
    }
    // The file the user asked for, readable as the user's files are.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    ::close(fd);
    return QString::fromLocal8Bit(pattern);
}

} // namespace

std::optional<ExportFormat> exportFormatOf(const QString& file) {
    const QString suffix = QFileInfo(file).suffix().toLower();
    if (suffix == QLatin1String("xlsx")) {
        return ExportFormat::Xlsx;
    }
    if (suffix == QLatin1String("csv")) {
        return ExportFormat::Csv;
    }
    return std::nullopt;
}

ExportResult exportListings(const StoreLocation& store, const QString& file, ExportFormat format,
                            const ExportProgress& progress) {
    ExportResult result;
    const TableSpec& tableSpec = listingsTable();
    const QString storeFile = QDir(store.folder).filePath(QString::fromUtf8(tableSpec.fileName));
    // The server, as its messages show it, or the file.
    QString storeName = isolatedPath(storeFile);
    const auto failed = [&](const QString& detail) {
        result.error = QStringLiteral("فايل %1 از اطلاعات %2 ساخته نشد: %3")
                           .arg(isolatedPath(file), storeName, detail);
        return result;
    };
    const QString temporary = temporaryBeside(file);
    if (temporary.isEmpty()) {
        return failed(systemError(errno));
    }
    struct Remove {
        QString path;
        ~Remove() {
            if (!path.isEmpty()) {
                QFile::remove(path);
            }
        }
    } remove{temporary};
    std::unique_ptr<SheetWriter> writer;
    if (format == ExportFormat::Xlsx) {
        writer = std::make_unique<XlsxWriter>(temporary, QFileInfo(file).absolutePath());
    } else {
        writer = std::make_unique<CsvWriter>(temporary);
    }
    if (!writer->error().isEmpty()) {
        return failed(writer->error());
    }
    if (!store.onServer() && !QFileInfo::exists(storeFile)) {
        return failed(QStringLiteral("فايل اطلاعات وجود ندارد"));
    }
    if (!writer->write(exportHeadings())) {
        return failed(writer->error());
    }
    // Written by the writer while the store is read; its failure ends the
    // reading.
    bool written = true;
    try {
        const std::unique_ptr<TableStore> table =
            openTableStore(store, tableSpec, StoreAccess::ReadOnly);
        if (store.onServer()) {
            storeName = isolated(table->name());
        }
        QStringList values;
        table->scan([&](long long, const RowValues& row) {
            values.clear();
            for (std::size_t i = 0; i < tableSpec.fieldCount; ++i) {
                if (tableSpec.fields[i].kind == FieldKind::Flag) {
                    values << (row.flags[i] ? kTick : QString());
                } else {
                    values << row.texts[i];
                }
            }
            if (!writer->write(values)) {
                written = false;
                return false;
            }
            ++result.rows;
            if (progress && result.rows % kProgressRows == 0) {
                progress(result.rows);
            }
            return true;
        });
    } catch (const StoreError& e) {
        // The store's own sentence, which names it.
        result.error = QStringLiteral("فايل %1 ساخته نشد: %2").arg(isolatedPath(file), e.message());
        return result;
    }
    if (!written) {
        return failed(writer->error());
    }
    if (!writer->finish()) {
        return failed(writer->error());
    }
    result.warnings = writer->warnings;
    if (::rename(temporary.toLocal8Bit().constData(), file.toLocal8Bit().constData()) != 0) {
        return failed(systemError(errno));
    }
    remove.path.clear();
    if (progress) {
        progress(result.rows);
    }
    return result;
}

} // namespace velmoran
