// The first sheet of an .xlsx, read as it inflates: minizip for the zip,
// QXmlStreamReader for the XML. Texts come from the shared strings or the
// cells themselves (inline strings); numbers keep the digits the file has,
// and a number whose style is a date's is marked as a date. A file with a
// DTD is refused whole: no entity of it is ever expanded.

#include "import/sheetfile.h"
#include "import/zipmember.h"

#include "data/core/fields.h"
#include "data/core/storemessages.h"

#include <QDir>
#include <QRegularExpression>
#include <QXmlStreamReader>

#include <algorithm>
#include <map>
#include <set>

namespace velmoran::import {

namespace {

// The small members are read whole, within these bounds.
constexpr qint64 kSmallMember = qint64(16) << 20;
constexpr qint64 kSharedStrings = qint64(256) << 20;

// The shared strings are held in memory, so their count is bounded too, as a
// workbook can use them: each is shown by a cell of its sheets, and a cell
// that shows one takes at least kSharedCellBytes of its sheet
// (<c t="s"><v>0</v></c>); and no workbook of listings holds more than a
// sheet of 1 048 576 rows whose every field is a text of its own.
constexpr qint64 kSharedCellBytes = 20;
constexpr qint64 kFewSharedStrings = 65536;
constexpr qint64 kMostSharedStrings = kSheetRows * qint64(kListingFieldCount);

// Excel's escape of characters XML can't carry: _xHHHH_ (an underscore
// itself as _x005F_).
QString unescaped(const QString& text) {
    if (!text.contains(QLatin1String("_x"))) {
        return text;
    }
    static const QRegularExpression escape(QStringLiteral("_x([0-9A-Fa-f]{4})_"));
    QString result;
    qsizetype from = 0;
    for (auto it = escape.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        result += QStringView(text).mid(from, match.capturedStart() - from);
        result += QChar(match.capturedView(1).toUShort(nullptr, 16));
        from = match.capturedEnd();
    }
    result += QStringView(text).mid(from);
    return result;
}

// The built-in number formats that show a date.
bool dateFormatId(int id) {
    return (id >= 14 && id <= 22) || (id >= 27 && id <= 36) || (id >= 45 && id <= 47) ||
           (id >= 50 && id <= 58);
}

// A format code of the file's own that shows a date: a day, month or year
// letter outside quoted text, escapes and [colours].
bool dateFormatCode(const QString& code) {
    bool quoted = false;
    int bracket = 0;
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar c = code[i];
        if (c == QLatin1Char('"')) {
            quoted = !quoted;
        } else if (quoted) {
            continue;
        } else if (c == QLatin1Char('\\')) {
            ++i;
        } else if (c == QLatin1Char('[')) {
            ++bracket;
        } else if (c == QLatin1Char(']')) {
            bracket = std::max(0, bracket - 1);
        } else if (bracket == 0 && QStringLiteral("dDyY").contains(c)) {
            return true;
        }
    }
    return false;
}

// The namespaces of the workbook's elements, of the relationship attributes
// and of the relationships part, each as most writers write it and in the
// strict form; a part that declares none is read too. An element is known
// by its namespace and its local name, whatever prefix the file gives it
// (<x:c> as .NET's Open XML SDK writes it), and one of another namespace
// with the same local name (an extension's) is none of the workbook's.
constexpr QLatin1String kMainNamespaces[] = {
    QLatin1String("http://schemas.openxmlformats.org/spreadsheetml/2006/main"),
    QLatin1String("http://purl.oclc.org/ooxml/spreadsheetml/main")};
constexpr QLatin1String kRelationshipNamespaces[] = {
    QLatin1String("http://schemas.openxmlformats.org/officeDocument/2006/relationships"),
    QLatin1String("http://purl.oclc.org/ooxml/officeDocument/relationships")};
constexpr QLatin1String
    kPackageNamespace("http://schemas.openxmlformats.org/package/2006/relationships");

bool mainNamespace(QStringView uri) {
    return uri.isEmpty() || uri == kMainNamespaces[0] || uri == kMainNamespaces[1];
}

// Whether the element just read is the workbook's `name`.
bool isElement(const QXmlStreamReader& xml, QLatin1String name) {
    return xml.name() == name && mainNamespace(xml.namespaceUri());
}

// The relationship id of an element (r:id, whatever the prefix).
QStringView relationshipId(const QXmlStreamAttributes& attributes) {
    for (const QXmlStreamAttribute& a : attributes) {
        if (a.name() == QLatin1String("id") && (a.namespaceUri() == kRelationshipNamespaces[0] ||
                                                a.namespaceUri() == kRelationshipNamespaces[1])) {
            return a.value();
        }
    }
    return {};
}

class XmlReader {
public:
    XmlReader(const QString& path, QIODevice* device) : path_(path), xml_(device) {}
    XmlReader(const QString& path, const QByteArray& bytes) : path_(path), xml_(bytes) {}
    QXmlStreamReader& xml() { return xml_; }
    // The next token; a DTD ends the reading.
    QXmlStreamReader::TokenType next() {
        const QXmlStreamReader::TokenType token = xml_.readNext();
        if (token == QXmlStreamReader::DTD || token == QXmlStreamReader::EntityReference) {
            throw SheetError(sheetMessage(
                path_, QStringLiteral("XML فايل DTD يا موجوديت (entity) دارد و پذيرفته نمي شود")));
        }
        return token;
    }
    bool atEnd() const { return xml_.atEnd(); }
    void checkSound(const QString& member) const {
        if (xml_.hasError()) {
            throw SheetError(
                sheetMessage(path_, QStringLiteral("XML بخش %1 در سطر %2 خراب است:\n%3")
                                        .arg(isolated(member))
                                        .arg(xml_.lineNumber())
                                        .arg(isolated(xml_.errorString()))));
        }
    }
    // The text of the <t> pieces of the element just started (a shared or
    // inline string), without its phonetic runs (<rPh>).
    QString texts() {
        QString text;
        int depth = 1;
        int phonetic = 0;
        while (depth > 0 && !atEnd()) {
            const auto token = next();
            if (token == QXmlStreamReader::StartElement) {
                ++depth;
                if (isElement(xml_, QLatin1String("rPh"))) {
                    ++phonetic;
                } else if (isElement(xml_, QLatin1String("t")) && phonetic == 0) {
                    text += xml_.readElementText();
                    --depth;
                    if (text.size() > kLongestCell) {
                        throw SheetError(sheetMessage(
                            path_, QStringLiteral("متني بلندتر از %1 حرف دارد").arg(kLongestCell)));
                    }
                }
            } else if (token == QXmlStreamReader::EndElement) {
                --depth;
                if (isElement(xml_, QLatin1String("rPh"))) {
                    --phonetic;
                }
            }
        }
        return unescaped(text);
    }

private:
    QString path_;
    QXmlStreamReader xml_;
};

// "C12" to column 2 (from 0); -1 for no letters.
int columnOf(QStringView reference) {
    int column = 0;
    for (const QChar c : reference) {
        const char16_t u = c.unicode();
        if (u >= 'A' && u <= 'Z') {
            column = column * 26 + (u - 'A' + 1);
        } else if (u >= 'a' && u <= 'z') {
            column = column * 26 + (u - 'a' + 1);
        } else {
            break;
        }
        if (column > kSheetColumns) {
            return kSheetColumns;
        }
    }
    return column - 1;
}

class XlsxReader : public SheetReader {
public:
    explicit XlsxReader(const QString& path) : path_(path), zip_(path) {
        findParts();
        readStyles();
        readSharedStrings();
        member_ = std::make_unique<ZipMember>(zip_, sheet_, kInflateLimit);
        sheetName_ = QString::fromUtf8(sheet_);
        xml_ = std::make_unique<XmlReader>(path_, member_.get());
    }

    bool next(SheetRow& row) override {
        QXmlStreamReader& xml = xml_->xml();
        while (!xml_->atEnd()) {
            const auto token = xml_->next();
            if (token != QXmlStreamReader::StartElement) {
                continue;
            }
            if (isElement(xml, QLatin1String("row"))) {
                if (readRow(row)) {
                    return true;
                }
            }
        }
        finish();
        return false;
    }

    int progress() const override {
        const qint64 whole = std::max<qint64>(1, member_->declared());
        return static_cast<int>(std::min<qint64>(1000, member_->inflated() * 1000 / whole));
    }

private:
    [[noreturn]] void fail(const QString& why) const { throw SheetError(sheetMessage(path_, why)); }

    void finish() {
        if (!member_->failure().isEmpty()) {
            fail(member_->failure());
        }
        xml_->checkSound(sheetName_);
        if (!member_->closeChecked()) {
            fail(member_->failure());
        }
    }

    // The relationships of the part `part` (its _rels beside it): by id, the
    // member each names, and by the last word of its type the first member
    // of that type.
    struct Relationships {
        std::map<QString, QByteArray> byId;
        std::map<QString, QByteArray> byType;
    };
    Relationships relationshipsOf(const QByteArray& part) {
        Relationships found;
        const qsizetype slash = part.lastIndexOf('/');
        const QByteArray folder = part.left(slash + 1);
        const QByteArray name = folder + "_rels/" + part.mid(slash + 1) + ".rels";
        if (!zip_.has(name)) {
            return found;
        }
        XmlReader rels(path_, zip_.read(name, kSmallMember));
        while (!rels.atEnd()) {
            if (rels.next() != QXmlStreamReader::StartElement ||
                rels.xml().name() != QLatin1String("Relationship") ||
                !(rels.xml().namespaceUri().isEmpty() ||
                  rels.xml().namespaceUri() == kPackageNamespace)) {
                continue;
            }
            const QXmlStreamAttributes a = rels.xml().attributes();
            const QString target = a.value(QLatin1String("Target")).toString();
            const QByteArray member = QDir::cleanPath(target.startsWith(QLatin1Char('/'))
                                                          ? target.mid(1)
                                                          : QString::fromUtf8(folder) + target)
                                          .toUtf8();
            const QStringView type = a.value(QLatin1String("Type"));
            found.byId.emplace(a.value(QLatin1String("Id")).toString(), member);
            found.byType.emplace(type.mid(type.lastIndexOf(QLatin1Char('/')) + 1).toString(),
                                 member);
        }
        rels.checkSound(QString::fromUtf8(name));
        return found;
    }

    // The members of the workbook, found through its relationships as the
    // format means them to be (the parts may have any names: a writer built
    // on .NET names them its own way); the usual names where the file says
    // nothing of them.
    void findParts() {
        const Relationships package = relationshipsOf("");
        const auto document = package.byType.find(QStringLiteral("officeDocument"));
        const QByteArray workbookPart =
            document != package.byType.end() && zip_.has(document->second)
                ? document->second
                : QByteArray("xl/workbook.xml");
        sheet_ = "xl/worksheets/sheet1.xml";
        sharedStrings_ = "xl/sharedStrings.xml";
        styles_ = "xl/styles.xml";
        if (!zip_.has(workbookPart)) {
            if (!zip_.has(sheet_)) {
                fail(QStringLiteral("فايل اكسل (xlsx) نيست: برگه اي در آن نيست"));
            }
            return;
        }
        QString id;
        XmlReader workbook(path_, zip_.read(workbookPart, kSmallMember));
        while (!workbook.atEnd()) {
            if (workbook.next() != QXmlStreamReader::StartElement) {
                continue;
            }
            const QXmlStreamAttributes a = workbook.xml().attributes();
            if (isElement(workbook.xml(), QLatin1String("workbookPr"))) {
                const auto d1904 = a.value(QLatin1String("date1904"));
                dates1904 = d1904 == QLatin1String("1") || d1904 == QLatin1String("true");
            } else if (isElement(workbook.xml(), QLatin1String("sheet")) && id.isEmpty()) {
                id = relationshipId(a).toString();
            }
        }
        workbook.checkSound(QString::fromUtf8(workbookPart));
        const Relationships parts = relationshipsOf(workbookPart);
        if (const auto it = parts.byId.find(id); it != parts.byId.end()) {
            sheet_ = it->second;
        }
        if (const auto it = parts.byType.find(QStringLiteral("sharedStrings"));
            it != parts.byType.end()) {
            sharedStrings_ = it->second;
        }
        if (const auto it = parts.byType.find(QStringLiteral("styles")); it != parts.byType.end()) {
            styles_ = it->second;
        }
    }

    // Which cell styles show a date.
    void readStyles() {
        if (!zip_.has(styles_)) {
            return;
        }
        XmlReader styles(path_, zip_.read(styles_, kSmallMember));
        std::set<int> dateCodes;
        bool inCellXfs = false;
        while (!styles.atEnd()) {
            const auto token = styles.next();
            QXmlStreamReader& xml = styles.xml();
            if (isElement(xml, QLatin1String("cellXfs"))) {
                inCellXfs = token == QXmlStreamReader::StartElement;
            } else if (token == QXmlStreamReader::StartElement &&
                       isElement(xml, QLatin1String("numFmt"))) {
                const QXmlStreamAttributes a = xml.attributes();
                if (dateFormatCode(a.value(QLatin1String("formatCode")).toString())) {
                    dateCodes.insert(a.value(QLatin1String("numFmtId")).toInt());
                }
            } else if (inCellXfs && token == QXmlStreamReader::StartElement &&
                       isElement(xml, QLatin1String("xf"))) {
                const int id = xml.attributes().value(QLatin1String("numFmtId")).toInt();
                dateStyles_.push_back(dateFormatId(id) || dateCodes.count(id) > 0);
            }
        }
        styles.checkSound(QString::fromUtf8(styles_));
    }

    void readSharedStrings() {
        if (!zip_.has(sharedStrings_)) {
            return;
        }
        const QByteArray sheets("xl/worksheets/");
        const qint64 sheetBytes = zip_.declaredSizes(sheets) +
                                  (sheet_.startsWith(sheets) ? 0 : zip_.declaredSizes(sheet_));
        const qint64 most =
            std::clamp(sheetBytes / kSharedCellBytes, kFewSharedStrings, kMostSharedStrings);
        ZipMember member(zip_, sharedStrings_, kSharedStrings);
        XmlReader xml(path_, &member);
        while (!xml.atEnd()) {
            if (xml.next() == QXmlStreamReader::StartElement &&
                isElement(xml.xml(), QLatin1String("si"))) {
                if (static_cast<qint64>(shared_.size()) >= most) {
                    fail(QStringLiteral("بيش از %1 متن مشترك دارد، بيش از آنچه برگه هاي آن "
                                        "نشان مي دهند؛ فايل خراب يا ساختگي است")
                             .arg(most));
                }
                shared_.push_back(xml.texts());
            }
        }
        if (!member.failure().isEmpty()) {
            fail(member.failure());
        }
        xml.checkSound(QString::fromUtf8(sharedStrings_));
        if (!member.closeChecked()) {
            fail(member.failure());
        }
    }

    // The <row> just started into `row`; false when it holds no value.
    bool readRow(SheetRow& row) {
        QXmlStreamReader& xml = xml_->xml();
        const auto r = xml.attributes().value(QLatin1String("r"));
        const qint64 number = r.isEmpty() ? lastRow_ + 1 : r.toLongLong();
        if (number <= lastRow_ || number > kSheetRows) {
            fail(QStringLiteral("شماره رديف %1 برگه درست نيست (بيش از %2 يا نه به ترتيب)")
                     .arg(r.toString())
                     .arg(kSheetRows));
        }
        lastRow_ = number;
        row.number = number;
        row.cells.clear();
        int column = -1;
        bool any = false;
        while (!xml_->atEnd()) {
            const auto token = xml_->next();
            if (token == QXmlStreamReader::EndElement && isElement(xml, QLatin1String("row"))) {
                break;
            }
            if (token != QXmlStreamReader::StartElement || !isElement(xml, QLatin1String("c"))) {
                continue;
            }
            const QXmlStreamAttributes a = xml.attributes();
            const auto ref = a.value(QLatin1String("r"));
            const int at = ref.isEmpty() ? column + 1 : columnOf(ref);
            if (at <= column || at >= kSheetColumns) {
                fail(QStringLiteral("خانه %1 برگه بيرون از %2 ستون يا نه به ترتيب است")
                         .arg(ref.toString())
                         .arg(kSheetColumns));
            }
            column = at;
            SheetCell cell = readCell(a);
            if (!cell.text.isEmpty()) {
                any = true;
                row.cells.resize(static_cast<std::size_t>(column) + 1);
                row.cells[static_cast<std::size_t>(column)] = std::move(cell);
            }
        }
        return any;
    }

    SheetCell readCell(const QXmlStreamAttributes& a) {
        QXmlStreamReader& xml = xml_->xml();
        const auto type = a.value(QLatin1String("t"));
        SheetCell cell;
        QString raw;
        while (!xml_->atEnd()) {
            const auto token = xml_->next();
            if (token == QXmlStreamReader::EndElement && isElement(xml, QLatin1String("c"))) {
                break;
            }
            if (token != QXmlStreamReader::StartElement) {
                continue;
            }
            if (isElement(xml, QLatin1String("is"))) {
                cell.text = xml_->texts();
            } else if (isElement(xml, QLatin1String("v"))) {
                raw = xml.readElementText();
            } else if (isElement(xml, QLatin1String("f"))) {
                xml.skipCurrentElement();
            }
        }
        if (type == QLatin1String("inlineStr")) {
            return cell;
        }
        if (type == QLatin1String("s")) {
            bool ok = false;
            const qsizetype index = raw.toLongLong(&ok);
            if (!ok || index < 0 || index >= static_cast<qsizetype>(shared_.size())) {
                fail(QStringLiteral("خانه اي به متن مشترك %1 اشاره مي كند كه نيست").arg(raw));
            }
            cell.text = shared_[static_cast<std::size_t>(index)];
        } else if (type == QLatin1String("str")) {
            cell.text = unescaped(raw);
        } else if (type == QLatin1String("b")) {
            cell.kind = SheetCell::Kind::Boolean;
            cell.text = raw;
        } else if (type == QLatin1String("e")) {
            cell.kind = SheetCell::Kind::Error;
            cell.text = raw;
        } else if (type == QLatin1String("d")) {
            cell.text = raw; // an ISO date as the file writes it
        } else {
            const int style = a.value(QLatin1String("s")).toInt();
            const bool date = style >= 0 && static_cast<std::size_t>(style) < dateStyles_.size() &&
                              dateStyles_[static_cast<std::size_t>(style)];
            cell.kind = date ? SheetCell::Kind::Date : SheetCell::Kind::Number;
            cell.text = raw.trimmed();
        }
        return cell;
    }

    QString path_;
    ZipFile zip_;
    std::vector<QString> shared_;
    std::vector<bool> dateStyles_;
    QByteArray sheet_, sharedStrings_, styles_; // the members, as the workbook names them
    std::unique_ptr<ZipMember> member_;
    std::unique_ptr<XmlReader> xml_;
    QString sheetName_;
    qint64 lastRow_ = 0;
};

} // namespace

std::unique_ptr<SheetReader> openXlsx(const QString& path) {
    return std::make_unique<XlsxReader>(path);
}

} // namespace velmoran::import
