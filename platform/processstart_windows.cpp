#include "platform/processstart.h"

#include <QByteArray>

namespace velmoran::ProcessStart {

void prepare() {
    // A thread that matched a regular expression through Qt's JIT ends by
    // freeing the JIT's per-thread stack, and mingw-w64's thread storage may
    // already be gone by then: the end of a background task (a backup's
    // listing, a check) crashed the program now and then. Matched without
    // the JIT, a thread leaves nothing to free. Read once, before the first
    // pattern is compiled.
    if (qEnvironmentVariableIsEmpty("QT_ENABLE_REGEXP_JIT")) {
        qputenv("QT_ENABLE_REGEXP_JIT", QByteArrayLiteral("0"));
    }
}

} // namespace velmoran::ProcessStart
