#include "import/importerror.h"

#include "data/core/storemessages.h"

#include <QDir>

namespace velmoran::import {

QString importMessage(ImportProblem problem, const QString& path, const QString& rawDetail) {
    const QString file = isolatedPath(path);
    const QString detail = isolated(rawDetail);
    switch (problem) {
    case ImportProblem::CannotRead:
        return QStringLiteral("فايل %1 خوانده نشد: %2").arg(file, detail);
    case ImportProblem::NotAccess:
        return QStringLiteral("فايل %1 بانك اطلاعاتي اكسس نيست.").arg(file);
    case ImportProblem::UnsupportedVersion:
        return QStringLiteral("فايل %1 از نسخه اي از اكسس است كه خوانده نمي شود (%2).")
            .arg(file, detail);
    case ImportProblem::Truncated:
        return QStringLiteral("فايل %1 ناقص است و انتهاي آن بريده شده: %2").arg(file, detail);
    case ImportProblem::Encrypted:
        return QStringLiteral("فايل %1 رمزگذاري شده است و خوانده نمي شود. آن را در اكسس "
                              "رمزگشايي كنيد و دوباره امتحان كنيد.")
            .arg(file);
    case ImportProblem::Damaged:
        return QStringLiteral("فايل %1 آسيب ديده يا ناقص است: %2").arg(file, detail);
    case ImportProblem::NoTable:
        return QStringLiteral("در فايل %1 جدول %2 وجود ندارد.").arg(file, detail);
    case ImportProblem::TargetExists:
        return QStringLiteral("فايل %1 از قبل وجود دارد و جايگزين نشد.").arg(file);
    case ImportProblem::CannotStore:
        return QStringLiteral("ذخيره اطلاعات در فايل %1 انجام نشد: %2").arg(file, detail);
    case ImportProblem::Interrupted:
        return QStringLiteral("خواندن فايل %1 نيمه كاره ماند: %2").arg(file, detail);
    case ImportProblem::Unreadable:
        return QStringLiteral("فايل %1 خوانده نشد و چيزي از آن منتقل نشد: %2")
            .arg(isolatedPath(path), detail);
    }
    return file;
}

ImportError::ImportError(ImportProblem problem, const QString& path, const QString& detail)
    : std::runtime_error(importMessage(problem, path, detail).toStdString()), problem_(problem),
      path_(path), message_(importMessage(problem, path, detail)) {}

} // namespace velmoran::import
