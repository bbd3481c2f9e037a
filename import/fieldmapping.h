#pragma once

#include "data/core/fields.h"
#include "import/mdbreader.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace velmoran::import {

// A field's value as stored: the text of a text field, -1 or 0 for a flag.
struct FieldValue {
    QString text;
    int flag = 0;
};

// Takes each field of a stored table from the Access column of the same
// name, compared without regard to case as Jet does. A field without a
// column gets the empty text or 0; a column without a field is ignored.
class FieldMapping {
public:
    FieldMapping(const TableSpec& tableSpec, const std::vector<MdbColumn>& columns);

    const TableSpec& tableSpec() const { return spec_; }
    // Fields no column feeds, in the table's field order.
    QStringList missing() const;
    // Columns no field takes, in the Access table's column order.
    QStringList extra() const;

    // One value per field of the table, in its field order.
    void map(const MdbRow& row, std::vector<FieldValue>& values) const;

private:
    const TableSpec& spec_;
    std::vector<MdbColumn> columns_;
    std::vector<int> source_; // per field: its column, or -1
};

// A value read from a column of `kind` as a flag: -1 for a yes, a number
// other than zero, or the words True, Yes or On; 0 for anything else.
int flagFrom(const QString& value, ColumnKind kind);

// A value read from a column of `kind` as the text of a text field: a yes/no
// as -1 or 0, the way this program writes flags; anything else as read.
QString textFrom(const QString& value, ColumnKind kind);

} // namespace velmoran::import
