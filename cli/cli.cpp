#include "cli/cli.h"

#include "data/maintenance/storecheck.h"
#include "data/store/writegate.h"

#include <QCoreApplication>
#include <QLocale>

namespace velmoran::cli {

namespace {

// Which exit codes each subcommand can return, and what each means there;
// the help of the tool lists them all, a subcommand's help its own.
struct ExitCodeText {
    int code;
    const char* commands; // the subcommands that return it, blank-separated; null: every one
    const char* en;
    const char* fa;
};

const ExitCodeText kExitCodes[] = {
    {kOk, nullptr, "done", "انجام شد"},
    {kFailed, nullptr, "failed: a Persian message naming the file and the problem on stderr",
     "انجام نشد: پيامي كه فايل و مشكل را مي گويد در خروجي خطا"},
    {kUsage, nullptr, "wrong arguments", "فرمان يا گزينه نادرست"},
    {kFailed, "find", "no listing matches", "هيچ فايلي جور نيست"},
    {kFailed, "applicants", "no applicant is stored (a list)", "هيچ متقاضي ثبت نشده است (فهرست)"},
    {kFailed, "match", "nothing fits", "هيچ چيز جور نيست"},
    {kStoreExists, "import", "the store file exists and --replace was not given",
     "فايل اطلاعات از قبل هست و --replace داده نشد"},
    {kStoreExists, "copy",
     "the server holds listings, applicants or a password (--to-server), or DIR holds\n"
     "     the files (--from-server), and --replace was not given",
     "روي سرور از قبل فايل، متقاضي يا رمز هست (--to-server)، يا فايلها از قبل در DIR هستند\n"
     "     (--from-server)، و --replace داده نشد"},
    {kStoreExists, "export", "FILE exists and --replace was not given",
     "فايل FILE از قبل هست و --replace داده نشد"},
    {kFolderInUse,
     "import import-sheet export find applicants match backup restore check copy optimise",
     "the program or another velmoran-cli works on the data folder",
     "برنامه يا velmoran-cli ديگري روي پوشه اطلاعات كار مي كند"},
    {kDamageFound, "check restore import-sheet optimise copy applicants",
     "a damaged file was found (nothing was written)", "فايل آسيب ديده پيدا شد (چيزي نوشته نشد)"},
    {kNoAnswer, "find import-sheet applicants match",
     "the server did not answer within its deadline (nothing was done; not \"no match\")",
     "سرور در مهلت خود پاسخ نداد (كاري انجام نشد؛ به معناي «هيچ فايلي جور نيست» نيست)"},
};

QStringList commandsOf(const ExitCodeText& code) {
    return QString::fromUtf8(code.commands).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

// The exit codes `subcommand` returns, or, for null, every code with the
// subcommands it belongs to.
QString exitCodes(bool persian, const Subcommand* subcommand = nullptr) {
    QString text = persian ? QStringLiteral("كدهاي خروج:\n") : QStringLiteral("Exit codes:\n");
    for (const ExitCodeText& code : kExitCodes) {
        const QStringList commands = commandsOf(code);
        if (subcommand && !commands.isEmpty() &&
            !commands.contains(QString::fromUtf8(subcommand->name))) {
            continue;
        }
        QString meaning = QString::fromUtf8(persian ? code.fa : code.en);
        if (!subcommand && !commands.isEmpty()) {
            meaning = commands.join(persian ? QStringLiteral(" و ") : QStringLiteral(", ")) +
                      QStringLiteral(": ") + meaning;
        }
        text += QStringLiteral("  %1  %2\n").arg(code.code).arg(meaning);
    }
    return text;
}

QString usageLine(const Subcommand& subcommand) {
    return QStringLiteral("velmoran-cli ") + QString::fromUtf8(subcommand.usage);
}

} // namespace

const Subcommand* SubcommandTable::find(const QString& name) const {
    for (const Subcommand& subcommand : *this) {
        if (name == QLatin1String(subcommand.name)) {
            return &subcommand;
        }
    }
    return nullptr;
}

bool persianLocale() {
    return QLocale::system().language() == QLocale::Persian;
}

QString help(bool persian) {
    QString text = persian ? QStringLiteral("روش كار: velmoran-cli فرمان [گزينه ها]\n\n"
                                            "ابزار خط فرمان ولموران. فرمانها:\n")
                           : QStringLiteral("usage: velmoran-cli COMMAND [OPTIONS]\n\n"
                                            "The command-line tool of Velmoran. Commands:\n");
    int width = 0;
    for (const Subcommand& subcommand : subcommands()) {
        width = std::max(width, static_cast<int>(qstrlen(subcommand.name)));
    }
    for (const Subcommand& subcommand : subcommands()) {
        text += QStringLiteral("  %1  %2\n")
                    .arg(QString::fromUtf8(subcommand.name).leftJustified(width),
                         QString::fromUtf8(persian ? subcommand.summaryFa : subcommand.summaryEn));
    }
    text += persian
                ? QStringLiteral("\nهر فرمان روي پوشه اطلاعات برنامه كار مي كند؛ با --folder DIR "
                                 "روي پوشه ديگري. راهنماي هر فرمان: velmoran-cli فرمان --help\n\n")
                : QStringLiteral("\nEvery command works on the program's data folder, or on DIR "
                                 "with --folder DIR. Help on one: velmoran-cli COMMAND --help\n\n");
    return text + exitCodes(persian);
}

QString help(const Subcommand& subcommand, bool persian) {
    return (persian ? QStringLiteral("روش كار: ") : QStringLiteral("usage: ")) +
           usageLine(subcommand) + QStringLiteral("\n\n") +
           QString::fromUtf8(persian ? subcommand.summaryFa : subcommand.summaryEn) +
           QStringLiteral("\n\n") +
           QString::fromUtf8(persian ? subcommand.detailsFa : subcommand.detailsEn) +
           QStringLiteral("\n\n") + exitCodes(persian, &subcommand);
}

int run(const QStringList& arguments, Io& io) {
    const bool persian = persianLocale();
    const QString first = arguments.value(0);
    const auto isHelp = [](const QString& word) {
        return word == QLatin1String("--help") || word == QLatin1String("-h");
    };
    if (first.isEmpty()) {
        io.err << help(persian);
        return kUsage;
    }
    if (isHelp(first) || first == QLatin1String("help")) {
        const QString name = arguments.value(1);
        if (name.isEmpty()) {
            io.out << help(persian);
            return kOk;
        }
        const Subcommand* subcommand = subcommands().find(name);
        if (!subcommand) {
            io.err << (persian ? QStringLiteral("فرمان ناشناخته: %1\n")
                               : QStringLiteral("unknown command: %1\n"))
                          .arg(name);
            return kUsage;
        }
        io.out << help(*subcommand, persian);
        return kOk;
    }
    if (first == QLatin1String("--version")) {
        io.out << QStringLiteral("velmoran-cli ") << QCoreApplication::applicationVersion() << '\n';
        return kOk;
    }
    const Subcommand* subcommand = subcommands().find(first);
    if (!subcommand) {
        io.err << (persian ? QStringLiteral("فرمان ناشناخته: %1\n\n")
                           : QStringLiteral("unknown command: %1\n\n"))
                      .arg(first)
               << help(persian);
        return kUsage;
    }
    const QStringList rest = arguments.mid(1);
    if (std::any_of(rest.begin(), rest.end(), isHelp)) {
        io.out << help(*subcommand, persian);
        return kOk;
    }
    // A store file is read through before the run's first write to it; a
    // damaged one is written to by no subcommand.
    setWriteGate(checkBeforeFirstWrite);
    const int status = subcommand->run(rest, io);
    io.out.flush();
    io.err.flush();
    return status;
}

} // namespace velmoran::cli
