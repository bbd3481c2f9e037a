#include "data/pathtext.h"

#include <QDir>

namespace velmoran {

QString pathText(const QString& path) {
    return isolated(QDir::toNativeSeparators(path));
}

QString isolated(const QString& text) {
    return QChar(0x2068) + text + QChar(0x2069);
}

} // namespace velmoran
