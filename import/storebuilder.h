#pragma once

#include "data/core/fields.h"
#include "data/sqlite/sqlite.h"
#include "import/fieldmapping.h"

#include <QString>

#include <vector>

namespace velmoran::import {

// A store file built under a temporary name in the data folder and put in
// place only when complete. Until then nothing has the store's own name;
// destroyed unfinished, it removes the temporary file and its journal.
class StoreBuilder {
public:
    // Makes the temporary file (mode 600) with the structure prepareStore
    // gives a new store. Throws ImportError (CannotStore).
    StoreBuilder(const QString& folder, const TableSpec& tableSpec);
    ~StoreBuilder();
    StoreBuilder(const StoreBuilder&) = delete;
    StoreBuilder& operator=(const StoreBuilder&) = delete;

    const QString& temporaryPath() const { return temporary_; }
    const QString& targetPath() const { return target_; }

    // Stores a row after those already stored.
    void append(const std::vector<FieldValue>& values);
    // Writes `values` into the first row (the one table `pc` is made with).
    void setFirstRow(const std::vector<FieldValue>& values);

    // Makes the file durable and gives it the store's name. An existing file
    // of that name is refused (ImportError TargetExists) unless `replace`;
    // replaced, it is first folded whole (journal included) and kept under
    // the name returned, so none of its rows is lost. Returns the empty
    // string when nothing was replaced.
    QString finish(bool replace);

private:
    void bindAll(sql::Statement& statement, const std::vector<FieldValue>& values);
    void commitBatch();
    void removeTemporary();

    const TableSpec& spec_;
    QString folder_;
    QString target_;
    QString temporary_;
    sql::Database db_;
    sql::Statement insert_;
    int pending_ = 0; // rows in the open transaction
    bool done_ = false;
};

} // namespace velmoran::import
