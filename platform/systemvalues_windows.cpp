#include "platform/systemvalues.h"

#include <windows.h>

namespace velmoran::SystemValues {

namespace {

// The five values under the key Software\Microsoft\Windows\CurrentVersion of
// HKEY_LOCAL_MACHINE, read only, in the 64-bit view of the registry.
class RegistryBackend : public Backend {
public:
    std::optional<QString> read(Value value) override {
        static const char* const kNames[] = {"ProductName", "ProductId", "ProductKey",
                                             "RegisteredOrganization", "RegisteredOwner"};
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion", 0,
                          KEY_QUERY_VALUE | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS) {
            return std::nullopt;
        }
        const char* name = kNames[static_cast<int>(value)];
        DWORD type = 0;
        DWORD size = 0;
        std::optional<QString> text;
        if (RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
            (type == REG_SZ || type == REG_EXPAND_SZ) && size > 0 && size < 65536) {
            QByteArray bytes(static_cast<qsizetype>(size), '\0');
            if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(bytes.data()),
                                 &size) == ERROR_SUCCESS) {
                bytes.truncate(static_cast<qsizetype>(size));
                text = shown(QString::fromLocal8Bit(bytes));
            }
        }
        RegCloseKey(key);
        return text;
    }
};

} // namespace

std::shared_ptr<Backend> systemBackend() {
    return std::make_shared<RegistryBackend>();
}

std::optional<Account> currentAccount() {
    wchar_t name[257];
    DWORD size = 257;
    if (!GetUserNameW(name, &size) || size == 0) {
        return std::nullopt;
    }
    return Account{QString::fromWCharArray(name, static_cast<int>(size) - 1), QString()};
}

} // namespace velmoran::SystemValues
