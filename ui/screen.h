#pragma once

#include "ui/screenid.h"

#include <QList>
#include <QPointer>
#include <QWidget>

class QMenu;

namespace velmoran {

class RecordSource;
class StoreError;
struct TableSpec;

// Shows a record source's failure (its Persian message) in a message box
// with the critical-stop icon.
void showStoreError(const StoreError& error);

// Base of every screen, Form1 ... Form13. A screen is made by the factory
// registered for its id (screens.h) and lives from its first showing until it
// is unloaded; there is never more than one of each.
//
// Life of a screen, all driven by Screens:
//  1. Made and loaded: the constructor builds the controls (texts, fonts,
//     positions); then Form_Load() runs, which opens the record sources
//     (openRecordSource) and binds the controls. A StoreError thrown by
//     Form_Load is shown to the user and the screen is not loaded.
//  2. Form_Activate() runs each time the screen becomes the active screen: a
//     window of its own when it is activated coming from another window of the
//     program, a child of the main window when it becomes the active child.
//     Coming back from a message box is no activation.
//  3. Unloaded (unload(), its close box, the main window's sweep):
//     Form_QueryUnload() is asked first, and false keeps the screen open as
//     it is (it told the user why); then every
//     record source opened with openRecordSource writes back its pending
//     change. When one can't, its Persian message is shown and the screen
//     stays open as it was, nothing lost. Otherwise Form_Unload() runs and
//     the screen is gone: hidden at once, deleted when control returns to the
//     event loop.
// A StoreError that escapes a handler is shown as a message box.
//
// A child of the main window with menus of its own (addMenuBarMenu) shows
// them in the main window's menu bar, in place of the main menu, while it is
// the active child.
class Screen : public QWidget {
    Q_OBJECT
public:
    explicit Screen(ScreenId id, QWidget* parent = nullptr);
    ~Screen() override;

    ScreenId id() const { return id_; }

    // Unloads this screen (see above); false when it stays open.
    bool unload();

    // The menus of this screen's own menu bar, in menu-bar order; empty when
    // it has none.
    const QList<QMenu*>& menuBarMenus() const { return menuBarMenus_; }

    // The record sources this screen writes back when it unloads.
    QList<RecordSource*> recordSources() const;

    // Shown filling the screen (Form9, Form12) rather than at its own size.
    bool showsMaximized() const { return showsMaximized_; }

protected:
    virtual void Form_Load() {}
    virtual bool Form_QueryUnload() { return true; }
    virtual void Form_Activate() {}
    virtual void Form_Unload() {}

    // Opens a record source on `tableSpec` in the data folder, owned by this
    // screen and written back when it unloads. Raises StoreError.
    RecordSource* openRecordSource(const TableSpec& tableSpec,
                                   const QString& objectName = QStringLiteral("Data1"));

    // Adds a menu to this screen's own menu bar; its actions are added by the
    // caller. The menu belongs to the screen.
    QMenu* addMenuBarMenu(const QString& objectName, const QString& caption);

    void setShowsMaximized(bool maximized) { showsMaximized_ = maximized; }

    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    friend class Screens;

    ScreenId id_;
    QList<QPointer<RecordSource>> recordSources_;
    QList<QMenu*> menuBarMenus_;
    bool showsMaximized_ = false;
    bool unloading_ = false;
};

} // namespace velmoran
