// The .xlsx of the export (libxlsxwriter): one sheet, right to left, every
// value a text cell; each column as wide as its heading and values need up
// to kWidestColumn, longer text wrapped; printed landscape on A4, one page
// wide, the heading row on every page.

#include "export/listingexport.h"
#include "export/sheetwriter.h"

#include "data/core/storemessages.h"
#include "data/folder/fileaccess.h"

#include <QFile>
#include <QRegularExpression>

#include <xlsxwriter.h>

#include <algorithm>
#include <cerrno>
#include <vector>

namespace velmoran {

namespace {

// The rows of a spreadsheet; the first holds the headings.
constexpr qint64 kXlsxRows = 1048576;

// Column widths, in the sheet's unit (the width of a digit).
constexpr double kWidestColumn = 50;
constexpr double kNarrowestColumn = 4;
constexpr double kColumnMargin = 2;
// Bold letters of the heading are about this much wider.
constexpr double kBoldWidth = 1.1;

constexpr uint8_t kPaperA4 = 9;

// The letters a line of `text` shows: no joiners, marks or other characters
// without a width of their own.
int shownLetters(QStringView line) {
    int letters = 0;
    for (const char32_t c : line.toUcs4()) {
        switch (QChar::category(c)) {
        case QChar::Mark_NonSpacing:
        case QChar::Mark_Enclosing:
        case QChar::Other_Format:
            break;
        default:
            ++letters;
        }
    }
    return letters;
}

// The width the longest line of `text` needs.
double widthOf(const QString& text, double scale) {
    int longest = 0;
    for (const QStringView line : QStringView(text).split(QLatin1Char('\n'))) {
        longest = std::max(longest, shownLetters(line));
    }
    return longest * scale + kColumnMargin;
}

class XlsxWriter : public SheetWriter {
public:
    XlsxWriter(const QString& path, const QString& scratch) : path_(path.toLocal8Bit()) {
        const QByteArray& name = path_;
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
        worksheet_repeat_rows(sheet_, 0, 0);
        worksheet_set_landscape(sheet_);
        worksheet_set_paper(sheet_, kPaperA4);
        worksheet_fit_to_pages(sheet_, 1, 0);
        worksheet_gridlines(sheet_, LXW_SHOW_ALL_GRIDLINES);
        bold_ = workbook_add_format(workbook_);
        format_set_bold(bold_);
        format_set_align(bold_, LXW_ALIGN_VERTICAL_TOP);
        plain_ = workbook_add_format(workbook_);
        format_set_align(plain_, LXW_ALIGN_VERTICAL_TOP);
        wrapped_ = workbook_add_format(workbook_);
        format_set_align(wrapped_, LXW_ALIGN_VERTICAL_TOP);
        format_set_text_wrap(wrapped_);
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
        if (widths_.size() < static_cast<std::size_t>(values.size())) {
            widths_.resize(static_cast<std::size_t>(values.size()), kNarrowestColumn);
        }
        for (qsizetype i = 0; i < values.size(); ++i) {
            if (values[i].isEmpty()) {
                continue;
            }
            QString value = xlsxCellText(withoutNul(values[i], row_, i));
            if (value.size() > kXlsxCellCharacters) {
                warnings << QStringLiteral("رديف %1، ستون %2: متن %3 حرفي به %4 حرف كوتاه شد.")
                                .arg(row_)
                                .arg(i + 1)
                                .arg(value.size())
                                .arg(kXlsxCellCharacters);
                value.truncate(kXlsxCellCharacters);
            }
            const double width = widthOf(value, row_ == 0 ? kBoldWidth : 1.0);
            double& column = widths_[static_cast<std::size_t>(i)];
            column = std::max(column, width);
            lxw_format* format = bold_;
            if (row_ > 0) {
                format =
                    width > kWidestColumn || value.contains(QLatin1Char('\n')) ? wrapped_ : plain_;
            }
            const QByteArray text = value.toUtf8();
            const lxw_error rc =
                worksheet_write_string(sheet_, static_cast<lxw_row_t>(row_),
                                       static_cast<lxw_col_t>(i), text.constData(), format);
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
        // The widths once every value is seen; the sheet's columns are
        // written when the workbook closes.
        for (std::size_t c = 0; c < widths_.size(); ++c) {
            const bool capped = widths_[c] > kWidestColumn;
            const lxw_error rc = worksheet_set_column(
                sheet_, static_cast<lxw_col_t>(c), static_cast<lxw_col_t>(c),
                capped ? kWidestColumn : widths_[c], capped ? wrapped_ : nullptr);
            if (rc != LXW_NO_ERROR) {
                error_ = QString::fromUtf8(lxw_strerror(rc));
                return false;
            }
        }
        const lxw_error rc = workbook_close(workbook_);
        workbook_ = nullptr;
        if (rc != LXW_NO_ERROR) {
            error_ = QString::fromUtf8(lxw_strerror(rc));
            return false;
        }
        // On the disk before it takes the name of a file it may replace.
        if (!syncPath(QFile::decodeName(path_), false)) {
            error_ = systemError(errno);
            return false;
        }
        return true;
    }

private:
    QByteArray path_;
    QByteArray scratch_;
    lxw_workbook* workbook_ = nullptr;
    lxw_worksheet* sheet_ = nullptr;
    lxw_format* bold_ = nullptr;
    lxw_format* plain_ = nullptr;
    lxw_format* wrapped_ = nullptr;
    std::vector<double> widths_;
    qint64 row_ = 0;
};

} // namespace

QString xlsxCellText(const QString& value) {
    QString text = value;
    if (text.contains(QLatin1Char('\r'))) {
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    }
    if (text.contains(QLatin1String("_x"))) {
        // Every underscore that opens one, overlapping ones too (_x0041_x0042_).
        static const QRegularExpression escape(QStringLiteral("_(?=x[0-9A-Fa-f]{4}_)"));
        text.replace(escape, QStringLiteral("_x005F_"));
    }
    return text;
}

std::unique_ptr<SheetWriter> xlsxWriter(const QString& path, const QString& scratch) {
    return std::make_unique<XlsxWriter>(path, scratch);
}

} // namespace velmoran
