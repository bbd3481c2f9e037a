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

QString configFolder() {
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty()) {
        base = QDir::homePath() + QStringLiteral("/.config");
    }
    return base;
}

QString formerProgramFolder() {
    return QString();
}

} // namespace velmoran
