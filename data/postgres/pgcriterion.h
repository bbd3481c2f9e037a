#pragma once

#include "data/core/criterion.h"
#include "data/postgres/pgschema.h"
#include "data/postgres/pgconnection.h"

#include <QString>

namespace velmoran {

// The condition of `c` for PostgreSQL on the columns of `table`, finding the
// rows SQLite finds with Criterion::sql(): text compared character by
// character (the "C" collation), a number range read from the text exactly as
// readNumber() reads it (data/core/numbers.h), a flag compared with a text as
// SQLite compares a number with a text. Its values are appended to `params`
// and stand in it as $n.
QString postgresCondition(const Criterion& c, const ServerTable& table, pq::Params& params);

// The number in `column` (an SQL expression of type text) as readNumber()
// reads it, as a float8, or NULL when it is not a number.
QString postgresNumberExpression(const QString& column);

} // namespace velmoran
