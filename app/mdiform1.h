#pragma once

#include "app/mainmenu.h"
#include "ui/mainwindow.h"

#include <QList>
#include <QMdiSubWindow>
#include <QPointer>

namespace velmoran {

class Screen;
class TitleAnimation;
class Workspace;

// The main window: a maximised frame whose workspace holds the listing
// screens (Form1, Form2, Form7), with the menu tree of mainmenu.h. There is
// one at most; Screens::showMainWindow() makes and shows it.
//
// The title animation (titleanimation.h, the timers Timer1 ... Timer9) reads
// and writes the window's caption through caption() / setCaption().
//
// Leaving: the exit command asks first; the close box does not. Either way
// MDIForm_Unload sweeps the screens (hides and unloads each open one in a
// fixed order, so every record source writes back) and the window goes.
class MDIForm1 : public MainWindow {
    Q_OBJECT
public:
    MDIForm1();
    ~MDIForm1() override;

    // Unloads the main window: the sweep, then the window goes. False, and
    // the window stays, when a screen could not be unloaded (its write-back
    // failed; the message was shown).
    bool unload();

    // Menu commands that are not a plain "show a screen".
    void exitapp_Click();
    void exitwin_Click();

    // The answer code of the last exit question (0 before the first).
    int exitAnswer() const { return exitAnswer_; }

    // The caption the title animation builds: the window's own title, apart
    // from what a maximised child adds to the title bar.
    QString caption() const { return caption_; }
    void setCaption(const QString& caption);

    Workspace* workspace() const { return workspace_; }
    TitleAnimation* titleAnimation() const { return titleAnimation_; }
    const QList<QMenu*>& mainMenus() const { return mainMenus_; }

    // The order in which the sweep closes the screens.
    static const QList<ScreenId>& sweepOrder();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    // F4, which no menu item carries: the list of every listing, newest
    // first. The search screen and the edit view take their own F4 first
    // (their last find's list); on the list itself it does nothing.
    void keyPressEvent(QKeyEvent* event) override;

    // The listing screens inside the workspace.
    void addChild(Screen* screen) override;
    void showChild(Screen* screen) override;
    void removeChild(Screen* screen) override;

private:
    void runMenuItem(const MainMenuItem& item);
    bool MDIForm_Unload();

    // The active child from now on; its activation runs when it is another one.
    void makeCurrent(QMdiSubWindow* window);
    // Runs the activation of the child in `window` when it is another one.
    void activateChild(QMdiSubWindow* window);
    QMdiSubWindow* subWindowOf(const Screen* screen) const;
    Screen* currentChild() const;
    void childWindowActivated(QMdiSubWindow* window);
    // Shows the active child's own menus in the menu bar, or the main menu.
    void updateMenuBar();
    // While switched off, the window the desktop activated is not this one but
    // the open message box, or else the dialog screen that switched it off.
    void passActivationOn();

    Workspace* workspace_ = nullptr;
    TitleAnimation* titleAnimation_ = nullptr;
    QPointer<QMdiSubWindow> currentChildWindow_;
    QList<QMenu*> mainMenus_;
    QString caption_;
    int exitAnswer_ = 0;
    bool sweeping_ = false;
    bool unloaded_ = false;
};

// The main window when it is open, else null; and the main window, made and
// shown when needed.
MDIForm1* mainForm();
MDIForm1* showMainForm();

} // namespace velmoran
