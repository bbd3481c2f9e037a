#include "data/folder/datafolder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <windows.h>

namespace velmoran {

namespace {

// The folder of the running .exe.
QString programFolder() {
    wchar_t name[32768];
    const DWORD length = GetModuleFileNameW(nullptr, name, 32768);
    if (length == 0 || length >= 32768) {
        return QString();
    }
    return QFileInfo(QDir::fromNativeSeparators(QString::fromWCharArray(name, int(length)))).path();
}

} // namespace

// %LOCALAPPDATA%\velmoran; a portable copy (the file velmoran-portable.txt
// beside the .exe) keeps its data in the folder data beside it. XDG_DATA_HOME,
// where set, wins as on Linux: the tests give each run a folder of its own so.
QString dataFolder() {
    const QString chosen = qEnvironmentVariable("XDG_DATA_HOME");
    if (!chosen.isEmpty()) {
        return chosen + QStringLiteral("/velmoran");
    }
    const QString program = programFolder();
    if (!program.isEmpty() &&
        QFileInfo::exists(program + QStringLiteral("/velmoran-portable.txt"))) {
        return program + QStringLiteral("/data");
    }
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/velmoran");
}

// XDG_CONFIG_HOME, where set, wins as on Linux (the tests set it).
QString configFolder() {
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty()) {
        base = QDir::fromNativeSeparators(qEnvironmentVariable("APPDATA"));
    }
    if (base.isEmpty()) {
        base = QDir::homePath() + QStringLiteral("/AppData/Roaming");
    }
    return base;
}

QString formerProgramFolder() {
    return QStringLiteral("C:/VELMORAN");
}

} // namespace velmoran
