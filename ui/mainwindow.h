#pragma once

#include <QMainWindow>

namespace velmoran {

class Screen;

// What the screen framework needs of the program's main window (MDIForm1,
// made by the factory the program registers with Screens): a place for the
// listing screens, which live inside it, and word of its going.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    using QMainWindow::QMainWindow;

protected:
    friend class Screens;

    // The listing screens inside the main window: placed there when they are
    // made (hidden), shown filling it, and taken out when they unload.
    virtual void addChild(Screen* screen) = 0;
    virtual void showChild(Screen* screen) = 0;
    virtual void removeChild(Screen* screen) = 0;

    // The desktop activated the main window; a listing screen became the
    // active child: its Form_Activate runs when it is another one (true
    // then).
    void windowActivated();
    static bool childActivated(Screen* child);
    // While the main window sweeps its screens away, no screen's activation
    // runs.
    static void pauseActivations(bool paused);
    // The main window is unloaded: Screens forgets it, and the program ends
    // when no screen is left.
    void unloaded();
};

// The Main-window lock: a dialog screen switches the main window off while it
// is open (menus, close box and listing screens take no input; it stays
// visible, its timers run) and on again when it unloads. Nothing happens
// when the main window is not open.
void setMainWindowEnabled(bool enabled);

} // namespace velmoran
