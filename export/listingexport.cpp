#include "export/listingexport.h"

#include "data/core/fields.h"
#include "data/core/storemessages.h"
#include "data/folder/fileaccess.h"
#include "data/store/storelocation.h"
#include "export/exportcolumns.h"
#include "export/sheetwriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <memory>

namespace velmoran {

namespace {

const QString kTick = QString(QChar(0x2713));

constexpr qint64 kProgressRows = 1000;

QString temporaryBeside(const QString& file) {
    const QFileInfo info(file);
    // Made for the user alone: it holds the owners' names and telephone
    // numbers.
    QString pattern =
        info.absolutePath() + QStringLiteral("/.") + info.fileName() + QStringLiteral(".XXXXXX");
    return makePrivateFile(pattern) ? pattern : QString();
}

// Gives the finished `temporary` the name `file`: 0, EEXIST when `file`
// exists and `existing` keeps it, or the errno of the failure.
int putInPlace(const QString& temporary, const QString& file, ExistingFile existing) {
    if (existing == ExistingFile::Replace) {
        return renameOver(temporary, file) ? 0 : errno;
    }
    // A file made meanwhile under that name is kept as well.
    return renameNew(temporary, file) ? 0 : errno;
}

QString existsMessage(const QString& file) {
    return QStringLiteral("فايل %1 از قبل وجود دارد و جايگزين نشد.").arg(isolatedPath(file));
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
                            ExistingFile existing, const ExportProgress& progress,
                            const std::vector<long long>* only) {
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
    // Refused before the work, and again when the file takes its name.
    if (existing == ExistingFile::Keep && pathExists(file)) {
        result.exists = true;
        result.error = existsMessage(file);
        return result;
    }
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
        writer = xlsxWriter(temporary, QFileInfo(file).absolutePath());
    } else {
        writer = csvWriter(temporary);
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
        const auto writeRow = [&](const RowValues& row) {
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
        };
        if (!only) {
            table->scan([&](long long, const RowValues& row) { return writeRow(row); });
        } else {
            // A page of ids at a time, each page written in the order given.
            std::vector<int> every(tableSpec.fieldCount);
            for (std::size_t i = 0; i < every.size(); ++i) {
                every[i] = static_cast<int>(i);
            }
            constexpr std::size_t kPage = 500;
            for (std::size_t from = 0; from < only->size() && written; from += kPage) {
                const std::vector<long long> ids(
                    only->begin() + static_cast<std::ptrdiff_t>(from),
                    only->begin() +
                        static_cast<std::ptrdiff_t>(std::min(only->size(), from + kPage)));
                const std::vector<ListedRow> rows = table->listRows(ids, every);
                for (long long id : ids) {
                    const auto it = std::lower_bound(
                        rows.begin(), rows.end(), id,
                        [](const ListedRow& row, long long wanted) { return row.id < wanted; });
                    if (it != rows.end() && it->id == id && !writeRow(it->values)) {
                        break;
                    }
                }
            }
        }
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
    if (const int error = putInPlace(temporary, file, existing)) {
        if (error == EEXIST && existing == ExistingFile::Keep) {
            result.exists = true;
            result.error = existsMessage(file);
            return result;
        }
        return failed(systemError(error));
    }
    remove.path.clear();
    if (progress) {
        progress(result.rows);
    }
    return result;
}

} // namespace velmoran
