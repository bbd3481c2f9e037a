#include "platform/console.h"

#include <cstdio>
#include <windows.h>

namespace velmoran::Console {

void useUtf8() {
    SetConsoleOutputCP(CP_UTF8);
    SetConsoleCP(CP_UTF8);
}

void attachToParent() {
    if (AttachConsole(ATTACH_PARENT_PROCESS)) {
        std::freopen("CONOUT$", "w", stdout);
        std::freopen("CONOUT$", "w", stderr);
        useUtf8();
    }
}

} // namespace velmoran::Console
