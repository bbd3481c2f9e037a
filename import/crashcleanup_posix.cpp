#include "import/crashcleanup.h"

#include <csignal>
#include <initializer_list>

namespace velmoran::import::cleanup {

void installHandler(void (*handler)(int)) {
    for (int signal : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGTERM, SIGINT, SIGHUP}) {
        std::signal(signal, handler);
    }
}

// The signal again, by its default action: it ends the process once the
// handler returns, if not at once.
void endBy(int signal) {
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

} // namespace velmoran::import::cleanup
