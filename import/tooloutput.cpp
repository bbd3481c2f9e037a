#include "import/tooloutput.h"

#include <QStringList>

#include <algorithm>

namespace velmoran::import {

namespace {
constexpr int kLongestLine = 200;
}

QString lastDistinctLines(const QString& output, int count) {
    const QStringList lines = output.split(QLatin1Char('\n'));
    QStringList kept; // from the last line backwards
    for (auto it = lines.crbegin(); it != lines.crend() && kept.size() < count; ++it) {
        QString line = it->trimmed();
        if (line.size() > kLongestLine) {
            line = line.left(kLongestLine) + QStringLiteral("...");
        }
        if (!line.isEmpty() && !kept.contains(line)) {
            kept << line;
        }
    }
    std::reverse(kept.begin(), kept.end());
    return kept.join(QLatin1Char('\n'));
}

} // namespace velmoran::import
