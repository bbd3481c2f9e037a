#include "ui/screen.h"

#include "data/folder/datafolder.h"
#include "data/store/recordsource.h"
#include "data/store/storelocation.h"
#include "platform/widgets/windowcaption.h"
#include "ui/screens.h"

#include <QCloseEvent>
#include <QMenu>

namespace velmoran {

Screen::Screen(ScreenId id, QWidget* parent) : QWidget(parent), id_(id) {
    setObjectName(QString::fromLatin1(screenInfo(id).name));
    setLayoutDirection(Qt::RightToLeft);
    showEmptyCaptionEmpty(this);
}

Screen::~Screen() = default;

bool Screen::unload() {
    return Screens::instance().unloadScreen(this);
}

QList<RecordSource*> Screen::recordSources() const {
    QList<RecordSource*> sources;
    for (const QPointer<RecordSource>& source : recordSources_) {
        if (source) {
            sources << source;
        }
    }
    return sources;
}

RecordSource* Screen::openRecordSource(const TableSpec& tableSpec, const QString& objectName) {
    auto* source = new RecordSource(activeStore(), tableSpec, this);
    source->setObjectName(objectName);
    recordSources_ << source;
    return source;
}

QMenu* Screen::addMenuBarMenu(const QString& objectName, const QString& caption) {
    auto* menu = new QMenu(caption, this);
    menu->setObjectName(objectName);
    menuBarMenus_ << menu;
    return menu;
}

void Screen::closeEvent(QCloseEvent* event) {
    if (unloading_ || Screens::instance().unloadScreen(this)) {
        event->accept();
    } else {
        event->ignore();
    }
}

void Screen::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isWindow() && isActiveWindow()) {
        Screens::instance().windowActivated(this);
    }
}

} // namespace velmoran
