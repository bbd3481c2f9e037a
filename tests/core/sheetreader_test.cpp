// The reading of the sheets an agency brings over: .xlsx cells of every
// kind, .csv quoting and line endings and encodings, and each kind of
// hostile file ending with a message that names it, never a crash or a hang.

#include "import/sheetfile.h"
#include "import/zipmember.h"
#include "tests/support/importfixtures.h"
#include "tests/support/sheetfiles.h"
#include "tests/support/storefiles.h"
#include "tests/support/testenv.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>

#include <gtest/gtest.h>

#include <zlib.h>

using namespace velmoran;
using namespace velmoran::import;
using namespace velmoran::test;

namespace {

class SheetReaderTest : public DataFolderTest {
protected:
    QString path(const char* name) const { return QDir(folder()).filePath(QLatin1String(name)); }
    static std::vector<SheetRow> rowsOf(const QString& file) {
        std::vector<SheetRow> rows;
        const auto reader = openSheet(file);
        SheetRow row;
        while (reader->next(row)) {
            rows.push_back(row);
        }
        return rows;
    }
    static QStringList textsOf(const SheetRow& row) {
        QStringList texts;
        for (const SheetCell& cell : row.cells) {
            texts << cell.text;
        }
        return texts;
    }
    // The message a file ends with; empty when it was read through.
    static QString failureOf(const QString& file) {
        try {
            rowsOf(file);
        } catch (const SheetError& e) {
            return e.message();
        }
        return QString();
    }
    void expectRefused(const QString& file, const QString& why) {
        const QString message = failureOf(file);
        EXPECT_TRUE(message.contains(shownPath(file))) << message.toStdString();
        EXPECT_TRUE(message.contains(why)) << message.toStdString();
    }
};

TEST_F(SheetReaderTest, XlsxCellsOfEveryKindAreReadAsTheFileHoldsThem) {
    const QByteArray shared =
        "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
        "<si><t>علي كريمي</t></si>"
        "<si><r><t>علی</t></r><r><t xml:space=\"preserve\">\xE2\x80\x8C"
        "کریمی </t></r>"
        "<rPh><t>PHONETIC</t></rPh></si>"
        "<si><t>a_x000D_b_x005F_x0041_</t></si></sst>";
    const QByteArray styles =
        "<styleSheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
        "<numFmts count=\"1\"><numFmt numFmtId=\"164\" formatCode=\"yyyy/mm/dd\"/></numFmts>"
        "<cellXfs count=\"4\"><xf numFmtId=\"0\"/><xf numFmtId=\"14\"/><xf numFmtId=\"164\"/>"
        "<xf numFmtId=\"3\"/></cellXfs></styleSheet>";
    const QByteArray rows =
        "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"C1\" t=\"s\"><v>1</v>"
        "</c><c t=\"s\"><v>2</v></c></row>"
        "<row r=\"2\"/>"
        "<row r=\"4\"><c r=\"A4\"><v>9121234567</v></c>"
        "<c r=\"B4\" s=\"1\"><v>45382</v></c><c r=\"C4\" s=\"2\"><v>45383.5</v></c>"
        "<c r=\"D4\" s=\"3\"><v>1.25E+07</v></c><c r=\"E4\" t=\"b\"><v>1</v></c>"
        "<c r=\"F4\" t=\"e\"><v>#N/A</v></c>"
        "<c r=\"G4\" t=\"str\"><f>A1&amp;\"x\"</f><v>formula text</v></c></row>" +
        QByteArray("<row>") + inlineCell("B5", QStringLiteral("\uFEFFخط۱\nخط۲")) + "</row>";
    const QString file = path("cells.xlsx");
    writeXlsx(file, rows, shared, styles);
    const std::vector<SheetRow> read = rowsOf(file);
    ASSERT_EQ(read.size(), 3u); // the empty row 2 is no row
    EXPECT_EQ(read[0].number, 1);
    EXPECT_EQ(textsOf(read[0]),
              (QStringList{QStringLiteral("علي كريمي"), QString(),
                           QStringLiteral("علی\u200Cکریمی "), QStringLiteral("a\rb_x0041_")}));
    EXPECT_EQ(read[1].number, 4);
    EXPECT_EQ(textsOf(read[1]), (QStringList{"9121234567", "45382", "45383.5", "1.25E+07", "1",
                                             "#N/A", "formula text"}));
    using Kind = SheetCell::Kind;
    const std::vector<Kind> kinds = {Kind::Number,  Kind::Date,  Kind::Date, Kind::Number,
                                     Kind::Boolean, Kind::Error, Kind::Text};
    for (std::size_t c = 0; c < kinds.size(); ++c) {
        EXPECT_EQ(read[1].cells[c].kind, kinds[c]) << "column " << c;
    }
    EXPECT_EQ(read[2].number, 5);
    EXPECT_EQ(textsOf(read[2]), (QStringList{QString(), QStringLiteral("\uFEFFخط۱\nخط۲")}));
}

// Parts whose elements carry a prefix (as .NET's Open XML SDK writes them)
// are read by namespace and local name; an element of another namespace
// with a local name of the workbook's (an extension's) is none of its cells
// or texts; the parts are found through the relationships, whatever their
// names.
TEST_F(SheetReaderTest, XlsxElementsAreKnownByTheirNamespaceWhateverThePrefix) {
    const QByteArray main = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
    const QByteArray relationships =
        "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
    const QByteArray package = "http://schemas.openxmlformats.org/package/2006/relationships";
    const QString file = path("prefixed.xlsx");
    writeZip(file,
             {{"_rels/.rels", "<Relationships xmlns=\"" + package +
                                  "\"><Relationship Id=\"R1\" Type=\"" + relationships +
                                  "/officeDocument\" Target=\"/xl/book.xml\"/></Relationships>"},
              {"xl/book.xml", "<x:workbook xmlns:x=\"" + main + "\" xmlns:rel=\"" + relationships +
                                  "\"><x:sheets><x:sheet name=\"s\" sheetId=\"1\" "
                                  "rel:id=\"R9\"/></x:sheets></x:workbook>"},
              {"xl/_rels/book.xml.rels",
               "<p:Relationships xmlns:p=\"" + package +
                   "\"><p:Relationship Id=\"R9\" Target=\"/xl/worksheets/data.xml\"/>"
                   "<p:Relationship Id=\"R3\" Type=\"" +
                   relationships + "/sharedStrings\" Target=\"strings.xml\"/></p:Relationships>"},
              {"xl/strings.xml",
               "<x:sst xmlns:x=\"" + main +
                   "\" xmlns:o=\"urn:other\"><x:si><x:t>مالك</x:t><o:t>not this</o:t></x:si>"
                   "<o:si><x:t>no string</x:t></o:si><x:si><x:t>علي</x:t></x:si></x:sst>"},
              {"xl/worksheets/data.xml",
               "<ss:worksheet xmlns:ss=\"" + main +
                   "\" xmlns:o=\"urn:other\"><ss:sheetData><ss:row r=\"1\"><ss:c r=\"A1\" "
                   "t=\"s\"><ss:v>0</ss:v></ss:c><o:c r=\"B1\" t=\"s\"><o:v>7</o:v></o:c>"
                   "</ss:row><o:row r=\"2\"><ss:c r=\"A2\"><ss:v>5</ss:v></ss:c></o:row>"
                   "<ss:row r=\"3\"><ss:c r=\"A3\" t=\"s\"><ss:v>1</ss:v></ss:c></ss:row>"
                   "</ss:sheetData></ss:worksheet>"}});
    const std::vector<SheetRow> rows = rowsOf(file);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(textsOf(rows[0]), QStringList{QStringLiteral("مالك")});
    EXPECT_EQ(rows[1].number, 3);
    EXPECT_EQ(textsOf(rows[1]), QStringList{QStringLiteral("علي")});
}

TEST_F(SheetReaderTest, XlsxTheFirstSheetIsFoundThroughTheWorkbook) {
    const QString file = path("named.xlsx");
    writeZip(
        file,
        {{"xl/workbook.xml",
          "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
          "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
          "<workbookPr date1904=\"1\"/><sheets><sheet name=\"a\" sheetId=\"1\" r:id=\"rId7\"/>"
          "<sheet name=\"b\" sheetId=\"2\" r:id=\"rId1\"/></sheets></workbook>"},
         {"xl/_rels/workbook.xml.rels",
          "<Relationships><Relationship Id=\"rId1\" Target=\"worksheets/sheet1.xml\"/>"
          "<Relationship Id=\"rId7\" Target=\"/xl/worksheets/listings.xml\"/></Relationships>"},
         {"xl/worksheets/sheet1.xml",
          sheetXml("<row r=\"1\">" + inlineCell("A1", "wrong") + "</row>")},
         {"xl/worksheets/listings.xml",
          sheetXml("<row r=\"1\">" + inlineCell("A1", "right") + "</row>")}});
    const auto reader = openSheet(file);
    EXPECT_TRUE(reader->dates1904);
    SheetRow row;
    ASSERT_TRUE(reader->next(row));
    EXPECT_EQ(textsOf(row), QStringList{"right"});
    EXPECT_FALSE(reader->next(row));
}

TEST_F(SheetReaderTest, XlsxHostileFilesEndWithAMessageNamingThem) {
    const QString text = path("not-a-zip.xlsx");
    writeFile(text, "just some text, not a zip at all");
    expectRefused(text, QStringLiteral("zip"));

    // A sound sheet cut in the middle: its directory at the end is gone.
    const QString whole = path("whole.xlsx");
    QByteArray rows;
    for (int r = 1; r <= 2000; ++r) {
        rows += "<row r=\"" + QByteArray::number(r) + "\">" +
                inlineCell(("A" + QByteArray::number(r)).constData(),
                           QStringLiteral("مالك %1 ").arg(r).repeated(5)) +
                "</row>";
    }
    writeXlsx(whole, rows);
    const QString cut = path("cut.xlsx");
    writeFile(cut, bytesOf(whole).left(bytesOf(whole).size() / 2));
    expectRefused(cut, QStringLiteral("zip"));
    // The bytes of the sheet damaged in place: the inflating or its check sum fails.
    QByteArray damaged = bytesOf(whole);
    for (qsizetype i = 200; i < 400; ++i) {
        damaged[i] = static_cast<char>(damaged[i] ^ 0x5A);
    }
    const QString broken = path("broken.xlsx");
    writeFile(broken, damaged);
    EXPECT_TRUE(failureOf(broken).contains(shownPath(broken)));

    // A zip bomb: 3 GB declared by a file of a few bytes, refused before
    // anything is inflated.
    const QString bomb = path("bomb.xlsx");
    writeRawZip(bomb, "xl/worksheets/sheet1.xml", deflated(QByteArray(1000, ' ')), quint64(3) << 30,
                0);
    expectRefused(bomb, QStringLiteral("بمب"));
    // A directory that claims little while the data inflates to far more.
    const QByteArray zeros(8 << 20, ' ');
    const QString liar = path("liar.xlsx");
    writeRawZip(liar, "xl/worksheets/sheet1.xml", deflated(zeros), 1000,
                static_cast<quint32>(crc32(0, reinterpret_cast<const Bytef*>(zeros.constData()),
                                           static_cast<uInt>(zeros.size()))));
    EXPECT_TRUE(failureOf(liar).contains(shownPath(liar)));
    // A directory that claims more than the data holds, or less with a
    // sound XML cut at that size: the zip's fault is named, not the XML's.
    const QByteArray sheet = sheetXml("<row r=\"1\">" + inlineCell("A1", "x") + "</row>");
    const auto crcOf = [](const QByteArray& bytes) {
        return static_cast<quint32>(crc32(0, reinterpret_cast<const Bytef*>(bytes.constData()),
                                          static_cast<uInt>(bytes.size())));
    };
    for (const qint64 declared : {sheet.size() + 100, sheet.size() - 20}) {
        const QString lying = path("lying.xlsx");
        QFile::remove(lying);
        writeRawZip(lying, "xl/worksheets/sheet1.xml", deflated(sheet),
                    static_cast<quint64>(declared), crcOf(sheet));
        const QString message = failureOf(lying);
        EXPECT_TRUE(message.contains(QStringLiteral("فهرست zip"))) << message.toStdString();
        EXPECT_FALSE(message.contains(QStringLiteral("Premature"))) << message.toStdString();
    }
    // Shared strings far more than the sheet's cells can show: refused as
    // they are counted, before they cost the memory.
    const QString countless = path("countless.xlsx");
    writeXlsx(countless, "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c></row>",
              "<sst>" + QByteArray("<si/>").repeated(70000) + "</sst>");
    expectRefused(countless, QStringLiteral("متن مشترك"));

    // Entities that expand a billion times: no DTD is taken.
    const QString laughs = path("laughs.xlsx");
    QByteArray dtd = "<?xml version=\"1.0\"?><!DOCTYPE worksheet [<!ENTITY a \"aaaaaaaaaa\">";
    for (char e = 'b'; e <= 'j'; ++e) {
        dtd += QByteArray("<!ENTITY ") + e + " \"" +
               QByteArray(10, '&').replace("&", QByteArray("&") + char(e - 1) + ";") + "\">";
    }
    dtd += "]><worksheet><sheetData><row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>&j;</t></is>"
           "</c></row></sheetData></worksheet>";
    writeZip(laughs, {{"xl/worksheets/sheet1.xml", dtd}});
    expectRefused(laughs, QStringLiteral("DTD"));

    const QString xml = path("bad-xml.xlsx");
    writeXlsx(xml, "<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>open</is></c></row>");
    expectRefused(xml, QStringLiteral("XML"));

    // Bytes that are no UTF-8 inside the sheet's text.
    const QString badText = path("bad-utf8.xlsx");
    writeXlsx(badText, "<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>\xFF\xFE\xC3</t></is></c>"
                       "</row>");
    expectRefused(badText, QStringLiteral("XML"));

    const QString noSheet = path("no-sheet.xlsx");
    writeZip(noSheet, {{"docProps/app.xml", "<Properties/>"}});
    expectRefused(noSheet, QStringLiteral("برگه"));

    const QString badShared = path("bad-shared.xlsx");
    writeXlsx(badShared, "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>7</v></c></row>",
              "<sst><si><t>only one</t></si></sst>");
    expectRefused(badShared, QStringLiteral("7"));
}

TEST_F(SheetReaderTest, XlsxTheLastRowAndColumnAreReadAndOneBeyondIsRefused) {
    const QString edge = path("edge.xlsx");
    writeXlsx(edge, "<row r=\"1\">" + inlineCell("XFD1", "last column") +
                        "</row><row r=\"1048576\">" + inlineCell("A1048576", "last row") +
                        "</row>");
    const std::vector<SheetRow> rows = rowsOf(edge);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].cells.size(), static_cast<std::size_t>(kSheetColumns));
    EXPECT_EQ(rows[0].cells.back().text, QStringLiteral("last column"));
    EXPECT_EQ(rows[1].number, kSheetRows);

    const QString wide = path("wide.xlsx");
    writeXlsx(wide, "<row r=\"1\">" + inlineCell("XFE1", "beyond") + "</row>");
    expectRefused(wide, QStringLiteral("16384"));
    const QString tall = path("tall.xlsx");
    writeXlsx(tall, "<row r=\"1048577\">" + inlineCell("A1048577", "beyond") + "</row>");
    expectRefused(tall, QStringLiteral("1048576"));
    const QString backwards = path("backwards.xlsx");
    writeXlsx(backwards, "<row r=\"5\">" + inlineCell("A5", "x") + "</row><row r=\"3\">" +
                             inlineCell("A3", "y") + "</row>");
    expectRefused(backwards, QStringLiteral("ترتيب"));
}

TEST_F(SheetReaderTest, CsvQuotesLineEndingsAndTheByteOrderMarkAreReadAsSpreadsheetsWriteThem) {
    const QString file = path("mixed.csv");
    writeFile(file, "\xEF\xBB\xBF"
                    "owner,phone,details\r\n"
                    "\"a,b\",\"say \"\"hi\"\"\",\"line1\r\nline2\nline3\rend\"\n"
                    "\n"
                    "\xEF\xBB\xBF"
                    "x,,\r"
                    "last,1,\"\"");
    const std::vector<SheetRow> rows = rowsOf(file);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(textsOf(rows[0]), (QStringList{"owner", "phone", "details"}));
    EXPECT_EQ(textsOf(rows[1]), (QStringList{"a,b", "say \"hi\"", "line1\r\nline2\nline3\rend"}));
    // The blank line counts as a row of the sheet; a U+FEFF inside is kept.
    EXPECT_EQ(rows[2].number, 4);
    EXPECT_EQ(textsOf(rows[2]), (QStringList{QStringLiteral("\uFEFFx"), QString(), QString()}));
    EXPECT_EQ(textsOf(rows[3]), (QStringList{"last", "1", ""}));
}

TEST_F(SheetReaderTest, CsvInWindows1256IsConvertedAndSaysSo) {
    const QString owner = QStringLiteral("علي كريمي پاركينگ");
    // The owner in Windows-1256, as Excel on a Persian Windows saves it.
    const QByteArray saved("\xda\xe1\xed \xdf\xd1\xed\xe3\xed \x81\xc7\xd1\xdf\xed\xe4\x90");
    const QString file = path("arabic.csv");
    writeFile(file, "malek,tel03\r\n" + saved + ",021\r\n");
    const auto reader = openSheet(file);
    EXPECT_TRUE(reader->note.contains(QStringLiteral("1256")));
    SheetRow row;
    ASSERT_TRUE(reader->next(row));
    ASSERT_TRUE(reader->next(row));
    EXPECT_EQ(textsOf(row), (QStringList{owner, "021"}));

    // UTF-8 but for one stray byte: refused, naming where, never read as
    // Windows-1256.
    const QString stray = path("stray.csv");
    writeFile(stray, QStringLiteral("malek,tel03\r\nعلي,021\r\nرضا ").toUtf8() + "\xE9" +
                         QStringLiteral("كريمي,022\r\n").toUtf8());
    expectRefused(stray, QStringLiteral("سطر 3، نويسه 5"));
    // UTF-16 with its mark, as some programs save "Unicode text".
    const QString utf16 = path("utf16.csv");
    const QString text = QStringLiteral("malek,tel03\r\n") + owner + QStringLiteral(",021\r\n");
    QStringEncoder little(QStringEncoder::Utf16LE, QStringEncoder::Flag::WriteBom);
    writeFile(utf16, little(text));
    const std::vector<SheetRow> rows = rowsOf(utf16);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(textsOf(rows[0]), (QStringList{"malek", "tel03"}));
    EXPECT_EQ(textsOf(rows[1]), (QStringList{owner, "021"}));
}

TEST_F(SheetReaderTest, CsvHostileFilesEndWithAMessageNamingThem) {
    const QString open = path("open-quote.csv");
    writeFile(open, "malek,details\r\nok,fine\r\n\"never closed,x\r\nmore\r\n");
    expectRefused(open, QStringLiteral("رديف 3"));
    // A quote left open over more than a cell may hold stops early.
    const QString endless = path("endless.csv");
    writeFile(endless, "malek\r\n\"" + QByteArray(kLongestCell + 10, 'a'));
    expectRefused(endless, QStringLiteral("گيومه"));
    const QString wide = path("wide.csv");
    writeFile(wide, QByteArray(kSheetColumns + 1, ','));
    expectRefused(wide, QStringLiteral("16384"));
    expectRefused(path("missing.csv"), QStringLiteral("وجود ندارد"));
    expectRefused(path("listings.ods"), QStringLiteral("xlsx"));
}

} // namespace
