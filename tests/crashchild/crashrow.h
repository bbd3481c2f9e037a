#pragma once

#include <QString>

namespace velmoran::test {

// The listing the crash child stores as its row `n` of round `tag`; the crash
// test expects it back intact.
inline QString crashOwner(int tag, int n) {
    return QStringLiteral("مالك %1-%2").arg(tag).arg(n);
}
inline QString crashDetails(int tag, int n) {
    return QStringLiteral("آپارتمان نوساز، طبقه %1، ").arg(n).repeated(20) + QString::number(tag);
}
inline QString crashPrice(int n) {
    return QString::number(1000 + n * 37);
}

} // namespace velmoran::test
