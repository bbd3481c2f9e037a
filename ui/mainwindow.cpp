#include "ui/mainwindow.h"

#include "ui/screens.h"

namespace velmoran {

void MainWindow::windowActivated() {
    Screens::instance().windowActivated(this);
}

bool MainWindow::childActivated(Screen* child) {
    return Screens::instance().childActivated(child);
}

void MainWindow::pauseActivations(bool paused) {
    Screens::instance().activationsPaused_ = paused;
}

void MainWindow::unloaded() {
    Screens::instance().mainWindowUnloaded(this);
}

void setMainWindowEnabled(bool enabled) {
    if (MainWindow* window = Screens::instance().mainWindow()) {
        window->setEnabled(enabled);
    }
}

} // namespace velmoran
