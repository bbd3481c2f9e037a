#include "data/folder/datafolder.h"

#include <QDir>

namespace velmoran {

QString dataFolder() {
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty()) {
        base = QDir::homePath() + QStringLiteral("/.local/share");
    }
    return base + QStringLiteral("/velmoran");
}

bool ensureDataFolder(const QString& folder) {
    return QDir().mkpath(folder);
}

} // namespace velmoran
