#include "import/crashcleanup.h"

#include <csignal>
#include <initializer_list>
#include <windows.h>

namespace velmoran::import::cleanup {

namespace {

// The exit status a process ended by `signal` gets: the status Windows
// itself gives the crash or the Ctrl+C. Every one is an NTSTATUS error
// (0xC0000000 and up), never one of the tool's own statuses, so the
// watching parent tells a crash from an exit. (raise() by its default
// action would exit with 3, the status of a store that exists.)
DWORD endStatus(int signal) {
    switch (signal) {
    case SIGSEGV:
        return 0xC0000005; // STATUS_ACCESS_VIOLATION
    case SIGILL:
        return 0xC000001D; // STATUS_ILLEGAL_INSTRUCTION
    case SIGFPE:
        return 0xC0000090; // STATUS_FLOAT_INVALID_OPERATION
    case SIGABRT:
        return 0xC0000409; // STATUS_STACK_BUFFER_OVERRUN, what abort() gives
    default:
        return 0xC000013A; // STATUS_CONTROL_C_EXIT
    }
}

} // namespace

void installHandler(void (*handler)(int)) {
    // The C runtime delivers a crash (an access violation, an illegal
    // instruction, a floating point fault) as its signal, Ctrl+C as SIGINT
    // and Ctrl+Break as SIGBREAK.
    for (int signal : {SIGSEGV, SIGFPE, SIGILL, SIGABRT, SIGTERM, SIGINT, SIGBREAK}) {
        std::signal(signal, handler);
    }
}

void endBy(int signal) {
    // At once, with no unwinding, no library's exit code run in a process
    // that may be broken.
    ::TerminateProcess(::GetCurrentProcess(), endStatus(signal));
}

} // namespace velmoran::import::cleanup
