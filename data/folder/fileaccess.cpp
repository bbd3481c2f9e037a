#include "data/folder/fileaccess.h"

namespace velmoran {

QString freeName(const QString& base, const QString& suffix) {
    QString name = base + suffix;
    for (int n = 2; pathExists(name); ++n) {
        name = base + QLatin1Char('-') + QString::number(n) + suffix;
    }
    return name;
}

} // namespace velmoran
