#include "data/maintenance/leftovers.h"

#include "data/maintenance/backup.h"

#include <QDir>
#include <QRegularExpression>

namespace velmoran {

namespace {

// mkstemp's six letters and digits, then what SQLite adds for a journal.
const QString kTail = QStringLiteral("[A-Za-z0-9]{6}(-wal|-shm|-journal)?$");

QStringList removeMatching(const QString& dir, const QRegularExpression& pattern) {
    QStringList removed;
    for (const QString& name : QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (pattern.match(name).hasMatch() && QFile::remove(QDir(dir).filePath(name))) {
            removed << QDir(dir).filePath(name);
        }
    }
    return removed;
}

} // namespace

QStringList removeLeftovers(const QString& folder) {
    static const QRegularExpression inFolder(
        QStringLiteral("^\\.(newil|pc)\\.db\\.((import|restore)\\.)?") + kTail);
    static const QRegularExpression inBackups(QStringLiteral("^\\.(newil|pc)\\.db\\.backup\\.") +
                                              kTail);
    return removeMatching(folder, inFolder) + removeMatching(backupFolder(folder), inBackups);
}

} // namespace velmoran
