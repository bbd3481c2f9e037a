#include "platform/threadpriority.h"

#include <windows.h>

namespace velmoran::ThreadPriority {

qint64 currentThread() {
    return static_cast<qint64>(GetCurrentThreadId());
}

void setNice(qint64 thread, int nice) {
    if (thread <= 0) {
        return;
    }
    const HANDLE handle =
        OpenThread(THREAD_SET_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(thread));
    if (handle) {
        SetThreadPriority(handle, nice > 0 ? THREAD_PRIORITY_BELOW_NORMAL : THREAD_PRIORITY_NORMAL);
        CloseHandle(handle);
    }
}

} // namespace velmoran::ThreadPriority
