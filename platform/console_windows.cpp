#include "platform/console.h"

#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace velmoran::Console {

// The bytes the program writes go out as they are, as on Linux: a line ends
// in LF, and the CR LF of a .csv stays CR LF (the C library's text mode would
// make it CR CR LF).
void useUtf8() {
    SetConsoleOutputCP(CP_UTF8);
    SetConsoleCP(CP_UTF8);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
}

void attachToParent() {
    if (AttachConsole(ATTACH_PARENT_PROCESS)) {
        std::freopen("CONOUT$", "w", stdout);
        std::freopen("CONOUT$", "w", stderr);
        useUtf8();
    }
}

} // namespace velmoran::Console
