#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

namespace velmoran {

// The main window's `exitwin` command: the desktop's own log-out / shut-down
// dialog. The program neither closes nor waits for it. Tests install a
// Recorder (the default backend), so no test can ever shut the machine down.
namespace ExitWindows {

// A program to start, with its arguments.
struct Command {
    QString program;
    QStringList arguments;

    bool operator==(const Command& other) const {
        return program == other.program && arguments == other.arguments;
    }
};

class Backend {
public:
    virtual ~Backend() = default;
    // Offers the user to power off, restart or log out; returns at once.
    virtual void show() = 0;
};

// Runs the installed backend.
void show();

// The program installs the real backend at start; until then (and in tests)
// a Recorder stands in.
void setBackend(std::shared_ptr<Backend> backend);
std::shared_ptr<Backend> backend();

// Test double: counts the calls and does nothing else.
class Recorder : public Backend {
public:
    void show() override { ++calls_; }
    int calls() const { return calls_; }

private:
    int calls_ = 0;
};

// Finds a program on PATH; returns its full path, or the empty text.
using ProgramFinder = std::function<QString(const QString& program)>;

// The desktop's own prompt: `currentDesktops` is XDG_CURRENT_DESKTOP, a
// colon-separated list ("ubuntu:GNOME", "KDE", "XFCE"), compared without
// regard to case. The first desktop of the list that has a prompt whose
// program is found wins; none when no desktop matches.
std::optional<Command> desktopPrompt(const QString& currentDesktops,
                                     const ProgramFinder& findProgram);

// What our own dialog offers, through systemd-logind.
enum class Action { PowerOff, Reboot, LogOut };

// The command of an action. Logging out ends the session `sessionId`
// (XDG_SESSION_ID); without one there is nothing to log out of.
std::optional<Command> logindCommand(Action action, const QString& sessionId);

} // namespace ExitWindows
} // namespace velmoran
