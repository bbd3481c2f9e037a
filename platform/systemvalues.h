#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <map>
#include <memory>
#include <optional>

namespace velmoran {

// The computer's registration data that the about screen shows: five values
// read when the screen loads, each of which may be missing. On Linux they come
// from the system itself (LinuxBackend); tests install Fixed values.
namespace SystemValues {

// In the order the about screen reads them.
enum class Value { ProductName, ProductId, ProductKey, RegisteredOrganization, RegisteredOwner };

class Backend {
public:
    virtual ~Backend() = default;
    // The value's text; none when it can't be read or is empty.
    virtual std::optional<QString> read(Value value) = 0;
};

// Reads a value through the installed backend (the Linux one unless a test
// installed another).
std::optional<QString> read(Value value);
void setBackend(std::shared_ptr<Backend> backend);
std::shared_ptr<Backend> backend();

// The user account the program runs under.
struct Account {
    QString loginName;
    QString gecos; // the comment field of the account, "Full Name,room,..."
};

// The account of the effective user; none when the system does not know it.
std::optional<Account> currentAccount();

// The backend of the system the program runs on: LinuxBackend, or on
// Windows the registry (systemvalues_windows.cpp).
std::shared_ptr<Backend> systemBackend();

// A value as the screen shows it: one line, up to its first NUL or line
// break, blanks around it removed; none when nothing is left.
std::optional<QString> shown(const QString& text);

// Where the Linux backend reads each value:
// - ProductName: PRETTY_NAME of os-release (NAME when it has none);
// - ProductId: an identifier of this program on this machine, derived from
//   the machine id (machine-id(5)) by HMAC-SHA256 with a fixed key of the
//   program, so that the machine id itself is never shown;
// - ProductKey: the release of the running kernel;
// - RegisteredOrganization: the machine's host name;
// - RegisteredOwner: the account's full name (GECOS), or its login name
//   when the account has no full name.
struct Sources {
    QStringList osReleaseFiles = {QStringLiteral("/etc/os-release"),
                                  QStringLiteral("/usr/lib/os-release")};
    QStringList machineIdFiles = {QStringLiteral("/etc/machine-id"),
                                  QStringLiteral("/var/lib/dbus/machine-id")};
    QString kernelReleaseFile = QStringLiteral("/proc/sys/kernel/osrelease");
    QString hostNameFile = QStringLiteral("/proc/sys/kernel/hostname");
    std::function<std::optional<Account>()> account = currentAccount;
};

class LinuxBackend : public Backend {
public:
    explicit LinuxBackend(Sources sources = {});
    std::optional<QString> read(Value value) override;

private:
    Sources sources_;
};

// Test double: each value as set; a value never set is missing.
class Fixed : public Backend {
public:
    void set(Value value, std::optional<QString> text) { values_[value] = std::move(text); }
    std::optional<QString> read(Value value) override;

private:
    std::map<Value, std::optional<QString>> values_;
};

// The value of `key` in the text of an os-release file (shell-style
// assignments, the value possibly quoted); none when the key is absent.
std::optional<QString> osReleaseValue(const QByteArray& contents, const QString& key);

// The full name in a GECOS field: its first comma-separated part, an "&"
// standing for the login name with its first letter in capitals.
QString fullName(const Account& account);

// The program's identifier on the machine whose id is `machineId` (32
// hexadecimal digits): 32 lowercase hexadecimal digits; none when the
// machine id is not a valid one.
std::optional<QString> programIdOnMachine(const QByteArray& machineId);

} // namespace SystemValues
} // namespace velmoran
