#include "tests/support/sheetfiles.h"

#include <zip.h>
#include <zlib.h>

#include <stdexcept>

namespace velmoran::test {

void writeZip(const QString& path, const ZipMembers& members) {
    zipFile zip = zipOpen64(path.toLocal8Bit().constData(), APPEND_STATUS_CREATE);
    if (!zip) {
        throw std::runtime_error("zipOpen");
    }
    for (const auto& [name, bytes] : members) {
        zip_fileinfo info{};
        zipOpenNewFileInZip64(zip, name.constData(), &info, nullptr, 0, nullptr, 0, nullptr,
                              Z_DEFLATED, Z_DEFAULT_COMPRESSION, 1);
        zipWriteInFileInZip(zip, bytes.constData(), static_cast<unsigned>(bytes.size()));
        zipCloseFileInZip(zip);
    }
    zipClose(zip, nullptr);
}

void writeRawZip(const QString& path, const QByteArray& name, const QByteArray& deflatedBytes,
                 quint64 declared, quint32 crc) {
    zipFile zip = zipOpen64(path.toLocal8Bit().constData(), APPEND_STATUS_CREATE);
    zip_fileinfo info{};
    zipOpenNewFileInZip2_64(zip, name.constData(), &info, nullptr, 0, nullptr, 0, nullptr,
                            Z_DEFLATED, Z_DEFAULT_COMPRESSION, 1, 1);
    zipWriteInFileInZip(zip, deflatedBytes.constData(),
                        static_cast<unsigned>(deflatedBytes.size()));
    zipCloseFileInZipRaw64(zip, declared, crc);
    zipClose(zip, nullptr);
}

QByteArray deflated(const QByteArray& bytes) {
    z_stream stream{};
    deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    QByteArray out(static_cast<qsizetype>(deflateBound(&stream, bytes.size())), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.constData()));
    stream.avail_in = static_cast<uInt>(bytes.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(static_cast<qsizetype>(stream.total_out));
    deflateEnd(&stream);
    return out;
}

QByteArray sheetXml(const QByteArray& rows) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
           "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
           "<sheetData>" +
           rows + "</sheetData></worksheet>";
}

void writeXlsx(const QString& path, const QByteArray& rows, const QByteArray& sharedStrings,
               const QByteArray& styles) {
    ZipMembers members{{"xl/worksheets/sheet1.xml", sheetXml(rows)}};
    if (!sharedStrings.isEmpty()) {
        members.emplace_back("xl/sharedStrings.xml", sharedStrings);
    }
    if (!styles.isEmpty()) {
        members.emplace_back("xl/styles.xml", styles);
    }
    writeZip(path, members);
}

QByteArray inlineCell(const char* ref, const QString& text) {
    return QByteArray("<c r=\"") + ref + "\" t=\"inlineStr\"><is><t xml:space=\"preserve\">" +
           text.toHtmlEscaped().toUtf8() + "</t></is></c>";
}

} // namespace velmoran::test
