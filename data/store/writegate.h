#pragma once

#include "data/core/fields.h"

#include <functional>

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

// Asks the gate; throws StoreError when it refuses. A table opened for
// writing (openTableStore, storelocation.h) asks it before each of its
// writes; the steps that write a store otherwise (an index added) ask it
// themselves, and so does a step that reads a long while before it writes.
void passWriteGate(const StoreLocation& store, const TableSpec& tableSpec);

} // namespace velmoran
