#include "platform/widgets/exitwindowsdialog.h"

#include <thread>
#include <windows.h>

namespace velmoran::ExitWindows {

// The shell's own shut-down dialog: shell32's export ordinal 60, with no
// owner window. It keeps a message loop of its own until the user chooses,
// so it runs on a thread of its own and the program's window goes on
// painting meanwhile.
void DesktopBackend::show() {
    std::thread([] {
        using ShutDownDialog = void(WINAPI*)(HWND);
        HMODULE shell = LoadLibraryW(L"shell32.dll");
        if (!shell) {
            return;
        }
        if (const auto dialog = reinterpret_cast<ShutDownDialog>(
                reinterpret_cast<void*>(GetProcAddress(shell, MAKEINTRESOURCEA(60))))) {
            dialog(nullptr);
        }
        FreeLibrary(shell);
    }).detach();
}

} // namespace velmoran::ExitWindows
