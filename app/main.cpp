#include "app/application.h"
#include "app/mdiform1.h"
#include "app/startup.h"
#include "platform/processstart.h"
#include "platform/terminationsignals.h"
#include "ui/screens.h"

int main(int argc, char** argv) {
    velmoran::ProcessStart::prepare();
    // Answered on a terminal without a display, before anything starts.
    if (const int answered = velmoran::Application::answerCommandLine(argc, argv); answered >= 0) {
        return answered;
    }
    velmoran::Application app(argc, argv);
    velmoran::Screens& screens = velmoran::Screens::instance();
    QObject::connect(&screens, &velmoran::Screens::programEnded, &app, &QApplication::quit,
                     Qt::QueuedConnection);

    // At log-out or shut-down the main window is unloaded as on any close, so
    // every record source writes back first.
    velmoran::TerminationSignals termination;
    QObject::connect(&termination, &velmoran::TerminationSignals::terminationRequested, &app, [] {
        if (velmoran::MDIForm1* window = velmoran::mainForm()) {
            window->unload();
        }
        QApplication::quit();
    });

    if (!velmoran::startProgram()) {
        return 1;
    }
    const int status = app.exec();
    // The main window has closed, its sweep done: the backups.
    velmoran::endProgram();
    return status;
}
