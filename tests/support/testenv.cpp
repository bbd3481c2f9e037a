#include "tests/support/testenv.h"

#include "data/folder/datafolder.h"
#include "data/store/storelocation.h"

#include <QDir>

namespace velmoran::test {

void DataFolderTest::SetUp() {
    hadXdg_ = qEnvironmentVariableIsSet("XDG_DATA_HOME");
    savedXdg_ = qgetenv("XDG_DATA_HOME");
    home_ = std::make_unique<QTemporaryDir>();
    ASSERT_TRUE(home_->isValid());
    qputenv("XDG_DATA_HOME", home_->path().toLocal8Bit());
    hadConfig_ = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
    savedConfig_ = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", (home_->path() + QStringLiteral("/config")).toLocal8Bit());
    clearActiveStore();
    ASSERT_TRUE(ensureDataFolder(folder()));
    boxes_ = std::make_shared<MessageBox::Recorder>();
    MessageBox::setBackend(boxes_);
}

void DataFolderTest::TearDown() {
    MessageBox::setBackend(std::make_shared<MessageBox::Recorder>());
    clearActiveStore();
    if (hadXdg_) {
        qputenv("XDG_DATA_HOME", savedXdg_);
    } else {
        qunsetenv("XDG_DATA_HOME");
    }
    if (hadConfig_) {
        qputenv("XDG_CONFIG_HOME", savedConfig_);
    } else {
        qunsetenv("XDG_CONFIG_HOME");
    }
    home_.reset();
}

QString shownPath(const QString& path) {
    return QDir::toNativeSeparators(path);
}

QString DataFolderTest::folder() const {
    return dataFolder();
}

} // namespace velmoran::test
