#pragma once

#include "app/mdiform1.h"
#include "app/screentable.h"
#include "platform/exitwindows.h"
#include "tests/support/testenv.h"
#include "ui/screen.h"
#include "ui/screens.h"

#include <QString>

#include <map>
#include <memory>
#include <vector>

class QMenu;

namespace velmoran::test {

// A screen for the framework's tests: counts its handlers, records the order
// in which screens unload, and may carry a menu bar or a record source.
class ProbeScreen : public Screen {
    Q_OBJECT
public:
    struct Options {
        bool menuBar = false;        // a menu "probeMenu" of its own
        bool passwordSource = false; // a record source on table `pc`
        bool failLoad = false;       // Form_Load raises a StoreError
    };

    ProbeScreen(ScreenId id, Options options, std::vector<ScreenId>* unloadOrder);

    int loads = 0;
    int activations = 0;
    int unloads = 0;
    RecordSource* source = nullptr;

protected:
    void Form_Load() override;
    void Form_Activate() override { ++activations; }
    void Form_Unload() override;

private:
    Options options_;
    std::vector<ScreenId>* unloadOrder_;
};

// Base of the tests of the login, the main window and the framework: a fresh
// data folder with both store files, the program's screens registered, the
// message boxes and the shut-down dialog recorded; every screen and the main
// window discarded afterwards.
class AppTest : public DataFolderTest {
protected:
    void SetUp() override;
    void TearDown() override;

    Screens& screens() { return Screens::instance(); }
    ExitWindows::Recorder& exitWindows() { return *exitWindows_; }

    // Registers a ProbeScreen for `id`; the factory counts the screens it makes.
    void registerProbe(ScreenId id, ProbeScreen::Options options = {});
    int made(ScreenId id) const;
    ProbeScreen* probe(ScreenId id) { return screens().find<ProbeScreen>(id); }

    // The stored password as a second record source on table `pc` reads it.
    QString passwordInTable() const;
    void setPasswordInTable(const QString& password);

    // Lets deferred deletions and posted events run.
    static void settle();

    std::vector<ScreenId> unloadOrder;

private:
    std::shared_ptr<ExitWindows::Recorder> exitWindows_;
    std::shared_ptr<std::map<ScreenId, int>> made_;
};

} // namespace velmoran::test
