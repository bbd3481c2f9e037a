#pragma once

#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

#include "platform/messagebox.h"

namespace velmoran::test {

// A path as the program's messages name it: with the system's own
// separators (backslashes on Windows).
QString shownPath(const QString& path);

// Base fixture: each test gets a fresh data folder (XDG_DATA_HOME points at a
// temporary directory, so the real one is never touched), no configuration
// file (XDG_CONFIG_HOME likewise), the data folder's files as the store, and
// a message-box recorder that answers from a queue.
class DataFolderTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The program's data folder inside the temporary XDG_DATA_HOME.
    QString folder() const;
    MessageBox::Recorder& boxes() { return *boxes_; }

private:
    std::unique_ptr<QTemporaryDir> home_;
    std::shared_ptr<MessageBox::Recorder> boxes_;
    QByteArray savedXdg_, savedConfig_;
    bool hadXdg_ = false, hadConfig_ = false;
};

} // namespace velmoran::test
