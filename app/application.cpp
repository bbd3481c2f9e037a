#include "app/application.h"

#include "data/store/recordsource.h"
#include "data/store/storelocation.h"
#include "platform/exitwindows.h"
#include "platform/messagebox.h"
#include "platform/print.h"
#include "platform/widgets/busywait.h"
#include "platform/widgets/exitwindowsdialog.h"
#include "platform/widgets/fonts.h"
#include "platform/widgets/messageboxbackend.h"
#include "platform/widgets/printqt.h"
#include "ui/artwork.h"
#include "ui/conflictchoice.h"
#include "ui/screen.h"

namespace velmoran {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationVersion(QStringLiteral(VELMORAN_VERSION));
    // The menu entry the desktop matches the program's windows with.
    setDesktopFileName(QStringLiteral("velmoran"));
    setLayoutDirection(Qt::RightToLeft);
    // The program ends when its last screen is unloaded (a hidden screen
    // counts), not when its last window is closed.
    setQuitOnLastWindowClosed(false);
    setWindowIcon(applicationIcon());
    installFontSubstitutes();
    MessageBox::setBackend(std::make_shared<MessageBox::QtBackend>());
    ExitWindows::setBackend(std::make_shared<ExitWindows::DesktopBackend>());
    Print::setBackend(std::make_shared<QtPrintBackend>());
    // A write waiting for another copy's lock shows the wait and keeps the
    // windows painting.
    setStoreBusyWait(&showBusyWait);
    // A save that meets another desk's change to the same field asks which
    // to keep.
    setConflictChooser(&askWhichToKeep);
}

bool Application::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const StoreError& error) {
        showStoreError(error);
    } catch (const std::exception& error) {
        MessageBox::show(
            QStringLiteral("خطاي پيش بيني نشده: %1").arg(QString::fromLocal8Bit(error.what())),
            QStringLiteral("خطا"), MessageBox::Icon::Critical, MessageBox::Buttons::Ok);
    }
    return false;
}

} // namespace velmoran
