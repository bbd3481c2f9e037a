#pragma once

#include "cli/cli.h"
#include "data/core/storeerror.h"
#include "data/folder/folderlock.h"
#include "data/store/storelocation.h"

#include <QCommandLineParser>
#include <QList>

namespace velmoran::cli {

// A subcommand's arguments: --folder DIR (every subcommand takes it), the
// subcommand's own options and its positional arguments.
struct Arguments {
    QCommandLineParser parser;
    QString folder; // the data folder, or DIR
    QStringList positional;
};

// Parses `arguments` of `name` with its own options `own`; between
// `minPositional` and `maxPositional` positional arguments. On a mistake it
// prints the error and the usage line on stderr and returns false (exit
// with kUsage).
bool parseArguments(const char* name, const QStringList& arguments,
                    const QList<QCommandLineOption>& own, int minPositional, int maxPositional,
                    Arguments& parsed, Io& io);

// Takes the folder's lock for a subcommand: kOk; when the program or another
// velmoran-cli holds it, prints why on stderr and returns kFolderInUse (or
// kFailed for a folder that can't be opened).
int lockFolder(FolderLock& lock, const QString& folder, FolderLock::Mode mode, Io& io);

// The desk's store: the server velmoran.conf names, or the files of the data
// folder (--folder DIR or the usual one); the data folder is `folder` in both.
// kOk, or kFailed with the configuration's problem printed.
int deskStore(const Arguments& parsed, StoreLocation& store, Io& io);

// The desk's store for a subcommand that works beside the program and the
// other desks: deskStore(), and on files the folder's lock shared, so that no
// restore swaps a file meanwhile. A server desk needs no data folder.
int sharedDeskStore(const Arguments& parsed, StoreLocation& store, FolderLock& lock, Io& io);

// The status of a store's failure: kDamageFound when the write gate found
// the store damaged, kNoAnswer when its server did not answer within the
// deadline, else kFailed.
int storeFailure(const StoreError& error);

// Prints a Persian failure message on stderr; returns `status`.
int fail(Io& io, const QString& message, int status = kFailed);

} // namespace velmoran::cli
