#include "ui/screens.h"

#include "data/store/recordsource.h"
#include "platform/messagebox.h"
#include "ui/mainwindow.h"
#include "ui/screen.h"

#include <QGuiApplication>
#include <QScreen>

namespace velmoran {

namespace {

bool isChild(ScreenId id) {
    return screenInfo(id).placement == Placement::MdiChild;
}

void showFillingScreen(QWidget* window) {
    if (QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen()) {
        window->setGeometry(screen->availableGeometry());
    }
    window->showMaximized();
}

// Shown maximised; its restored place, which the desktop brings back when the
// user restores it, is a normal window in the middle of the work area, with
// room around it for the desktop's frame and title bar.
void showMaximizedWithin(QWidget* window) {
    if (QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        const QSize size(area.width() * 17 / 20, area.height() * 17 / 20);
        QRect place(QPoint(), size);
        place.moveCenter(area.center());
        window->resize(size);
        window->move(place.topLeft()); // the frame's corner
    }
    window->showMaximized();
}

} // namespace

void showStoreError(const StoreError& error) {
    MessageBox::show(error.message(), QStringLiteral("خطا در كار با اطلاعات"),
                     MessageBox::Icon::Critical, MessageBox::Buttons::Ok);
}

Screens& Screens::instance() {
    static Screens screens;
    return screens;
}

void Screens::registerScreen(ScreenId id, Factory factory) {
    factories_[id] = std::move(factory);
}

bool Screens::isRegistered(ScreenId id) const {
    return factories_.count(id) != 0;
}

Screen* Screens::find(ScreenId id) const {
    const auto it = open_.find(id);
    return it == open_.end() ? nullptr : it->second.data();
}

Screen* Screens::load(ScreenId id) {
    if (Screen* screen = find(id)) {
        return screen;
    }
    const auto factory = factories_.find(id);
    if (factory == factories_.end()) {
        return nullptr;
    }
    Screen* screen = factory->second();
    if (!screen) {
        return nullptr;
    }
    if (isChild(id)) {
        MainWindow* window = showMainWindow();
        if (!window) {
            delete screen;
            return nullptr;
        }
        open_[id] = screen;
        window->addChild(screen);
    } else {
        open_[id] = screen;
    }
    if (!runHandler(screen, &Screen::Form_Load)) {
        open_.erase(id);
        if (isChild(id) && mainWindow_) {
            mainWindow_->removeChild(screen);
        } else {
            screen->deleteLater();
        }
        return nullptr;
    }
    return screen;
}

Screen* Screens::show(ScreenId id) {
    Screen* screen = load(id);
    if (!screen) {
        return nullptr;
    }
    if (isChild(id)) {
        mainWindow_->showChild(screen);
        return screen;
    }
    if (screen->showsMaximized()) {
        showFillingScreen(screen);
    } else {
        screen->show();
    }
    screen->raise();
    screen->activateWindow();
    return screen;
}

bool Screens::unload(ScreenId id) {
    Screen* screen = find(id);
    return !screen || unloadScreen(screen);
}

bool Screens::unloadScreen(Screen* screen) {
    if (screen->unloading_) {
        return true;
    }
    if (!screen->Form_QueryUnload()) {
        return false;
    }
    for (RecordSource* source : screen->recordSources()) {
        try {
            source->writeBack();
        } catch (const StoreError& error) {
            showStoreError(error);
            if (error.kind() != StoreError::Kind::WritesStopped) {
                return false; // the typed row stays on the open screen
            }
            // A store that takes no more writes: what was typed can't be
            // stored by staying, and the message said so.
            source->CancelUpdate();
        }
    }
    screen->unloading_ = true;
    runHandler(screen, &Screen::Form_Unload);

    const auto it = open_.find(screen->id());
    if (it != open_.end() && it->second == screen) {
        open_.erase(it);
    }
    if (isChild(screen->id()) && mainWindow_) {
        mainWindow_->removeChild(screen);
    } else {
        screen->hide();
        screen->deleteLater();
    }
    endWhenNothingIsLeft();
    return true;
}

void Screens::registerMainWindow(std::function<MainWindow*()> factory) {
    mainWindowFactory_ = std::move(factory);
}

MainWindow* Screens::mainWindow() const {
    return mainWindow_;
}

void Screens::setMainWindowGate(std::function<bool()> gate) {
    mainWindowGate_ = std::move(gate);
}

MainWindow* Screens::showMainWindow() {
    if (!mainWindow_) {
        if (!mainWindowFactory_ || (mainWindowGate_ && !mainWindowGate_())) {
            return nullptr;
        }
        mainWindow_ = mainWindowFactory_();
    }
    if (!mainWindow_->isVisible()) {
        showMaximizedWithin(mainWindow_);
    }
    mainWindow_->raise();
    mainWindow_->activateWindow();
    return mainWindow_;
}

void Screens::discardAll() {
    for (auto& entry : open_) {
        if (Screen* screen = entry.second) {
            screen->unloading_ = true;
            if (mainWindow_ && isChild(screen->id())) {
                mainWindow_->removeChild(screen);
            }
            delete screen;
        }
    }
    open_.clear();
    delete mainWindow_.data();
    mainWindow_ = nullptr;
    activeWindow_ = nullptr;
    activeChild_ = nullptr;
    factories_.clear();
    mainWindowGate_ = nullptr;
    mainWindowFactory_ = nullptr;
}

bool Screens::runHandler(Screen* screen, void (Screen::*handler)()) {
    try {
        (screen->*handler)();
        return true;
    } catch (const StoreError& error) {
        showStoreError(error);
        return false;
    }
}

void Screens::windowActivated(QWidget* window) {
    if (window == activeWindow_ || activationsPaused_) {
        return;
    }
    activeWindow_ = window;
    auto* screen = qobject_cast<Screen*>(window);
    if (screen && find(screen->id()) == screen && !screen->unloading_) {
        runHandler(screen, &Screen::Form_Activate);
    }
}

bool Screens::childActivated(Screen* child) {
    if (child == activeChild_ || activationsPaused_ || find(child->id()) != child ||
        child->unloading_) {
        return false;
    }
    activeChild_ = child;
    runHandler(child, &Screen::Form_Activate);
    return true;
}

void Screens::mainWindowUnloaded(MainWindow* window) {
    if (mainWindow_ == window) {
        mainWindow_ = nullptr;
    }
    window->hide();
    window->deleteLater();
    endWhenNothingIsLeft();
}

bool Screens::anyLoaded() const {
    for (const auto& entry : open_) {
        if (entry.second) {
            return true;
        }
    }
    return false;
}

void Screens::endWhenNothingIsLeft() {
    if (!mainWindow_ && !anyLoaded()) {
        emit programEnded();
    }
}

} // namespace velmoran
