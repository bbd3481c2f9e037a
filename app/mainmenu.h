#pragma once

#include "ui/screenid.h"

#include <QList>

#include <functional>

class QMenu;
class QWidget;

namespace velmoran {

// The main window's menu tree, one row per menu item in menu-bar order: a
// top-level menu, then its items. Captions keep the blanks that pad them.
struct MainMenuItem {
    enum class Level { Top, Item, Separator };
    enum class Command { OpenMenu, None, Show, ExitApp, ExitWin, Run };

    const char* name; // the item's objectName
    Level level;
    const char* caption;
    int shortcut; // a Qt::Key with its modifiers, 0 for none
    Command command;
    ScreenId screen;         // the screen a Show command shows
    void (*run)() = nullptr; // what a Run command runs
};

const QList<MainMenuItem>& mainMenuItems();

// Builds the menus of the tree, owned by `owner`; choosing an item calls
// `run` with its row.
QList<QMenu*> buildMainMenu(QWidget* owner, const std::function<void(const MainMenuItem&)>& run);

} // namespace velmoran
