#pragma once

#include <QString>

#include <cstddef>
#include <vector>

namespace velmoran {

// A listing field is either free text or a yes/no flag (-1 true, 0 false).
enum class FieldKind { Text, Flag };

struct FieldDef {
    const char* name;
    FieldKind kind;
};

// The 102 fields of table `new`, in the order of the listing screen's bands.
// The names are the column names, irregular ones (`khab0`,
// `tedadehvahedeh02`, `tel03`) included.
extern const FieldDef kListingFields[];
constexpr std::size_t kListingFieldCount = 102;

// The single field of table `pc`.
extern const FieldDef kPasswordFields[];
constexpr std::size_t kPasswordFieldCount = 1;

// A table the program stores rows in: the file name within the data folder,
// the table name and its fields.
struct TableSpec {
    const char* fileName;
    const char* table;
    const FieldDef* fields;
    std::size_t fieldCount;

    // Index of the field called `name`, compared without regard to case as
    // the old engine did; -1 when the table has no such field.
    int indexOf(const QString& name) const;
};

const TableSpec& listingsTable(); // newil.db, table `new`
const TableSpec& passwordTable(); // pc.db, table `pc`

// The fields the finds test, by index, in the order a created table puts them
// first (so a pass over the rows reads them from the front of each record)
// and its find index holds them.
std::vector<int> searchedFields(const TableSpec& tableSpec);

// `identifier` between double quotes, an inner one doubled: a table or column
// name as the SQL of both stores writes it.
QString quotedIdentifier(const QString& identifier);
QString quotedIdentifier(const char* identifier);

} // namespace velmoran
