#include "data/store/writegate.h"

#include <utility>

namespace velmoran {

namespace {

WriteGate& writeGate() {
    static WriteGate gate;
    return gate;
}

} // namespace

void setWriteGate(WriteGate gate) {
    writeGate() = std::move(gate);
}

void passWriteGate(const StoreLocation& store, const TableSpec& tableSpec) {
    if (writeGate()) {
        writeGate()(store, tableSpec);
    }
}

} // namespace velmoran
