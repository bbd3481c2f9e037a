#include "app/application.h"

#include "data/folder/datafolder.h"
#include "data/store/recordsource.h"
#include "data/store/storelocation.h"
#include "platform/console.h"
#include "platform/exitwindows.h"
#include "platform/messagebox.h"
#include "platform/print.h"
#include "platform/widgets/busywait.h"
#include "platform/widgets/exitwindowsdialog.h"
#include "platform/widgets/fonts.h"
#include "platform/widgets/messageboxbackend.h"
#include "platform/widgets/printqt.h"
#include "platform/widgets/qttranslations.h"
#include "ui/artwork.h"
#include "ui/conflictchoice.h"
#include "ui/screen.h"

#include <QDir>
#include <QLocale>
#include <QStyleFactory>

#include <cstdio>
#include <cstring>

namespace velmoran {

namespace {

// The folders named are this system's: the data folder and the
// configuration file as the program finds them.
const char kHelpEn[] =
    "usage: velmoran [--version] [--help]\n\n"
    "The listings manager of a real-estate agency: a Persian, right-to-left desktop\n"
    "program. It keeps the listings in the data folder (%1),\n"
    "or on a PostgreSQL server when %2\n"
    "names one ([store] server=CONNINFO; see README).\n"
    "A fresh install's password is empty: press Enter at the login; F8 sets one.\n"
    "The command-line tool: velmoran-cli --help, man velmoran-cli.\n";

const char kHelpFa[] =
    "روش كار: velmoran [--version] [--help]\n\n"
    "برنامه مديريت فايلهاي بنگاه املاك، فارسي و راست به چپ. فايلها در پوشه اطلاعات\n"
    "(%1) نگه داشته مي شوند، يا روي سرور PostgreSQL اگر\n"
    "%2 آن را نام ببرد\n([store] server=CONNINFO؛ README را ببينيد).\n"
    "رمز برنامه تازه نصب شده خالي است: در ورود Enter را بزنيد؛ F8 رمز مي گذارد.\n"
    "ابزار خط فرمان: velmoran-cli --help و man velmoran-cli.\n";

} // namespace

int Application::answerCommandLine(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0 || std::strcmp(argv[i], "--help") == 0 ||
            std::strcmp(argv[i], "-h") == 0) {
            Console::attachToParent();
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("velmoran %s\n", VELMORAN_VERSION);
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            // The user's locale, read without an application object.
            const bool persian = QLocale::system().language() == QLocale::Persian;
            const QString help = QString::fromUtf8(persian ? kHelpFa : kHelpEn)
                                     .arg(QDir::toNativeSeparators(dataFolder()),
                                          QDir::toNativeSeparators(configFilePath()));
            std::fputs(help.toUtf8().constData(), stdout);
            return 0;
        }
    }
    return -1;
}

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationVersion(QStringLiteral(VELMORAN_VERSION));
    // The menu entry the desktop matches the program's windows with.
    setDesktopFileName(QStringLiteral("velmoran"));
    setLayoutDirection(Qt::RightToLeft);
    // One look on every system: the screens' controls keep the places they
    // were designed in, and Windows' own style clips the text of the panels'
    // small buttons to inside its margins.
    setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    // The program ends when its last screen is unloaded (a hidden screen
    // counts), not when its last window is closed.
    setQuitOnLastWindowClosed(false);
    setWindowIcon(applicationIcon());
    installFontSubstitutes();
    installQtTranslations();
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
