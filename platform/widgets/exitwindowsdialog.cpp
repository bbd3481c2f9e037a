#include "platform/widgets/exitwindowsdialog.h"

#include "platform/messagebox.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QVBoxLayout>

namespace velmoran::ExitWindows {

namespace {

QString dialogTitle() {
    return QStringLiteral("خاموش كردن رايانه");
}

void reportFailure(const Command& command, const QString& problem) {
    MessageBox::show(QStringLiteral("فرمان %1 انجام نشد:\n%2").arg(command.program, problem),
                     dialogTitle(), MessageBox::Icon::Critical, MessageBox::Buttons::Ok);
}

} // namespace

void runReportingFailure(const Command& command) {
    auto* process = new QProcess(QCoreApplication::instance());
    QObject::connect(process, &QProcess::errorOccurred, process,
                     [process, command](QProcess::ProcessError error) {
                         if (error == QProcess::FailedToStart) {
                             reportFailure(command, process->errorString());
                             process->deleteLater();
                         }
                     });
    QObject::connect(process, &QProcess::finished, process,
                     [process, command](int exitCode, QProcess::ExitStatus status) {
                         if (status != QProcess::NormalExit || exitCode != 0) {
                             const QString problem =
                                 QString::fromLocal8Bit(process->readAllStandardError()).trimmed();
                             reportFailure(command,
                                           problem.isEmpty() ? process->errorString() : problem);
                         }
                         process->deleteLater();
                     });
    process->start(command.program, command.arguments);
}

ExitWindowsDialog::ExitWindowsDialog(const QString& sessionId, Runner runner, QWidget* parent)
    : QDialog(parent), sessionId_(sessionId), runner_(std::move(runner)) {
    setObjectName(QStringLiteral("ExitWindowsDialog"));
    setAttribute(Qt::WA_DeleteOnClose);
    setLayoutDirection(Qt::RightToLeft);
    setWindowTitle(dialogTitle());
    setModal(false);

    auto* question = new QLabel(QStringLiteral("مي خواهيد چه كنيد ؟"), this);
    question->setObjectName(QStringLiteral("question"));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(addChoice("powerOffButton", QStringLiteral("خاموش كردن"), Action::PowerOff));
    buttons->addWidget(
        addChoice("rebootButton", QStringLiteral("راه اندازي دوباره"), Action::Reboot));
    QPushButton* logOut = addChoice("logOutButton", QStringLiteral("خروج از حساب"), Action::LogOut);
    logOut->setEnabled(logindCommand(Action::LogOut, sessionId_).has_value());
    buttons->addWidget(logOut);
    auto* cancel = new QPushButton(QStringLiteral("انصراف"), this);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(question);
    layout->addLayout(buttons);
    cancel->setFocus();
}

QPushButton* ExitWindowsDialog::addChoice(const char* objectName, const QString& caption,
                                          Action action) {
    auto* button = new QPushButton(caption, this);
    button->setObjectName(QString::fromLatin1(objectName));
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, [this, action] {
        const std::optional<Command> command = logindCommand(action, sessionId_);
        accept();
        if (command) {
            runner_(*command);
        }
    });
    return button;
}

} // namespace velmoran::ExitWindows
