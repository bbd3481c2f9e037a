// A .csv as spreadsheets write it (RFC 4180): fields separated by commas,
// quoted where they hold a comma, a quote or a line break; records ended by
// CR LF, LF or a lone CR, mixed in one file as they come. UTF-8 with or
// without a byte-order mark, or UTF-16 with its mark; a file that does not
// read as UTF-8 at all is read as Windows-1256 (what Excel on a Persian
// Windows saves) and the report says so, while a UTF-8 file with a few bad
// bytes is refused, naming the first. Read a piece at a time: a large file
// is never held whole.

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

// The look at the bytes before the reading: whether they read as UTF-8, and
// where the first that does not stands. It follows the records as the
// reading does (quotes, commas, line ends) only to stop at a record the
// reading refuses anyway, so a huge line is refused at once.
class Survey {
public:
    qint64 goodSequences = 0; // characters of more than one byte
    qint64 badSequences = 0;
    qint64 badLine = 0; // of the first bad byte, from 1
    qint64 badColumn = 0;
    bool beyondLimits = false; // stopped at a record past the cell or column limit

    // Takes the next piece; false once a record is past the limits.
    bool take(const QByteArray& piece) {
        for (const char byte : piece) {
            const auto b = static_cast<unsigned char>(byte);
            utf8(b);
            if (!record(b)) {
                beyondLimits = true;
                return false;
            }
        }
        return true;
    }
    void end() {
        if (need_ > 0) {
            bad();
        }
    }

private:
    void bad() {
        if (badSequences++ == 0) {
            badLine = line_;
            badColumn = column_;
        }
        need_ = 0;
    }
    void utf8(unsigned char b) {
        if (need_ > 0) {
            if ((b & 0xC0) == 0x80 && b >= low_ && b <= high_) {
                low_ = 0x80;
                high_ = 0xBF;
                if (--need_ == 0) {
                    ++goodSequences;
                }
                return;
            }
            bad(); // and the byte starts afresh
        }
        ++column_;
        if (b == '\n') {
            if (!afterCr_) {
                ++line_;
            }
            column_ = 0;
        } else if (b == '\r') {
            ++line_;
            column_ = 0;
        }
        afterCr_ = b == '\r';
        if (b < 0x80) {
            return;
        }
        low_ = 0x80;
        high_ = 0xBF;
        if (b >= 0xC2 && b <= 0xDF) {
            need_ = 1;
        } else if (b >= 0xE0 && b <= 0xEF) {
            need_ = 2;
            low_ = b == 0xE0 ? 0xA0 : 0x80;
            high_ = b == 0xED ? 0x9F : 0xBF;
        } else if (b >= 0xF0 && b <= 0xF4) {
            need_ = 3;
            low_ = b == 0xF0 ? 0x90 : 0x80;
            high_ = b == 0xF4 ? 0x8F : 0xBF;
        } else {
            bad();
        }
    }
    // The records as CsvReader reads them, in bytes; false past its limits
    // (a byte is at most a character, three bytes at least one).
    bool record(unsigned char b) {
        if (closing_) {
            closing_ = false;
            if (b == '"') {
                return ++field_ <= 3 * kLongestCell;
            }
            quoted_ = false;
        }
        if (quoted_) {
            if (b == '"') {
                closing_ = true;
                return true;
            }
            return ++field_ <= 3 * kLongestCell;
        }
        if (b == '"' && field_ == 0 && !wasQuoted_) {
            quoted_ = wasQuoted_ = true;
        } else if (b == ',') {
            field_ = 0;
            wasQuoted_ = false;
            return ++columns_ < kSheetColumns;
        } else if (b == '\n' || b == '\r') {
            field_ = 0;
            columns_ = 0;
            wasQuoted_ = false;
        } else {
            return ++field_ <= 3 * kLongestCell;
        }
        return true;
    }

    int need_ = 0; // continuation bytes still to come
    unsigned char low_ = 0x80, high_ = 0xBF;
    qint64 line_ = 1, column_ = 0;
    bool afterCr_ = false;
    qint64 field_ = 0;
    int columns_ = 0;
    bool quoted_ = false, wasQuoted_ = false, closing_ = false;
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
        const QByteArray start = file_.peek(3);
        if (start.startsWith("\xFF\xFE") || start.startsWith("\xFE\xFF")) {
            // UTF-16, as its mark says; the mark opens the file, not its
            // first value.
            file_.seek(2);
            decoder_ = QStringDecoder(start.startsWith("\xFF") ? QStringDecoder::Utf16LE
                                                               : QStringDecoder::Utf16BE,
                                      QStringDecoder::Flag::ConvertInitialBom);
            return;
        }
        const bool marked = start == QByteArray("\xEF\xBB\xBF");
        const Survey survey = surveyed();
        file_.seek(0);
        // Windows-1256 only when the text does not read as UTF-8 at all: its
        // letters then make far more bad sequences than good ones by chance.
        const bool windows1256 =
            !marked && survey.badSequences > 0 && survey.badSequences >= survey.goodSequences;
        if (!windows1256) {
            if (survey.badSequences > 0) {
                fail(QStringLiteral("متن فايل UTF-8 است اما در سطر %1، نويسه %2 بايتي دارد كه در "
                                    "UTF-8 نيست (در همه فايل %3 جا)؛ فايل را دوباره با UTF-8 "
                                    "ذخيره كنيد")
                         .arg(survey.badLine)
                         .arg(survey.badColumn)
                         .arg(survey.badSequences));
            }
            if (marked) {
                file_.seek(3);
            }
            decoder_ =
                QStringDecoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
            // Bytes past a record the survey stopped at are checked as they
            // are read.
            checked_ = !survey.beyondLimits;
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

    // The whole file looked at once beforehand, up to a record the reading
    // refuses.
    Survey surveyed() {
        Survey survey;
        while (!file_.atEnd()) {
            const QByteArray piece = file_.read(kPiece);
            if (piece.isEmpty()) {
                fail(file_.errorString());
            }
            if (!survey.take(piece)) {
                return survey;
            }
        }
        survey.end();
        return survey;
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
            if (!checked_ && decoder_.hasError()) {
                fail(QStringLiteral("متن فايل پس از رديف %1 UTF-8 نيست").arg(number_));
            }
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
    bool checked_ = true;                      // the survey found every byte sound
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
