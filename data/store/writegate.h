#pragma once

#include "data/core/fields.h"
#include "data/core/tablestore.h"

#include <functional>
#include <memory>

namespace velmoran {

struct StoreLocation;

// The one gate that stands before every write to a store, whoever writes:
// the screens' record sources, the sheet import, the tool's steps. Asked with
// the store and the table about to be written, it returns when the write may
// go and refuses by throwing StoreError (Kind::WritesStopped for a damaged
// file); then nothing is written. The program installs the gate that waits
// for its damage check at start (app/storeguard.h), the tool the one that
// reads a file through before its first write (checkBeforeFirstWrite,
// data/maintenance/storecheck.h). None by default: every write goes.
using WriteGate = std::function<void(const StoreLocation& store, const TableSpec& tableSpec)>;
void setWriteGate(WriteGate gate);

// Asks the gate; throws StoreError when it refuses. For the steps that
// write a store other than through a TableStore (an index added), and before
// a step that reads a long while and then writes.
void passWriteGate(const StoreLocation& store, const TableSpec& tableSpec);

// `table` with the gate before each of its writes (insert, update, remove,
// insertAll): what openTableStore hands out for writing.
std::unique_ptr<TableStore> gatedTableStore(std::unique_ptr<TableStore> table,
                                            const StoreLocation& store);

} // namespace velmoran
