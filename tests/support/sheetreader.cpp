#include "tests/support/sheetreader.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QXmlStreamReader>

#include <unzip.h>

#include <map>

namespace velmoran::test {

namespace {

// One member of the zip; empty when missing.
QByteArray member(const QString& zip, const char* name, bool* found) {
    *found = false;
    unzFile file = unzOpen(zip.toLocal8Bit().constData());
    if (!file) {
        return {};
    }
    QByteArray bytes;
    if (unzLocateFile(file, name, 0) == UNZ_OK && unzOpenCurrentFile(file) == UNZ_OK) {
        *found = true;
        char buffer[65536];
        int got;
        while ((got = unzReadCurrentFile(file, buffer, sizeof buffer)) > 0) {
            bytes.append(buffer, got);
        }
        unzCloseCurrentFile(file);
    }
    unzClose(file);
    return bytes;
}

// Excel's escape of characters XML can't carry: _xHHHH_.
QString unescaped(const QString& text) {
    static const QRegularExpression escape(QStringLiteral("_x([0-9A-Fa-f]{4})_"));
    QString result;
    qsizetype from = 0;
    for (auto it = escape.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        result += text.mid(from, match.capturedStart() - from);
        result += QChar(match.captured(1).toUShort(nullptr, 16));
        from = match.capturedEnd();
    }
    return result + text.mid(from);
}

// "C12" to column 2 (from 0).
int columnOf(const QString& reference) {
    int column = 0;
    for (const QChar c : reference) {
        if (!c.isLetter()) {
            break;
        }
        column = column * 26 + (c.unicode() - 'A' + 1);
    }
    return column - 1;
}

// The text of an element holding <t> pieces (a shared string, an inline one).
QString texts(QXmlStreamReader& xml, const QString& end) {
    QString text;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == QLatin1String("t")) {
            text += xml.readElementText();
        } else if (xml.isEndElement() && xml.name() == end) {
            break;
        }
    }
    return unescaped(text);
}

// The styles of cellXfs, in order: whether each wraps text.
std::vector<bool> wrappingStyles(const QByteArray& styles) {
    std::vector<bool> wraps;
    QXmlStreamReader xml(styles);
    bool inCellXfs = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.name() == QLatin1String("cellXfs")) {
            inCellXfs = xml.isStartElement();
        } else if (inCellXfs && xml.isStartElement() && xml.name() == QLatin1String("xf")) {
            wraps.push_back(false);
        } else if (inCellXfs && xml.isStartElement() && xml.name() == QLatin1String("alignment") &&
                   !wraps.empty()) {
            wraps.back() = xml.attributes().value(QLatin1String("wrapText")) == QLatin1String("1");
        }
    }
    return wraps;
}

// The first sheet's print titles, from the workbook's defined names.
QString printTitles(const QByteArray& workbook) {
    QXmlStreamReader xml(workbook);
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == QLatin1String("definedName") &&
            xml.attributes().value(QLatin1String("name")) == QLatin1String("_xlnm.Print_Titles")) {
            const QString range = xml.readElementText();
            return range.mid(range.lastIndexOf(QLatin1Char('!')) + 1);
        }
    }
    return QString();
}

// The layout and print setup of the sheet's other elements.
void readSetup(QXmlStreamReader& xml, Sheet& sheet) {
    const QXmlStreamAttributes a = xml.attributes();
    if (xml.name() == QLatin1String("col")) {
        const int first = a.value(QLatin1String("min")).toInt() - 1;
        const int last = a.value(QLatin1String("max")).toInt() - 1;
        for (int c = first; c <= last; ++c) {
            sheet.columnWidths[c] = a.value(QLatin1String("width")).toDouble();
        }
    } else if (xml.name() == QLatin1String("pane") &&
               a.value(QLatin1String("state")) == QLatin1String("frozen")) {
        sheet.frozenRows = a.value(QLatin1String("ySplit")).toInt();
    } else if (xml.name() == QLatin1String("pageSetUpPr")) {
        sheet.fitToPage = a.value(QLatin1String("fitToPage")) == QLatin1String("1");
    } else if (xml.name() == QLatin1String("pageSetup")) {
        sheet.landscape = a.value(QLatin1String("orientation")) == QLatin1String("landscape");
        sheet.paperSize = a.value(QLatin1String("paperSize")).toInt();
        if (a.hasAttribute(QLatin1String("fitToWidth"))) {
            sheet.fitToWidth = a.value(QLatin1String("fitToWidth")).toInt();
        }
        if (a.hasAttribute(QLatin1String("fitToHeight"))) {
            sheet.fitToHeight = a.value(QLatin1String("fitToHeight")).toInt();
        }
    }
}

} // namespace

Sheet readXlsx(const QString& path) {
    Sheet sheet;
    bool found = false;
    const QByteArray xmlBytes = member(path, "xl/worksheets/sheet1.xml", &found);
    if (!found) {
        sheet.error = QStringLiteral("no sheet1.xml");
        return sheet;
    }
    QStringList shared;
    const QByteArray sst = member(path, "xl/sharedStrings.xml", &found);
    if (found) {
        QXmlStreamReader xml(sst);
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isStartElement() && xml.name() == QLatin1String("si")) {
                shared << texts(xml, QStringLiteral("si"));
            }
        }
    }
    const std::vector<bool> wraps = wrappingStyles(member(path, "xl/styles.xml", &found));
    sheet.printTitles = printTitles(member(path, "xl/workbook.xml", &found));
    std::map<int, std::map<int, QString>> cells;
    int width = 0;
    QXmlStreamReader xml(xmlBytes);
    int row = -1;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement()) {
            continue;
        }
        if (xml.name() == QLatin1String("sheetView")) {
            sheet.rightToLeft =
                xml.attributes().value(QLatin1String("rightToLeft")) == QLatin1String("1");
        } else if (xml.name() == QLatin1String("row")) {
            row = xml.attributes().value(QLatin1String("r")).toInt() - 1;
        } else if (xml.name() == QLatin1String("c")) {
            const int column = columnOf(xml.attributes().value(QLatin1String("r")).toString());
            const QString type = xml.attributes().value(QLatin1String("t")).toString();
            const int style = xml.attributes().value(QLatin1String("s")).toInt();
            if (style >= 0 && static_cast<std::size_t>(style) < wraps.size() && wraps[style]) {
                sheet.wrapped.insert({row, column});
            }
            if (type != QLatin1String("inlineStr") && type != QLatin1String("s")) {
                ++sheet.numberCells;
            }
            QString value;
            if (type == QLatin1String("inlineStr")) {
                value = texts(xml, QStringLiteral("c"));
            } else {
                QString raw;
                while (!(xml.isEndElement() && xml.name() == QLatin1String("c")) && !xml.atEnd()) {
                    xml.readNext();
                    if (xml.isStartElement() && xml.name() == QLatin1String("v")) {
                        raw = xml.readElementText();
                    }
                }
                value = type == QLatin1String("s") ? shared.value(raw.toInt()) : raw;
            }
            cells[row][column] = value;
            width = std::max(width, column + 1);
        } else {
            readSetup(xml, sheet);
        }
    }
    if (xml.hasError()) {
        sheet.error = xml.errorString();
    }
    const int rows = cells.empty() ? 0 : cells.rbegin()->first + 1;
    for (int r = 0; r < rows; ++r) {
        QStringList values;
        for (int c = 0; c < width; ++c) {
            values << cells[r][c];
        }
        sheet.rows.push_back(values);
    }
    return sheet;
}

std::vector<QStringList> readCsv(const QString& path, bool* bom) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    QByteArray bytes = file.readAll();
    *bom = bytes.startsWith("\xEF\xBB\xBF");
    if (*bom) {
        bytes.remove(0, 3);
    }
    // A U+FEFF a value begins with is part of it.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    const QString text = utf8(bytes);
    std::vector<QStringList> rows;
    QStringList row;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == QLatin1Char('"') && i + 1 < text.size() && text[i + 1] == QLatin1Char('"')) {
                field += c;
                ++i;
            } else if (c == QLatin1Char('"')) {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == QLatin1Char('"')) {
            quoted = true;
        } else if (c == QLatin1Char(',')) {
            row << field;
            field.clear();
        } else if (c == QLatin1Char('\r') && i + 1 < text.size() &&
                   text[i + 1] == QLatin1Char('\n')) {
            row << field;
            field.clear();
            rows.push_back(row);
            row.clear();
            ++i;
        } else {
            field += c;
        }
    }
    if (!field.isEmpty() || !row.isEmpty()) {
        row << field;
        rows.push_back(row);
    }
    return rows;
}

} // namespace velmoran::test
