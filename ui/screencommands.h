#pragma once

#include <QKeySequence>

#include <functional>
#include <vector>

class QAction;
class QMenu;
class QTableView;
class QWidget;

namespace velmoran {

// One command of a screen's own menu: an action of `menu` named `objectName`,
// whose key works while the focus is in `screen`, calling `run`.
QAction* addScreenCommand(QWidget* screen, QMenu* menu, const char* objectName, const char* caption,
                          const QKeySequence& key, std::function<void()> run);

// The commands of a table of rows {objectName, caption, key, member to run},
// in order.
template <class Screen, class Command>
void addScreenCommands(Screen* screen, QMenu* menu, const std::vector<Command>& commands) {
    for (const Command& command : commands) {
        const auto run = command.run;
        addScreenCommand(screen, menu, command.objectName, command.caption, command.key,
                         [screen, run] { (screen->*run)(); });
    }
}

// A table of rows as the lists show them: whole rows chosen one at a time,
// nothing edited in place, Tab leaving the table, headings that sort.
void setUpListTable(QTableView* table);

} // namespace velmoran
