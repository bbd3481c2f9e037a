#pragma once

// The signals that end the import tool, for its handler that removes the
// temporary file first (importtool.h, installSignalCleanup). One
// implementation per system: crashcleanup_posix.cpp, crashcleanup_windows.cpp.

namespace velmoran::import::cleanup {

// Sets `handler` for every signal that ends the process: a crash (SIGSEGV,
// SIGFPE, SIGILL, SIGABRT, and SIGBUS where there is one) and a request to
// end (SIGTERM, SIGINT, and SIGHUP on Linux, Ctrl+Break on Windows).
void installHandler(void (*handler)(int));

// From that handler: ends the process as `signal` would have, so that its
// parent sees a crash or an end from outside, not an exit status of the
// tool's.
void endBy(int signal);

} // namespace velmoran::import::cleanup
