#include "platform/terminationsignals.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>

#include <windows.h>

// Windows ends a session by telling each top-level window WM_ENDSESSION and
// ends the process once the window has answered: the request is passed on
// while the message is handled, so the main window is unloaded, every record
// source writing back, before Windows goes on.
namespace velmoran {

namespace {

class SessionEndFilter : public QAbstractNativeEventFilter {
public:
    explicit SessionEndFilter(TerminationSignals* owner) : owner_(owner) {}
    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
        if (type != "windows_generic_MSG" || done_) {
            return false;
        }
        const MSG* msg = static_cast<const MSG*>(message);
        if (msg->message == WM_ENDSESSION && msg->wParam) {
            done_ = true;
            emit owner_->terminationRequested(0);
        }
        return false;
    }

private:
    TerminationSignals* owner_;
    bool done_ = false;
};

SessionEndFilter* g_filter = nullptr;

} // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent) {
    if (QCoreApplication::instance() && !g_filter) {
        g_filter = new SessionEndFilter(this);
        QCoreApplication::instance()->installNativeEventFilter(g_filter);
    }
}

TerminationSignals::~TerminationSignals() {
    if (g_filter && QCoreApplication::instance()) {
        QCoreApplication::instance()->removeNativeEventFilter(g_filter);
    }
    delete g_filter;
    g_filter = nullptr;
}

void TerminationSignals::readSignal() {}

} // namespace velmoran
