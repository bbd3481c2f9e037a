#pragma once

#include "platform/exitwindows.h"

#include <QDialog>

#include <functional>

class QPushButton;

namespace velmoran::ExitWindows {

// Starts a command without waiting for it. The default one runs it through
// QProcess and shows a message box when it can't start or ends with an error
// (systemd-logind refused, say).
using Runner = std::function<void(const Command&)>;
void runReportingFailure(const Command& command);

// Our own small shut-down dialog, for desktops without a prompt of their own:
// power off, restart, log out (when the session is known) and cancel.
// Modeless; closes itself after a choice.
class ExitWindowsDialog : public QDialog {
    Q_OBJECT
public:
    ExitWindowsDialog(const QString& sessionId, Runner runner, QWidget* parent = nullptr);

private:
    QPushButton* addChoice(const char* objectName, const QString& caption, Action action);

    QString sessionId_;
    Runner runner_;
};

// The real backend: the desktop's prompt when XDG_CURRENT_DESKTOP names a
// desktop whose prompt program is on PATH, started detached; otherwise our
// dialog (one at a time: a second request brings it to the front).
class DesktopBackend : public Backend {
public:
    void show() override;
};

} // namespace velmoran::ExitWindows
