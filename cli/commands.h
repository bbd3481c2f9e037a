#pragma once

#include "cli/cli.h"
#include "data/core/tablestore.h"

#include <functional>
#include <optional>
#include <vector>

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
int applicantsCommand(const QStringList& arguments, Io& io);
int matchCommand(const QStringList& arguments, Io& io);

// The kinds and deals find takes, in English and Persian (findcommand.cpp).
QString findKindsAndDeals();
// The flag field of a kind or a deal as find names it, in English or in
// Persian; null for no such (findcommand.cpp).
const char* kindFlag(const QString& name);
const char* dealFlag(const QString& name);
// One line of find's output: id TAB name, or with `asCsv` a CSV line.
void printListed(Io& io, long long id, const QString& name, bool asCsv);
// Prints the listings `page` hands over a page at a time (the values of
// field `name` listed, in id order after `after`, at most `count`) as find
// prints them, and says so when there were none: find's exit code.
using ListingPage =
    std::function<std::vector<ListedRow>(std::optional<long long> after, int count)>;
int printListings(Io& io, int name, bool asCsv, const ListingPage& page);

// The long help of copy, beside its function (copycommand.cpp).
extern const char* const kCopyDetailsEn;
extern const char* const kCopyDetailsFa;

} // namespace velmoran::cli
