#pragma once

#include "platform/print.h"

#include <QString>

namespace velmoran {

class MatchModel;

// The list of matches as a printout: landscape pages of a table, the
// columns of the list from the right, the headings repeated on every page,
// above them the title, the criterion in words and the date (the agency's
// calendar, 1403/01/11), below them the page's number. Drawn as text and
// lines. The model's rows, all of them, in the order shown; the model must
// outlive the printing.
Print::Page listPrintout(MatchModel& model, const QString& criterion, const QString& date);

// Rows on one page of the printout.
constexpr int kPrintedRowsPerPage = 30;

} // namespace velmoran
