#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// Reads back what the export wrote, without the export's own code: an .xlsx
// unzipped with minizip and its sheet's XML read with QXmlStreamReader, a
// .csv parsed by RFC 4180.
namespace velmoran::test {

struct Sheet {
    bool rightToLeft = false;
    std::vector<QStringList> rows; // every row as wide as the widest
    QString error;                 // why the file could not be read
};

Sheet readXlsx(const QString& path);

// The rows of a CSV file; `bom` tells whether it began with UTF-8's mark.
std::vector<QStringList> readCsv(const QString& path, bool* bom);

} // namespace velmoran::test
