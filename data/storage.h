#pragma once

#include "data/fields.h"

#include <QString>

namespace velmoran {

// Makes sure a store file can be used: created with its table (and, for
// table `pc`, one row holding the empty text, mode 600) only when the file is
// missing; otherwise opened as it is and checked: an SQLite database, with
// the table and every field's column, readable and writable. An existing file
// is never altered by a failed check. Returns the empty string when the file
// is fine, else a Persian message naming the file and the problem.
QString prepareStore(const QString& folder, const TableSpec& spec);

} // namespace velmoran
