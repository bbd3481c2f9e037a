#pragma once

#include "cli/cli.h"

// One function per subcommand, each run with the arguments after its name.
namespace velmoran::cli {

int importCommand(const QStringList& arguments, Io& io);
int exportCommand(const QStringList& arguments, Io& io);
int backupCommand(const QStringList& arguments, Io& io);
int restoreCommand(const QStringList& arguments, Io& io);
int checkCommand(const QStringList& arguments, Io& io);
int optimiseCommand(const QStringList& arguments, Io& io);
int copyCommand(const QStringList& arguments, Io& io);
int importSheetCommand(const QStringList& arguments, Io& io);
int findCommand(const QStringList& arguments, Io& io);

// The kinds and deals find takes, in English and Persian (findcommand.cpp).
QString findKindsAndDeals();

// The long help of copy, beside its function (copycommand.cpp).
extern const char* const kCopyDetailsEn;
extern const char* const kCopyDetailsFa;

} // namespace velmoran::cli
