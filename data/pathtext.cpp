#include "data/pathtext.h"

#include <QDir>

namespace velmoran {

QString pathText(const QString& path) {
    return QChar(0x2068) + QDir::toNativeSeparators(path) + QChar(0x2069);
}

} // namespace velmoran
