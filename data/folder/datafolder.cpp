#include "data/folder/datafolder.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <sys/stat.h>

namespace velmoran {

QString dataFolder() {
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty()) {
        base = QDir::homePath() + QStringLiteral("/.local/share");
    }
    return base + QStringLiteral("/velmoran");
}

bool ensureDataFolder(const QString& folder) {
    return makePrivateFolder(folder);
}

bool makePrivateFolder(const QString& path) {
    const QString absolute = QDir::cleanPath(QDir(path).absolutePath());
    // Each missing folder from the top down, made for the owner alone.
    QString built;
    for (const QString& part : absolute.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        built += QLatin1Char('/') + part;
        const QByteArray local = QFile::encodeName(built);
        if (::mkdir(local.constData(), 0700) != 0 && errno != EEXIST) {
            return false;
        }
    }
    struct stat made {};
    return ::stat(QFile::encodeName(absolute).constData(), &made) == 0 && S_ISDIR(made.st_mode);
}

} // namespace velmoran
