#include "data/core/storemessages.h"

#include <QDir>

#include <algorithm>

#include <cerrno>
#include <cstring>

namespace velmoran {

QString visibleText(const QString& text, bool keepLineBreaks) {
    const auto control = [](QChar c) {
        return c.unicode() < 0x20 || (c.unicode() >= 0x7F && c.unicode() <= 0x9F);
    };
    if (std::none_of(text.begin(), text.end(), control)) {
        return text;
    }
    QString shown;
    shown.reserve(text.size() + 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (keepLineBreaks && c == QLatin1Char('\r') && text.mid(i + 1, 1) == QLatin1String("\n")) {
            continue; // a CR LF is the line break it stands for
        }
        if (!control(c) || (keepLineBreaks && c == QLatin1Char('\n'))) {
            shown += c;
        } else if (c == QLatin1Char('\n')) {
            shown += QLatin1String("\\n");
        } else if (c == QLatin1Char('\r')) {
            shown += QLatin1String("\\r");
        } else if (c == QLatin1Char('\t')) {
            shown += QLatin1String("\\t");
        } else {
            shown += QLatin1String("\\x") +
                     QString::number(c.unicode(), 16).toUpper().rightJustified(2, QLatin1Char('0'));
        }
    }
    return shown;
}

QString isolated(const QString& fragment) {
    // Each line by itself: a line break ends every isolate the line opened,
    // so one spanning lines would leave the later ones bare.
    QStringList lines = visibleText(fragment, true).split(QLatin1Char('\n'));
    for (QString& line : lines) {
        line = QChar(u'\u2068') + line + QChar(u'\u2069');
    }
    return lines.join(QLatin1Char('\n'));
}

QString isolatedPath(const QString& path) {
    return QChar(u'\u2068') + visibleText(QDir::toNativeSeparators(path)) + QChar(u'\u2069');
}

QString storeMessage(StoreProblem problem, const QString& path, const QString& rawDetail) {
    const QString file = isolatedPath(path);
    const QString detail = isolated(rawDetail);
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
        return QStringLiteral("فايل %1 بانك اطلاعاتي نيست يا آسيب ديده است.\n(%2)")
            .arg(file, detail);
    case StoreProblem::NoTable:
        return QStringLiteral("در فايل %1 جدول %2 وجود ندارد.").arg(file, detail);
    case StoreProblem::WithoutRowid:
        return QStringLiteral("جدول %2 در فايل %1 از نوع %3 است و قابل استفاده نيست.")
            .arg(file, detail, isolated(QStringLiteral("WITHOUT ROWID")));
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
    case StoreProblem::ChangedElsewhere:
        return QStringLiteral("اين فايل ملك را در %1 برنامه ديگري در همين ميان تغيير داد و چيزي "
                              "ذخيره نشد؛ آنچه نوشته ايد روي صفحه مانده است.")
            .arg(file);
    }
    return file;
}

// The system's "quota exceeded", where it has one (Windows' C library has none).
constexpr int kQuotaExceeded =
#if defined(EDQUOT)
    EDQUOT;
#else
    -1;
#endif

StoreCause causeOfSystemError(int error) {
    if (error == kQuotaExceeded) {
        return StoreCause::DiskFull;
    }
    switch (error) {
    case EACCES:
    case EPERM:
        return StoreCause::NoPermission;
    case ENOSPC:
        return StoreCause::DiskFull;
    case EROFS:
        return StoreCause::ReadOnly;
    case EAGAIN:
    case EBUSY:
        return StoreCause::Locked;
    default:
        return StoreCause::Other;
    }
}

QString engineDetail(StoreCause cause, const QString& englishText) {
    QString sentence;
    switch (cause) {
    case StoreCause::NotADatabase:
        sentence = QStringLiteral("اين فايل بانك اطلاعاتي برنامه نيست يا آسيب ديده است.");
        break;
    case StoreCause::Locked:
        sentence = QStringLiteral(
            "نسخه ديگري از برنامه اين فايل را در دست دارد؛ كمي بعد دوباره امتحان كنيد.");
        break;
    case StoreCause::NoPermission:
        sentence = QStringLiteral("اجازه دسترسي به اين فايل يا پوشه آن وجود ندارد.");
        break;
    case StoreCause::DiskFull:
        sentence = QStringLiteral("ديسك پر است و جايي براي ذخيره نمانده است.");
        break;
    case StoreCause::ReadOnly:
        sentence = QStringLiteral("اين فايل يا ديسك آن فقط خواندني است.");
        break;
    case StoreCause::Other:
        return isolated(englishText);
    }
    if (englishText.isEmpty()) {
        return sentence;
    }
    // On a line of its own, so that it is never broken across two lines.
    return sentence + QStringLiteral("\n(") + isolated(englishText) + QLatin1Char(')');
}

QString systemError(int error) {
    return engineDetail(causeOfSystemError(error), QString::fromLocal8Bit(std::strerror(error)));
}

} // namespace velmoran
