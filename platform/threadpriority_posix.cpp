#include "platform/threadpriority.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace velmoran::ThreadPriority {

qint64 currentThread() {
    return static_cast<qint64>(::syscall(SYS_gettid));
}

void setNice(qint64 thread, int nice) {
    if (thread > 0) {
        ::setpriority(PRIO_PROCESS, static_cast<id_t>(thread), nice);
    }
}

} // namespace velmoran::ThreadPriority
