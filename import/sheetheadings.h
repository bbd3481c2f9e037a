#pragma once

#include "data/core/fields.h"

#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

// Which listing field each column of a sheet an agency brings over feeds, by
// its heading.
namespace velmoran::import {

// A heading of the user's own, and the field (its name) it stands for: the
// rows of a --map file.
using HeadingMap = std::vector<std::pair<QString, QString>>;

// The rows of a map file: a .csv (or text) of two columns, heading and
// field name, one pair a line (a first line "heading,field" is a title).
// Throws SheetError naming the file: unreadable, a line without two
// columns, a field the listings don't have, a heading given two fields.
HeadingMap readHeadingMap(const QString& path);

struct HeadingMatch {
    // By column: the field it feeds, or -1.
    std::vector<int> fieldOf;
    // The sheet is the program's own export: matched column for column.
    bool ownExport = false;
    // The columns that feed nothing, as "heading (column N)".
    QStringList unmatched;
    // The columns whose field an earlier column feeds already (a heading
    // twice, two --map lines for one field): each as "heading (column N)",
    // with that field's name and the earlier column (from 1). They feed
    // nothing either.
    struct Repeated {
        QString column;
        QString field;
        int firstColumn = 0;
    };
    std::vector<Repeated> repeated;
    // The field of the owner's name is fed.
    bool hasOwner() const;
};

// Matches `headings` (the sheet's first row) to the listing fields: a sheet
// whose headings are the export's captions or the field names, in their
// order, column for column; any other sheet column by column through `map`,
// then the field names (any case), the captions (a caption two fields share
// going to the first not yet fed) and the alias table. Headings are compared
// as names are: Arabic and Persian Yeh and Kaf alike, Latin letters in any
// case, without the stretching letter, a colon at the end, or blanks around.
// A second column for a field already fed feeds nothing, and is named in
// `repeated`.
HeadingMatch matchHeadings(const QStringList& headings, const HeadingMap& map = {});

// The field names and the export's headings, one a column, in field order.
QStringList fieldNames();

// A heading as headings are compared.
QString foldedHeading(const QString& heading);

} // namespace velmoran::import
