#include "data/storemessages.h"

#include <QDir>

namespace velmoran {

QString isolated(const QString& fragment) {
    return QChar(u'\u2068') + fragment + QChar(u'\u2069');
}

QString isolatedPath(const QString& path) {
    return isolated(QDir::toNativeSeparators(path));
}

QString storeMessage(StoreProblem problem, const QString& path, const QString& detail) {
    const QString file = QDir::toNativeSeparators(path);
    switch (problem) {
    case StoreProblem::CannotCreate:
        return QStringLiteral("فايل %1 ساخته نشد: %2").arg(file, detail);
    case StoreProblem::CannotOpen:
        return QStringLiteral("فايل %1 باز نشد: %2").arg(file, detail);
    case StoreProblem::NotAFile:
        return QStringLiteral("%1 يك فايل معمولي نيست.").arg(file);
    case StoreProblem::NotWritable:
        return QStringLiteral("فايل %1 فقط خواندني است يا اجازه نوشتن در آن وجود ندارد.").arg(file);
    case StoreProblem::NotADatabase:
        return QStringLiteral("فايل %1 بانك اطلاعاتي نيست يا آسيب ديده است: %2").arg(file, detail);
    case StoreProblem::NoTable:
        return QStringLiteral("در فايل %1 جدول %2 وجود ندارد.").arg(file, detail);
    case StoreProblem::WithoutRowid:
        return QStringLiteral("جدول %2 در فايل %1 از نوع WITHOUT ROWID است و قابل استفاده نيست.")
            .arg(file, detail);
    case StoreProblem::MissingColumns:
        return QStringLiteral("در جدول فايل %1 اين ستونها وجود ندارند: %2").arg(file, detail);
    case StoreProblem::CannotRead:
        return QStringLiteral("خواندن از فايل %1 انجام نشد: %2").arg(file, detail);
    case StoreProblem::CannotWrite:
        return QStringLiteral("ذخيره در فايل %1 انجام نشد: %2").arg(file, detail);
    case StoreProblem::NoCurrentRow:
        return QStringLiteral("در فايل %1 ركورد جاري وجود ندارد.").arg(file);
    case StoreProblem::EmptyTable:
        return QStringLiteral("جدول فايل %1 خالي است و ركوردي ندارد.").arg(file);
    }
    return file;
}

} // namespace velmoran
