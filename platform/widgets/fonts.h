#pragma once

#include <QFont>
#include <QStringList>

namespace velmoran {

// The screens name the Persian fonts they were designed with ("B Nazanin",
// "B Traffic", ...). Where such a family is not installed, Qt is told to use
// the closest installed one instead; a family that is installed always wins.

// The families tried, in order, for a design family; empty when none is known.
QStringList fontCandidates(const QString& designFamily);

// Installs the substitutions for every design family that the font database
// lacks, limited to candidates that are installed. Returns the design
// families that got a substitute.
QStringList installFontSubstitutes();

// A design font: family, size in points, bold or not.
QFont designFont(const QString& family, qreal pointSize, bool bold = false);

} // namespace velmoran
