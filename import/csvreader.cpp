// A .csv as spreadsheets write it (RFC 4180): fields separated by commas,
// quoted where they hold a comma, a quote or a line break; records ended by
// CR LF, LF or a lone CR, mixed in one file as they come. UTF-8 with or
// without a byte-order mark; a file that is not UTF-8 is read as
// Windows-1256 (what Excel on a Persian Windows saves) and the report says
// so. Read a piece at a time: a large file is never held whole.

#include "import/sheetfile.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <iconv.h>
#include <memory>

namespace velmoran::import {

namespace {

constexpr qint64 kPiece = 1 << 20;

// Windows-1256 through iconv, which every system the program runs on has
// (Qt's own converters know the code page only where it is built with ICU).
// One byte a character, every byte a character: a piece converts by itself.
class Windows1256 {
public:
    Windows1256() : cd_(iconv_open("UTF-8", "CP1256")) {}
    ~Windows1256() {
        if (isValid()) {
            iconv_close(cd_);
        }
    }
    Windows1256(const Windows1256&) = delete;
    Windows1256& operator=(const Windows1256&) = delete;
    bool isValid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    QString decode(const QByteArray& piece) {
        QByteArray out(piece.size() * 3 + 4, Qt::Uninitialized);
        char* in = const_cast<char*>(piece.constData());
        size_t inLeft = static_cast<size_t>(piece.size());
        char* to = out.data();
        size_t outLeft = static_cast<size_t>(out.size());
        iconv(cd_, &in, &inLeft, &to, &outLeft);
        out.truncate(out.size() - static_cast<qsizetype>(outLeft));
        return QString::fromUtf8(out);
    }

private:
    iconv_t cd_;
};

class CsvReader : public SheetReader {
public:
    explicit CsvReader(const QString& path) : path_(path), file_(path) {
        if (!QFileInfo::exists(path)) {
            fail(QStringLiteral("فايل وجود ندارد"));
        }
        if (!file_.open(QIODevice::ReadOnly)) {
            fail(file_.errorString());
        }
        size_ = std::max<qint64>(1, file_.size());
        const bool utf8 = isUtf8();
        file_.seek(0);
        if (utf8) {
            // A byte-order mark opens the file, not its first value.
            if (file_.peek(3) == QByteArray("\xEF\xBB\xBF")) {
                file_.seek(3);
            }
            decoder_ =
                QStringDecoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
        } else {
            windows1256_ = std::make_unique<Windows1256>();
            if (!windows1256_->isValid()) {
                fail(
                    QStringLiteral("متن فايل UTF-8 نيست و تبديل آن از Windows-1256 در دسترس نيست"));
            }
            note = QStringLiteral("متن فايل UTF-8 نبود و از Windows-1256 (عربي ويندوز) خوانده شد");
        }
    }

    bool next(SheetRow& row) override {
        for (;;) {
            if (!fill()) {
                return false;
            }
            row.number = ++number_;
            row.cells.clear();
            readRecord(row);
            const bool blank =
                row.cells.size() == 1 && row.cells.front().text.isEmpty() && !lastQuoted_;
            if (!blank) {
                return true;
            }
        }
    }

    int progress() const override {
        return static_cast<int>(std::min<qint64>(1000, file_.pos() * 1000 / size_));
    }

private:
    [[noreturn]] void fail(const QString& why) const { throw SheetError(sheetMessage(path_, why)); }

    // Whether the whole file is sound UTF-8, read once beforehand.
    bool isUtf8() {
        QStringDecoder check(QStringDecoder::Utf8);
        while (!file_.atEnd()) {
            const QByteArray piece = file_.read(kPiece);
            if (piece.isEmpty()) {
                fail(file_.errorString());
            }
            const QString decoded = check.decode(piece);
            if (check.hasError()) {
                return false;
            }
        }
        const QString rest = check.decode(QByteArray());
        return !check.hasError() && rest.isEmpty();
    }

    // Text to read at `at_`; false at the end of the file.
    bool fill() {
        if (at_ < text_.size()) {
            return true;
        }
        text_.clear();
        at_ = 0;
        while (text_.isEmpty() && !file_.atEnd()) {
            const QByteArray piece = file_.read(kPiece);
            if (piece.isEmpty()) {
                fail(file_.errorString());
            }
            text_ = windows1256_ ? windows1256_->decode(piece) : decoder_.decode(piece);
        }
        return !text_.isEmpty();
    }

    void append(QString& field, QChar c) {
        if (field.size() >= kLongestCell) {
            fail(QStringLiteral("رديف %1 خانه اي بلندتر از %2 حرف دارد؛ شايد گيومه اي (\") باز "
                                "مانده است")
                     .arg(number_)
                     .arg(kLongestCell));
        }
        field += c;
    }

    // One record from here to its end of line (or of the file) into `row`.
    void readRecord(SheetRow& row) {
        QString field;
        bool quoted = false;    // within quotes
        bool wasQuoted = false; // the field began with a quote
        const qint64 opened = number_;
        for (;;) {
            if (!fill()) {
                if (quoted) {
                    fail(QStringLiteral("گيومه (\") باز شده در رديف %1 تا پايان فايل بسته نشد")
                             .arg(opened));
                }
                break;
            }
            const QChar c = text_[at_++];
            if (quoted) {
                if (c == QLatin1Char('"')) {
                    if (fill() && text_[at_] == QLatin1Char('"')) {
                        ++at_;
                        append(field, c);
                    } else {
                        quoted = false;
                    }
                } else {
                    append(field, c);
                }
                continue;
            }
            if (c == QLatin1Char('"') && field.isEmpty() && !wasQuoted) {
                quoted = wasQuoted = true;
            } else if (c == QLatin1Char(',')) {
                endField(row, field, wasQuoted);
                wasQuoted = false;
            } else if (c == QLatin1Char('\n')) {
                break;
            } else if (c == QLatin1Char('\r')) {
                if (fill() && text_[at_] == QLatin1Char('\n')) {
                    ++at_;
                }
                break;
            } else {
                append(field, c);
            }
        }
        endField(row, field, wasQuoted);
        lastQuoted_ = wasQuoted;
    }

    void endField(SheetRow& row, QString& field, bool) {
        if (static_cast<int>(row.cells.size()) >= kSheetColumns) {
            fail(QStringLiteral("رديف %1 بيش از %2 ستون دارد").arg(number_).arg(kSheetColumns));
        }
        row.cells.push_back({SheetCell::Kind::Text, field});
        field.clear();
    }

    QString path_;
    QFile file_;
    qint64 size_ = 1;
    QStringDecoder decoder_;
    std::unique_ptr<Windows1256> windows1256_; // a file that is not UTF-8
    QString text_;
    qsizetype at_ = 0;
    qint64 number_ = 0;
    bool lastQuoted_ = false;
};

} // namespace

std::unique_ptr<SheetReader> openCsv(const QString& path) {
    return std::make_unique<CsvReader>(path);
}

} // namespace velmoran::import
