#include "app/mdiform1.h"

#include "screens/sheetimport/sheetimport.h"

#include "app/titleanimation.h"
#include "app/workspace.h"
#include "platform/exitwindows.h"
#include "platform/messagebox.h"
#include "platform/twips.h"
#include "platform/widgets/windowcaption.h"
#include "screens/list/matchlist.h"
#include "ui/artwork.h"
#include "ui/screen.h"
#include "ui/screens.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QStyle>
#include <QTimer>

namespace velmoran {

namespace {

// The main window's design client area in twips, which the listing screens
// are drawn to fit.
constexpr int kDesignWidth = 11880;
constexpr int kDesignHeight = 8190;

QString exitQuestion() {
    return QStringLiteral("آيا مايل به خروج از برنامه مي باشيد ؟");
}
QString exitTitle() {
    return QStringLiteral("خروج از برنامه . . . ! ! !");
}

Screen* screenOf(QMdiSubWindow* window) {
    return window ? qobject_cast<Screen*>(window->widget()) : nullptr;
}

// Restoring, maximising or minimising a listing screen leaves the cursor in
// the box it was in: the child window would hand the focus on to the next
// control of the chain. The box is remembered whenever the focus moves
// inside the screen and given the focus back after each change of state.
// The focus the screen's activation gives (the entry screen's owner box) is
// remembered too, even while a change of state is under way: showing a
// screen over a maximised one changes its state several times around its
// activation, and the box of before would take the cursor away again.
class FocusKeeper : public QObject {
public:
    FocusKeeper(QMdiSubWindow* window, Screen* screen)
        : QObject(window), window_(window), screen_(screen) {
        connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
            if (!changing_) {
                remember(now);
            }
        });
        window->installEventFilter(this);
    }

    // The screen's activation ran: where it left the cursor is the box.
    void activated() { remember(QApplication::focusWidget()); }

    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::WindowStateChange && last_) {
            changing_ = true;
            QTimer::singleShot(0, this, [this] {
                changing_ = false;
                if (last_ && last_->isVisible() && last_->isEnabled() && !window_->isMinimized() &&
                    window_->mdiArea() && window_->mdiArea()->activeSubWindow() == window_) {
                    last_->setFocus(Qt::OtherFocusReason);
                }
            });
        }
        return false;
    }

private:
    void remember(QWidget* now) {
        if (now && screen_ && screen_->isAncestorOf(now)) {
            last_ = now;
        }
    }

    QMdiSubWindow* window_;
    QPointer<Screen> screen_;
    QPointer<QWidget> last_;
    bool changing_ = false;
};

void keepFocusThroughStateChanges(QMdiSubWindow* window, Screen* screen) {
    new FocusKeeper(window, screen);
}

void focusGivenOnActivation(QMdiSubWindow* window) {
    for (QObject* child : window->children()) {
        if (auto* keeper = dynamic_cast<FocusKeeper*>(child)) {
            keeper->activated();
        }
    }
}

} // namespace

MDIForm1::MDIForm1() {
    setObjectName(QStringLiteral("MDIForm1"));
    setWindowIcon(applicationIcon());
    showEmptyCaptionEmpty(this);
    setCaption(QString());

    workspace_ = new Workspace(this);
    setCentralWidget(workspace_);
    connect(workspace_, &QMdiArea::subWindowActivated, this, &MDIForm1::childWindowActivated);

    menuBar()->setObjectName(QStringLiteral("MenuBar"));
    mainMenus_ = buildMainMenu(this, [this](const MainMenuItem& item) { runMenuItem(item); });
    updateMenuBar();

    titleAnimation_ = new TitleAnimation(this);

    // Adding listings from a spreadsheet: a key of the window, in no menu.
    auto* sheetImport = new QAction(this);
    sheetImport->setObjectName(QStringLiteral("SheetImportAction"));
    sheetImport->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_I));
    sheetImport->setShortcutContext(Qt::WindowShortcut);
    connect(sheetImport, &QAction::triggered, this, [this] {
        if (isEnabled()) {
            showSheetImport(this);
        }
    });
    addAction(sheetImport);
}

MDIForm1::~MDIForm1() = default;

const QList<ScreenId>& MDIForm1::sweepOrder() {
    static const QList<ScreenId> order = {
        ScreenId::Form1,
        ScreenId::Form2,
        ScreenId::Form4,
        ScreenId::Form5,
        ScreenId::Form6,
        ScreenId::Form7,
        ScreenId::Form8,
        ScreenId::Form9,
        ScreenId::Form10,
        ScreenId::Form13,
        ScreenId::ApplicantForm,
        // The lists hold nothing to write; they go with the window.
        ScreenId::ApplicantList,
        ScreenId::MatchList,
    };
    return order;
}

void MDIForm1::setCaption(const QString& caption) {
    caption_ = caption;
    setWindowTitle(caption);
}

void MDIForm1::runMenuItem(const MainMenuItem& item) {
    if (!isEnabled()) {
        return; // the Main-window lock
    }
    switch (item.command) {
    case MainMenuItem::Command::Show:
        Screens::instance().show(item.screen);
        break;
    case MainMenuItem::Command::ExitApp:
        exitapp_Click();
        break;
    case MainMenuItem::Command::ExitWin:
        exitwin_Click();
        break;
    case MainMenuItem::Command::Run:
        if (item.run) {
            item.run();
        }
        break;
    case MainMenuItem::Command::OpenMenu:
    case MainMenuItem::Command::None:
        break;
    }
}

void MDIForm1::exitapp_Click() {
    exitAnswer_ = MessageBox::show(exitQuestion(), exitTitle(), MessageBox::Icon::None,
                                   MessageBox::Buttons::YesNo);
    if (exitAnswer_ == MessageBox::vbYes) {
        unload();
    }
}

void MDIForm1::exitwin_Click() {
    ExitWindows::show();
}

bool MDIForm1::unload() {
    if (unloaded_) {
        return true;
    }
    if (!MDIForm_Unload()) {
        return false;
    }
    unloaded_ = true;
    unloaded();
    return true;
}

bool MDIForm1::MDIForm_Unload() {
    Screens& screens = Screens::instance();
    sweeping_ = true;
    pauseActivations(true);
    bool unloadedAll = true;
    for (ScreenId id : sweepOrder()) {
        Screen* screen = screens.find(id);
        if (!screen) {
            continue;
        }
        QMdiSubWindow* child = subWindowOf(screen);
        QWidget* window = child ? static_cast<QWidget*>(child) : screen;
        const bool wasVisible = window->isVisible();
        window->hide();
        if (!screens.unload(id)) {
            if (wasVisible) {
                window->show();
            }
            unloadedAll = false;
            break;
        }
    }
    pauseActivations(false);
    sweeping_ = false;
    updateMenuBar();
    return unloadedAll;
}

void MDIForm1::closeEvent(QCloseEvent* event) {
    if (unloaded_ || (isEnabled() && unload())) {
        event->accept();
    } else {
        event->ignore();
    }
}

void MDIForm1::changeEvent(QEvent* event) {
    MainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        if (!isEnabled()) {
            // A click on the switched-off window must not take the keys away
            // from the dialog that switched it off.
            QTimer::singleShot(0, this, &MDIForm1::passActivationOn);
            return;
        }
        windowActivated();
    }
}

void MDIForm1::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F4 && event->modifiers() == Qt::NoModifier && isEnabled()) {
        Screen* child = currentChild();
        if (!child || child->id() != ScreenId::MatchList) {
            showMatchList(MatchList::Origin::Main);
        }
        event->accept();
        return;
    }
    MainWindow::keyPressEvent(event);
}

void MDIForm1::passActivationOn() {
    if (isEnabled() || !isActiveWindow()) {
        return;
    }
    QWidget* target = QApplication::activeModalWidget();
    // The screens that switch the main window off while they are open.
    static const ScreenId lockScreens[] = {ScreenId::Form10, ScreenId::Form5, ScreenId::Form6,
                                           ScreenId::Form11};
    for (ScreenId id : lockScreens) {
        if (target) {
            break;
        }
        Screen* screen = Screens::instance().find(id);
        if (screen && screen->isWindow() && (screen->isVisible() || screen->isMinimized())) {
            target = screen;
        }
    }
    if (target) {
        // A desktop may have let the user minimise it all the same.
        if (target->isMinimized()) {
            target->showNormal();
        }
        target->raise();
        target->activateWindow();
    }
}

void MDIForm1::addChild(Screen* screen) {
    auto* window = new QMdiSubWindow;
    window->setObjectName(screen->objectName() + QStringLiteral("Window"));
    window->setWindowIcon(windowIcon());
    window->setWidget(screen);
    // Its normal size, which the restore button brings back: the main
    // window's client area the listing screens were drawn for.
    QStyle* style = window->style();
    const int frame = style->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, window);
    const int title = style->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, window);
    window->resize(twipsToPixels(kDesignWidth, window->logicalDpiX()) + 2 * frame,
                   twipsToPixels(kDesignHeight, window->logicalDpiY()) + title + frame);
    workspace_->addSubWindow(window);
    window->hide();
    keepFocusThroughStateChanges(window, screen);
}

void MDIForm1::showChild(Screen* screen) {
    QMdiSubWindow* window = subWindowOf(screen);
    if (!window) {
        return;
    }
    window->showMaximized();
    makeCurrent(window);
    updateMenuBar();
    raise();
    activateWindow();
}

void MDIForm1::removeChild(Screen* screen) {
    QMdiSubWindow* window = subWindowOf(screen);
    if (!window) {
        return;
    }
    window->hide();
    workspace_->removeSubWindow(window);
    window->deleteLater();
    if (currentChildWindow_ == window) {
        currentChildWindow_ = nullptr;
    }
    if (!sweeping_) {
        // The most recently active of the other children takes over.
        const QList<QMdiSubWindow*> others =
            workspace_->subWindowList(QMdiArea::ActivationHistoryOrder);
        for (auto it = others.rbegin(); it != others.rend(); ++it) {
            if ((*it)->isVisible() && screenOf(*it)) {
                makeCurrent(*it);
                break;
            }
        }
    }
    updateMenuBar();
}

void MDIForm1::makeCurrent(QMdiSubWindow* window) {
    // A listing screen always fills the workspace; one left behind when the
    // screen above it closes was put back to its small normal size.
    if (window && !window->isMaximized()) {
        window->showMaximized();
    }
    workspace_->setActiveSubWindow(window);
    currentChildWindow_ = window;
    activateChild(window);
}

void MDIForm1::activateChild(QMdiSubWindow* window) {
    Screen* screen = screenOf(window);
    if (screen && childActivated(screen)) {
        focusGivenOnActivation(window);
    }
}

QMdiSubWindow* MDIForm1::subWindowOf(const Screen* screen) const {
    return screen ? qobject_cast<QMdiSubWindow*>(screen->parentWidget()) : nullptr;
}

Screen* MDIForm1::currentChild() const {
    if (!currentChildWindow_ || !currentChildWindow_->isVisible()) {
        return nullptr;
    }
    Screen* screen = screenOf(currentChildWindow_);
    return screen && Screens::instance().find(screen->id()) == screen ? screen : nullptr;
}

void MDIForm1::childWindowActivated(QMdiSubWindow* window) {
    // A null window only means the main window lost the focus: the current
    // child stays what it was.
    if (!window || sweeping_) {
        return;
    }
    currentChildWindow_ = window;
    activateChild(window);
    updateMenuBar();
}

void MDIForm1::updateMenuBar() {
    Screen* child = currentChild();
    const QList<QMenu*>& menus =
        child && !child->menuBarMenus().isEmpty() ? child->menuBarMenus() : mainMenus_;
    QList<QAction*> wanted;
    for (QMenu* menu : menus) {
        wanted << menu->menuAction();
    }
    if (menuBar()->actions() == wanted) {
        return;
    }
    menuBar()->clear();
    for (QMenu* menu : menus) {
        menuBar()->addMenu(menu);
    }
}

MDIForm1* mainForm() {
    return qobject_cast<MDIForm1*>(Screens::instance().mainWindow());
}

MDIForm1* showMainForm() {
    return qobject_cast<MDIForm1*>(Screens::instance().showMainWindow());
}

} // namespace velmoran
