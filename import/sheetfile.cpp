#include "import/sheetfile.h"

#include "data/core/storemessages.h"

#include <QFileInfo>

namespace velmoran::import {

SheetError::SheetError(const QString& message)
    : std::runtime_error(message.toStdString()), message_(message) {}

QString sheetMessage(const QString& path, const QString& why) {
    return QStringLiteral("فايل %1 خوانده نشد: %2").arg(isolatedPath(path), why);
}

std::unique_ptr<SheetReader> openSheet(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("xlsx")) {
        return openXlsx(path);
    }
    if (suffix == QLatin1String("csv")) {
        return openCsv(path);
    }
    throw SheetError(sheetMessage(path, QStringLiteral("فقط فايل xlsx يا csv خوانده مي شود")));
}

} // namespace velmoran::import
