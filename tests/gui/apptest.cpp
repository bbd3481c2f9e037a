#include "tests/gui/apptest.h"

#include "app/mdiform1.h"
#include "app/storeguard.h"
#include "data/core/fields.h"
#include "data/sqlite/sqlitefile.h"
#include "data/store/recordsource.h"

#include <QApplication>
#include <QMenu>
#include <QTest>

namespace velmoran::test {

ProbeScreen::ProbeScreen(ScreenId id, Options options, std::vector<ScreenId>* unloadOrder)
    : Screen(id), options_(options), unloadOrder_(unloadOrder) {
    if (options_.menuBar) {
        QMenu* menu = addMenuBarMenu(QStringLiteral("probeMenu"), QStringLiteral("probe"));
        menu->addAction(QStringLiteral("item"));
    }
    resize(300, 200);
}

void ProbeScreen::Form_Load() {
    ++loads;
    if (options_.failLoad) {
        throw StoreError(QStringLiteral("probe can't open"));
    }
    if (options_.passwordSource) {
        source = openRecordSource(passwordTable());
    }
}

void ProbeScreen::Form_Unload() {
    ++unloads;
    unloadOrder_->push_back(id());
}

void AppTest::SetUp() {
    DataFolderTest::SetUp();
    ASSERT_EQ(prepareStoreFile(folder(), listingsTable()), QString());
    ASSERT_EQ(prepareStoreFile(folder(), passwordTable()), QString());
    exitWindows_ = std::make_shared<ExitWindows::Recorder>();
    ExitWindows::setBackend(exitWindows_);
    made_ = std::make_shared<std::map<ScreenId, int>>();
    screens().discardAll();
    registerScreens(screens());
}

void AppTest::TearDown() {
    screens().discardAll();
    // A start's check of the listings file reads no folder once it is gone.
    storeguard::stopChecks();
    settle();
    ExitWindows::setBackend(std::make_shared<ExitWindows::Recorder>());
    DataFolderTest::TearDown();
}

void AppTest::registerProbe(ScreenId id, ProbeScreen::Options options) {
    auto made = made_;
    auto* order = &unloadOrder;
    screens().registerScreen(id, [id, options, made, order] {
        ++(*made)[id];
        return new ProbeScreen(id, options, order);
    });
}

int AppTest::made(ScreenId id) const {
    const auto it = made_->find(id);
    return it == made_->end() ? 0 : it->second;
}

QString AppTest::passwordInTable() const {
    RecordSource source(folder(), passwordTable());
    return source.text(0);
}

void AppTest::setPasswordInTable(const QString& password) {
    RecordSource source(folder(), passwordTable());
    source.setText(0, password);
    source.writeBack();
}

void AppTest::settle() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

} // namespace velmoran::test
