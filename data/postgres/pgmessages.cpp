#include "data/postgres/pgmessages.h"

#include "data/core/storemessages.h"
#include "data/postgres/pgconnection.h"

#include <QDir>

namespace velmoran {

QString pgMessage(PgProblem problem, const QString& server, const QString& table,
                  const QString& detail) {
    const QString s = isolated(server);
    const QString t = isolated(table);
    const QString why = isolated(detail);
    switch (problem) {
    case PgProblem::CannotConnect:
        return QStringLiteral("اتصال به سرور %1 برقرار نشد: %2").arg(s, why);
    case PgProblem::ConnectionLost:
        return QStringLiteral("ارتباط با سرور %1 قطع شد و كار انجام نشد. "
                              "دوباره امتحان كنيد: %2")
            .arg(s, why);
    case PgProblem::CommitUnknown:
        return QStringLiteral("ارتباط با سرور %1 در ميان ذخيره قطع شد و معلوم نيست ذخيره انجام "
                              "شده باشد؛ پيش از ذخيره دوباره، فايل را جستجو كنيد: %2")
            .arg(s, why);
    case PgProblem::NotUtf8:
        return QStringLiteral("بانك اطلاعاتي سرور %1 با كدگذاري %2 ساخته شده است و متن فارسي "
                              "را نگه نمي دارد؛ بايد UTF8 باشد.")
            .arg(s, why);
    case PgProblem::NoTable:
        return QStringLiteral("روي سرور %1 جدول %2 وجود ندارد و ساخته نشد: %3").arg(s, t, why);
    case PgProblem::MissingColumns:
        return QStringLiteral("در جدول %2 روي سرور %1 اين ستونها وجود ندارند: %3").arg(s, t, why);
    case PgProblem::WrongColumnType:
        return QStringLiteral("نوع ستون %3 در جدول %2 روي سرور %1 براي اين برنامه مناسب نيست.")
            .arg(s, t, why);
    case PgProblem::NoIdNumbers:
        return QStringLiteral("ستون id جدول %2 روي سرور %1 به فايلهاي تازه شماره نمي دهد.")
            .arg(s, t);
    case PgProblem::NotWritable:
        return QStringLiteral("اجازه خواندن و نوشتن جدول %2 روي سرور %1 وجود ندارد.").arg(s, t);
    case PgProblem::CannotCreate:
        return QStringLiteral("جدول %2 روي سرور %1 ساخته نشد: %3").arg(s, t, why);
    case PgProblem::CannotRead:
        return QStringLiteral("خواندن از جدول %2 روي سرور %1 انجام نشد: %3").arg(s, t, why);
    case PgProblem::CannotWrite:
        return QStringLiteral("ذخيره در جدول %2 روي سرور %1 انجام نشد: %3").arg(s, t, why);
    case PgProblem::NoCurrentRow:
        return QStringLiteral("در جدول %2 روي سرور %1 ركورد جاري وجود ندارد.").arg(s, t);
    case PgProblem::EmptyTable:
        return QStringLiteral("جدول %2 روي سرور %1 خالي است و ركوردي ندارد.").arg(s, t);
    case PgProblem::NoAnswer:
        return QStringLiteral("سرور %1 در %2 ثانيه پاسخ نداد و كار انجام نشد؛ آنچه نوشته ايد روي "
                              "صفحه مانده است. وقتي سرور و شبكه آن درست شد دوباره امتحان كنيد: %3")
            .arg(s)
            .arg(pg::kServerDeadline / 1000)
            .arg(why);
    case PgProblem::ChangedElsewhere:
        return QStringLiteral("اين فايل ملك را در جدول %2 روي سرور %1 ميز ديگري در همين ميان تغيير "
                              "داد و چيزي ذخيره نشد؛ آنچه نوشته ايد روي صفحه مانده است.")
            .arg(s, t);
    }
    return s;
}

} // namespace velmoran
