#include "ui/screencommands.h"

#include <QAction>
#include <QHeaderView>
#include <QMenu>
#include <QTableView>

namespace velmoran {

QAction* addScreenCommand(QWidget* screen, QMenu* menu, const char* objectName, const char* caption,
                          const QKeySequence& key, std::function<void()> run) {
    QAction* action = menu->addAction(QString::fromUtf8(caption));
    action->setObjectName(QString::fromLatin1(objectName));
    action->setShortcut(key);
    action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    screen->addAction(action); // its key works while the screen has the focus
    QObject::connect(action, &QAction::triggered, screen, std::move(run));
    return action;
}

void setUpListTable(QTableView* table) {
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setTabKeyNavigation(false);
    table->setWordWrap(false);
    table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table->horizontalHeader()->setSectionsClickable(true);
    table->horizontalHeader()->setSortIndicatorShown(true);
}

} // namespace velmoran
