#pragma once

#include "ui/screenid.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <map>

namespace velmoran {

class MainWindow;
class Screen;

// The program's screens: which exist (a factory per id, registered by
// registerScreens() in screentable.cpp) and which are open now. Every screen
// is a single instance, made on first use by the command that shows it and
// kept until it is unloaded.
//
// A new screen registers itself by one line in screentable.cpp:
//     screens.registerScreen(ScreenId::Form1, [] { return new Form1; });
// A command whose screen is not registered does nothing.
class Screens : public QObject {
    Q_OBJECT
public:
    using Factory = std::function<Screen*()>;

    static Screens& instance();

    void registerScreen(ScreenId id, Factory factory);
    bool isRegistered(ScreenId id) const;

    // The open screen of `id`, or null.
    Screen* find(ScreenId id) const;
    template <class T> T* find(ScreenId id) const { return qobject_cast<T*>(find(id)); }
    bool isLoaded(ScreenId id) const { return find(id) != nullptr; }
    bool anyLoaded() const;

    // The screen of `id`, made and loaded (Form_Load) when it is not open, but
    // not shown. A child of the main window is placed in it (the main window
    // shown first when needed). Null when no factory is registered or loading
    // failed (the failure was shown).
    Screen* load(ScreenId id);

    // load(), then shows the screen, brings it to the front and activates it.
    Screen* show(ScreenId id);

    // Unloads the screen of `id` when it is open (Screen::unload). True when it
    // is not open afterwards.
    bool unload(ScreenId id);

    // Makes the program's main window (the program registers it with its
    // screens).
    void registerMainWindow(std::function<MainWindow*()> factory);

    // The main window, or null when it is not open.
    MainWindow* mainWindow() const;
    // The main window, made when needed, shown maximised and activated. Null
    // when no main window is registered or the gate (below) refuses to open
    // it.
    MainWindow* showMainWindow();

    // Asked before the main window is made: false keeps it from opening
    // (the start-up's check of the listings file found it damaged and the
    // user chose to end). None by default.
    void setMainWindowGate(std::function<bool()> gate);

    // For tests: forgets every open screen and the main window at once,
    // without write-back or handlers, and every registered factory.
    void discardAll();

signals:
    // The main window and every screen are gone: the program ends.
    void programEnded();

private:
    friend class Screen;
    friend class MainWindow;

    Screens() = default;

    // Runs a handler of `screen`, showing a StoreError it raises.
    // False when it raised one.
    static bool runHandler(Screen* screen, void (Screen::*handler)());
    // Screen::unload and the close box come here.
    bool unloadScreen(Screen* screen);
    void windowActivated(QWidget* window);
    // True when the child's activation ran.
    bool childActivated(Screen* child);
    void mainWindowUnloaded(MainWindow* window);
    void endWhenNothingIsLeft();

    std::function<bool()> mainWindowGate_;
    std::map<ScreenId, Factory> factories_;
    std::map<ScreenId, QPointer<Screen>> open_;
    std::function<MainWindow*()> mainWindowFactory_;
    QPointer<MainWindow> mainWindow_;
    QPointer<QWidget> activeWindow_;
    QPointer<Screen> activeChild_;
    bool activationsPaused_ = false; // while the main window sweeps
};

} // namespace velmoran
