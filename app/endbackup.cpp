#include "app/endbackup.h"

#include "app/backgroundwork.h"
#include "data/core/storemessages.h"
#include "data/maintenance/backup.h"
#include "platform/messagebox.h"

#include <QDir>

namespace velmoran {

void backupChangedStores(const QString& folder) {
    const QString dir = backupFolder(folder);
    const QDateTime now = QDateTime::currentDateTime();
    for (const TableSpec* tableSpec : {&listingsTable(), &passwordTable()}) {
        if (!backupDue(folder, *tableSpec)) {
            continue;
        }
        const QString store = QDir(folder).filePath(QString::fromUtf8(tableSpec->fileName));
        BackupResult result;
        runInBackground("backupProgress", QStringLiteral("پشتيبان گيري"),
                        QStringLiteral("پشتيبان گيري از فايل %1 ...").arg(isolatedPath(store)),
                        [&](WorkProgress& progress) {
                            result = writeBackup(folder, *tableSpec, dir, now,
                                                 [&](qint64 done, qint64 total) {
                                                     progress.done = done;
                                                     progress.total = total;
                                                 });
                        });
        if (!result.ok()) {
            MessageBox::show(result.error +
                                 QStringLiteral("\n\nپشتيبانهاي قبلي در پوشه %1 دست نخورده اند.")
                                     .arg(isolatedPath(dir)),
                             QStringLiteral("پشتيبان گيري"), MessageBox::Icon::Critical,
                             MessageBox::Buttons::Ok);
            continue;
        }
        pruneBackups(dir, *tableSpec, now.date());
    }
}

} // namespace velmoran
