#pragma once

#include <QStringList>
#include <QTextStream>

namespace velmoran::cli {

// velmoran-cli: one tool with subcommands (import, export, backup, restore,
// check, copy, optimise). Its exit status is one of:
enum ExitCode {
    kOk = 0,
    kFailed = 1,      // a Persian message naming the file and the problem on stderr
    kUsage = 2,       // wrong arguments
    kStoreExists = 3, // import, copy, export: the target exists and --replace was not given
    kFolderInUse = 4, // the program (or another velmoran-cli) works on the folder
    kDamageFound = 5, // check, restore, and every step that writes: a damaged file
    kNoAnswer = 6,    // find, import-sheet: the server did not answer within its deadline
};

struct Io {
    QTextStream& out;
    QTextStream& err;
};

// One subcommand: a row of the table in commands.cpp. Its help is its usage
// line, a summary and a longer text, each in English and Persian.
struct Subcommand {
    const char* name;
    const char* usage; // after "velmoran-cli "
    const char* summaryEn;
    const char* summaryFa;
    const char* detailsEn;
    const char* detailsFa;
    int (*run)(const QStringList& arguments, Io& io); // arguments after the name
};

// The table of subcommands, in the order the help lists them.
struct SubcommandTable {
    const Subcommand* rows;
    std::size_t count;
    const Subcommand* begin() const { return rows; }
    const Subcommand* end() const { return rows + count; }
    const Subcommand* find(const QString& name) const;
};
const SubcommandTable& subcommands();

// Runs the tool on `arguments` (without the program's name): a subcommand,
// or --help / help [SUBCOMMAND] / --version. Returns the exit status.
int run(const QStringList& arguments, Io& io);

// The help text of the tool, or of one subcommand; Persian when the user's
// locale is Persian, else English.
QString help(bool persian);
QString help(const Subcommand& subcommand, bool persian);
bool persianLocale();

} // namespace velmoran::cli
