#include "platform/widgets/fonts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFontDatabase>

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

QFont designFont(const QString& family, qreal pointSize, bool bold) {
    QFont font(family);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

} // namespace velmoran
