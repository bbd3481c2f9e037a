#include "platform/exitwindows.h"

#include <iterator>

namespace velmoran::ExitWindows {

namespace {

std::shared_ptr<Backend>& current() {
    static std::shared_ptr<Backend> instance = std::make_shared<Recorder>();
    return instance;
}

// The desktops whose session manager has a prompt of its own, each with the
// commands that show it, tried in this order. The ksmserver call takes three
// numbers: ask first, default shut-down type, default mode.
struct DesktopPrompt {
    const char* desktop;
    const char* program;
    const char* arguments[6];
};

const DesktopPrompt kDesktopPrompts[] = {
    {"GNOME", "gnome-session-quit", {"--power-off"}},
    {"Unity", "gnome-session-quit", {"--power-off"}},
    {"KDE", "qdbus6", {"org.kde.LogoutPrompt", "/LogoutPrompt", "promptAll"}},
    {"KDE", "qdbus", {"org.kde.ksmserver", "/KSMServer", "logout", "1", "0", "0"}},
    {"XFCE", "xfce4-session-logout", {}},
    {"MATE", "mate-session-save", {"--shutdown-dialog"}},
    {"X-Cinnamon", "cinnamon-session-quit", {"--power-off"}},
    {"Cinnamon", "cinnamon-session-quit", {"--power-off"}},
    {"LXQt", "lxqt-leave", {}},
};

Command commandOf(const DesktopPrompt& prompt, const QString& path) {
    Command command{path, {}};
    for (const char* argument : prompt.arguments) {
        if (argument) {
            command.arguments << QString::fromLatin1(argument);
        }
    }
    return command;
}

} // namespace

void show() {
    current()->show();
}

void setBackend(std::shared_ptr<Backend> backend) {
    current() = std::move(backend);
}

std::shared_ptr<Backend> backend() {
    return current();
}

std::optional<Command> desktopPrompt(const QString& currentDesktops,
                                     const ProgramFinder& findProgram) {
    const QStringList desktops = currentDesktops.split(QLatin1Char(':'), Qt::SkipEmptyParts);
    for (const QString& desktop : desktops) {
        for (const DesktopPrompt& prompt : kDesktopPrompts) {
            if (desktop.trimmed().compare(QLatin1String(prompt.desktop), Qt::CaseInsensitive)) {
                continue;
            }
            const QString path = findProgram(QString::fromLatin1(prompt.program));
            if (!path.isEmpty()) {
                return commandOf(prompt, path);
            }
        }
    }
    return std::nullopt;
}

std::optional<Command> logindCommand(Action action, const QString& sessionId) {
    switch (action) {
    case Action::PowerOff:
        return Command{QStringLiteral("systemctl"), {QStringLiteral("poweroff")}};
    case Action::Reboot:
        return Command{QStringLiteral("systemctl"), {QStringLiteral("reboot")}};
    case Action::LogOut:
        if (sessionId.trimmed().isEmpty()) {
            return std::nullopt;
        }
        return Command{QStringLiteral("loginctl"),
                       {QStringLiteral("terminate-session"), sessionId.trimmed()}};
    }
    return std::nullopt;
}

} // namespace velmoran::ExitWindows
