#pragma once

#include <QString>

namespace velmoran {

// `text` as an SQL string literal: between single quotes, an inner one
// doubled.
QString pgLiteral(const QString& text);

// The number in `column` (an SQL expression of type text) as readNumber()
// reads it, as a float8, or NULL when it is not a number.
QString pgNumberExpression(const QString& column);

} // namespace velmoran
