#include "tests/support/testenv.h"

#include "data/datafolder.h"

#include <QDir>

namespace velmoran::test {

void DataFolderTest::SetUp() {
    hadXdg_ = qEnvironmentVariableIsSet("XDG_DATA_HOME");
    savedXdg_ = qgetenv("XDG_DATA_HOME");
    home_ = std::make_unique<QTemporaryDir>();
    ASSERT_TRUE(home_->isValid());
    qputenv("XDG_DATA_HOME", home_->path().toLocal8Bit());
    ASSERT_TRUE(ensureDataFolder(folder()));
    boxes_ = std::make_shared<MessageBox::Recorder>();
    MessageBox::setBackend(boxes_);
}

void DataFolderTest::TearDown() {
    MessageBox::setBackend(std::make_shared<MessageBox::Recorder>());
    if (hadXdg_) {
        qputenv("XDG_DATA_HOME", savedXdg_);
    } else {
        qunsetenv("XDG_DATA_HOME");
    }
    home_.reset();
}

QString DataFolderTest::folder() const {
    return dataFolder();
}

} // namespace velmoran::test
