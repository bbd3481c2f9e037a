#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace velmoran {
class RecordSource;
}

// What the find suites run: the texts an agency types as numbers, and the
// criteria the panels' find buttons send.
namespace velmoran::test {

// Prices and rents as agencies type them, and texts that only look like
// numbers; the lengths around the reading's limits (70 digits before the
// point, 72 characters in all) too.
QStringList numberWritings();

// Every criterion of the panels' rows: for each price row `rounds` sets of
// bounds drawn from `typedBounds` (the first a wide range that holds most
// numbers), for each owner row every one of `owners`.
QStringList panelCriteria(const QStringList& typedBounds, const QStringList& owners, int rounds,
                          unsigned seed);

// Criteria of the language beyond the panels: ranges that hold every number
// read, the longest too; text order; flags against texts; a flag test only.
QStringList languageCriteria();

// The ids a find button's press and its next presses step through.
std::vector<long long> foundIds(RecordSource& source, const QString& criterion);

} // namespace velmoran::test
