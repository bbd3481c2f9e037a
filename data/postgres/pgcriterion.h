#pragma once

#include "data/core/criterion.h"
#include "data/postgres/pgconnection.h"
#include "data/postgres/pgschema.h"

#include <QString>

namespace velmoran {

// The condition of `c` for PostgreSQL on the columns of `table`, finding the
// rows the SQLite store finds (sqlitecriterion.h): text compared character by
// character (the "C" collation), a number range read from the text exactly as
// readNumber() reads it (data/core/numbers.h), a flag compared with a text as
// SQLite compares a number with a text. Its values are appended to `params`
// and stand in it as $n.
QString pgCondition(const Criterion& c, const PgTable& table, pg::Params& params);

} // namespace velmoran
