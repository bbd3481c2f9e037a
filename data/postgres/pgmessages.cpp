#include "data/postgres/pgmessages.h"

#include "data/core/storemessages.h"
#include "data/postgres/pgconnection.h"

#include <QDir>
#include <QStringList>

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

namespace {

// The password file as a user types it: ~ for the home folder.
QString typedPath(const QString& path) {
    const QString home = QDir::homePath();
    if (!home.isEmpty() && path.startsWith(home + QLatin1Char('/'))) {
        return QStringLiteral("~") + path.mid(home.size());
    }
    return path;
}

// Why the connection `facts` describes failed, in a sentence; empty when
// the program can't tell.
QString connectCause(const pg::ConnectFacts& facts) {
    const QString file = isolated(typedPath(facts.passwordFile));
    const QString chmod = isolated(QStringLiteral("chmod 600 ") + typedPath(facts.passwordFile));
    switch (facts.failure) {
    case pg::ConnectFailure::NoPassword:
        return QStringLiteral("سرور رمز نقش %1 را خواست و رمزي داده نشد. رمز را در فايل %2 "
                              "بنويسيد و آن را با %3 فقط براي خودتان خواندني كنيد.")
            .arg(isolated(facts.user), file, chmod);
    case pg::ConnectFailure::PasswordFileRefused:
        return QStringLiteral("فايل رمز %1 خوانده نشد، چون ديگران هم اجازه خواندن آن را دارند "
                              "(مجوز %2)؛ آن را با %3 فقط براي خودتان خواندني كنيد.")
            .arg(file, isolated(QString::number(facts.passwordFileMode, 8)), chmod);
    case pg::ConnectFailure::WrongPassword:
        return QStringLiteral("سرور رمز نقش %1 را نپذيرفت. رمز درست را در فايل %2 بنويسيد "
                              "(با %3 فقط براي خودتان خواندني).")
            .arg(isolated(facts.user), file, chmod);
    case pg::ConnectFailure::Unreachable:
        return QStringLiteral("هيچ سروري در نشاني %1 و درگاه %2 پاسخ نداد؛ روشن بودن سرور و "
                              "شبكه را بررسي كنيد.")
            .arg(isolated(facts.host), isolated(facts.port));
    case pg::ConnectFailure::None:
    case pg::ConnectFailure::Other:
        break;
    }
    return QString();
}

// libpq's text on one line: an isolate ends at a line break.
QString oneLine(const QString& text) {
    return text.split(QLatin1Char('\n'), Qt::SkipEmptyParts)
        .replaceInStrings(QStringLiteral("\t"), QStringLiteral(" "))
        .join(QLatin1Char(' '))
        .simplified();
}

} // namespace

QString pgMessage(const pg::Error& e, PgProblem problem, const QString& server,
                  const QString& table) {
    const pg::ConnectFacts& facts = e.connectFacts();
    if (facts.failure == pg::ConnectFailure::None) {
        return pgMessage(problem, server, table, e.text());
    }
    QString cause = connectCause(facts);
    if (!cause.isEmpty()) {
        cause += QLatin1Char('\n');
    }
    return QStringLiteral("اتصال به سرور %1 برقرار نشد: ").arg(isolated(server)) + cause +
           QStringLiteral("(") + isolated(oneLine(e.text())) + QStringLiteral(")");
}

} // namespace velmoran
