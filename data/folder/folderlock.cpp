#include "data/folder/folderlock.h"

#include "data/core/storemessages.h"

#include <QElapsedTimer>
#include <QThread>

#include <cerrno>

namespace velmoran {

FolderLock::~FolderLock() {
    unlock();
}

bool FolderLock::lock(const QString& folder, Mode mode, int milliseconds) {
    QElapsedTimer timer;
    timer.start();
    while (!tryLock(folder, mode)) {
        if (errno != EWOULDBLOCK || timer.elapsed() >= milliseconds) {
            return false;
        }
        QThread::msleep(50);
    }
    return true;
}

QString folderInUseMessage(const QString& folder) {
    return QStringLiteral("برنامه ولموران يا velmoran-cli ديگري روي پوشه %1 كار مي كند. آن را "
                          "ببنديد و دوباره امتحان كنيد.")
        .arg(isolatedPath(folder));
}

} // namespace velmoran
