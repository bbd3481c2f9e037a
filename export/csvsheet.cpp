// The .csv of the export: UTF-8 with a byte-order mark, RFC 4180 quoting,
// CR LF lines, and no cell a spreadsheet turns into a formula.

#include "export/sheetwriter.h"

#include "data/folder/fileaccess.h"

#include <QFile>

namespace velmoran {

namespace {

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
            const QByteArray text = csvCellText(withoutNul(values[i], row_, i)).toUtf8();
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
        ++row_;
        return buffer_.size() < kFlushBytes || flush();
    }
    bool finish() override {
        if (!error_.isEmpty() || !flush()) {
            return false;
        }
        if (!file_.flush() || !syncDescriptor(file_.handle())) {
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
    qint64 row_ = 0;
};

} // namespace

namespace {

bool formulaStart(QChar c) {
    switch (c.unicode()) {
    case '=':
    case '+':
    case '-':
    case '@':
    case '\t':
    case '\r':
        return true;
    default:
        return false;
    }
}

} // namespace

QString SheetWriter::withoutNul(const QString& value, qint64 row, qsizetype column) {
    if (!value.contains(QChar(0))) {
        return value;
    }
    warnings << QStringLiteral("رديف %1، ستون %2: نويسه NUL (كد صفر) كه در فايل جا نمي گيرد از "
                               "متن برداشته شد.")
                    .arg(row)
                    .arg(column + 1);
    QString text = value;
    return text.remove(QChar(0));
}

QString csvCellText(const QString& value) {
    // After any apostrophes of the value's own: the import takes one off
    // such a value, so it gets one more, and a value of the agency's that
    // begins with them comes back as it was.
    qsizetype at = 0;
    while (at < value.size() && value[at] == QLatin1Char('\'')) {
        ++at;
    }
    return at < value.size() && formulaStart(value[at]) ? QLatin1Char('\'') + value : value;
}

std::unique_ptr<SheetWriter> csvWriter(const QString& path) {
    return std::make_unique<CsvWriter>(path);
}

} // namespace velmoran
