#include "platform/widgets/exitwindowsdialog.h"

#include <QPointer>
#include <QProcess>
#include <QStandardPaths>

namespace velmoran::ExitWindows {

void DesktopBackend::show() {
    const std::optional<Command> prompt =
        desktopPrompt(qEnvironmentVariable("XDG_CURRENT_DESKTOP"), [](const QString& program) {
            return QStandardPaths::findExecutable(program);
        });
    if (prompt && QProcess::startDetached(prompt->program, prompt->arguments)) {
        return;
    }

    static QPointer<ExitWindowsDialog> dialog;
    if (!dialog) {
        dialog =
            new ExitWindowsDialog(qEnvironmentVariable("XDG_SESSION_ID"), &runReportingFailure);
    }
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

} // namespace velmoran::ExitWindows
