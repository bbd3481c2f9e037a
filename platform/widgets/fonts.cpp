#include "platform/widgets/fonts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>

namespace velmoran {

namespace {

struct FontSubstitute {
    const char* family;
    const char* candidates[3];
};

// Naskh faces stand in for the text faces, Homa for the plain display faces,
// Titr for the headline face; the Latin faces go to their metric twins.
const FontSubstitute kFontSubstitutes[] = {
    {"B Nazanin", {"Nazli", "FreeFarsi", "DejaVu Sans"}},
    {"B Badr", {"Nazli", "FreeFarsi", "DejaVu Sans"}},
    {"B Traffic", {"Homa", "FreeFarsi", "DejaVu Sans"}},
    {"B Jadid", {"Homa", "FreeFarsi", "DejaVu Sans"}},
    {"B Koodak", {"Homa", "FreeFarsi", "DejaVu Sans"}},
    {"B Esfehan", {"Homa", "FreeFarsi", "DejaVu Sans"}},
    {"B Titr", {"Titr", "Homa", "DejaVu Sans"}},
    {"B Compset", {"FreeFarsi", "Homa", "DejaVu Sans"}},
    {"MS Sans Serif", {"DejaVu Sans", "FreeFarsi", "Liberation Sans"}},
    {"Arial", {"Liberation Sans", "DejaVu Sans", "FreeFarsi"}},
    {"Times New Roman", {"Liberation Serif", "DejaVu Serif", "FreeFarsi"}},
};

} // namespace

QStringList fontCandidates(const QString& designFamily) {
    for (const FontSubstitute& entry : kFontSubstitutes) {
        if (designFamily.compare(QLatin1String(entry.family), Qt::CaseInsensitive) == 0) {
            QStringList candidates;
            for (const char* candidate : entry.candidates) {
                candidates << QString::fromLatin1(candidate);
            }
            return candidates;
        }
    }
    return {};
}

QStringList installFontSubstitutes() {
    // Faces shipped beside the program, for this program alone: the Windows
    // build's fonts/ folder brings the faces of the table below, which a PC
    // without Persian faces of its own lacks.
    const QDir shipped(QCoreApplication::applicationDirPath() + QStringLiteral("/fonts"));
    for (const QString& face : shipped.entryList({QStringLiteral("*.ttf")}, QDir::Files)) {
        QFontDatabase::addApplicationFont(shipped.filePath(face));
    }
    QStringList substituted;
    for (const FontSubstitute& entry : kFontSubstitutes) {
        const QString family = QString::fromLatin1(entry.family);
        if (QFontDatabase::hasFamily(family)) {
            continue;
        }
        QStringList installed;
        for (const QString& candidate : fontCandidates(family)) {
            if (QFontDatabase::hasFamily(candidate)) {
                installed << candidate;
            }
        }
        if (!installed.isEmpty()) {
            QFont::removeSubstitutions(family);
            QFont::insertSubstitutions(family, installed);
            substituted << family;
        }
    }
    return substituted;
}

namespace {

// A face with no bold of its own is made bold by the system. FreeType thickens
// the strokes and keeps the regular face's advances, as the screens were laid
// out with; Windows also widens every glyph by a pixel, which pushes a
// caption's first letters out of its label. Letter spacing takes the widening
// back off, the strokes stay thick.
qreal syntheticBoldSpacing(const QFont& bold) {
    const QString family = QFontInfo(bold).family();
    if (family.isEmpty() ||
        QFontDatabase::styles(family).contains(QStringLiteral("Bold"), Qt::CaseInsensitive)) {
        return 0;
    }
    // Ten joined letters: ten glyphs.
    const QString probe(10, QChar(0x0628));
    QFont regular = bold;
    regular.setBold(false);
    const int widening = QFontMetrics(bold).horizontalAdvance(probe) -
                         QFontMetrics(regular).horizontalAdvance(probe);
    return widening > 0 ? -widening / qreal(probe.size()) : 0;
}

} // namespace

QFont designFont(const QString& family, qreal pointSize, bool bold) {
    QFont font(family);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    if (bold) {
        if (const qreal spacing = syntheticBoldSpacing(font); spacing != 0) {
            font.setLetterSpacing(QFont::AbsoluteSpacing, spacing);
        }
    }
    return font;
}

} // namespace velmoran
