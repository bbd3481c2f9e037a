#pragma once

#include <QtGlobal>

// A thread's priority as another thread may change it (threadpriority_posix.cpp,
// threadpriority_windows.cpp).
namespace velmoran::ThreadPriority {

// The calling thread, as setNice names it; 0 when the system gives no name.
qint64 currentThread();

// Gives `thread` the niceness `nice` (0 the usual, 10 giving way to the
// rest). Going back up from a low priority happens only where the system
// allows it; otherwise the thread stays as it is.
void setNice(qint64 thread, int nice);

} // namespace velmoran::ThreadPriority
