#pragma once

#include <QString>
#include <QStringList>

#include <map>
#include <set>
#include <utility>
#include <vector>

// Reads back what the export wrote, without the export's own code: an .xlsx
// unzipped with minizip and its sheet's XML read with QXmlStreamReader, a
// .csv parsed by RFC 4180.
namespace velmoran::test {

struct Sheet {
    bool rightToLeft = false;
    std::vector<QStringList> rows; // every row as wide as the widest
    QString error;                 // why the file could not be read
    int numberCells = 0;           // cells that are not text (numbers, formulas)
    // The layout: the width of each column given one (from 0), the cells
    // (row, column from 0) whose style wraps text, and the rows above a
    // frozen pane.
    std::map<int, double> columnWidths;
    std::set<std::pair<int, int>> wrapped;
    int frozenRows = 0;
    // The print setup: orientation and paper (9: A4), fitted to pages
    // (0: as many as it takes), the rows printed on every page ("$1:$1").
    bool landscape = false;
    int paperSize = 0;
    bool fitToPage = false;
    int fitToWidth = 1;
    int fitToHeight = 1;
    QString printTitles;
};

Sheet readXlsx(const QString& path);

// The rows of a CSV file; `bom` tells whether it began with UTF-8's mark.
std::vector<QStringList> readCsv(const QString& path, bool* bom);

} // namespace velmoran::test
