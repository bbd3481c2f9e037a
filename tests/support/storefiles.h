#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

// Store files for the tests of backups, the damage check and the export:
// generated listings, and damage done to a file the way a bad sector does.
namespace velmoran::test {

// One generated listing: a value per field of kListingFields, text as
// stored and a flag as "-1" or "0".
using ListingValues = std::vector<QString>;

// `count` listings from `seed`: Persian and Latin text, digits of both kinds,
// commas, quotes, line breaks (LF and CR LF), tabs, empty fields, the odd
// long remark; flags set at random.
std::vector<ListingValues> generatedListings(int count, unsigned seed);

// Makes newil.db (or pc.db) in `folder` when missing and appends `listings`
// to table `new` in one transaction.
void storeListings(const QString& folder, const std::vector<ListingValues>& listings);
void preparePasswordStore(const QString& folder);

// Folds newil.db's journal into the file, so the file alone holds the rows.
void foldJournal(const QString& store);

// The file's bytes; writes bytes to a file.
QByteArray bytesOf(const QString& path);
void overwrite(const QString& path, qint64 offset, const QByteArray& bytes);

// Damage inside the file's pages, its header left sound: the b-tree page
// headers of `pages` pages from the middle of the file on are overwritten.
void damagePages(const QString& store, int pages = 3);
// Damage only integrity_check finds: one letter of `text` changed where it
// stands in an index page (newil.db's find index), the table row unchanged.
void damageIndexEntry(const QString& store, const QString& text);

} // namespace velmoran::test
