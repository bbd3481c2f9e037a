#include "platform/widgets/busywait.h"

#include <QCoreApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QThread>
#include <QTimer>

namespace velmoran {

namespace {

// How long after the last moment of a wait the cursor comes back.
constexpr int kCursorBackMs = 100;

struct BusyCursor {
    bool shown = false;
    QElapsedTimer sinceLast;
    QTimer* back = nullptr;

    void restoreWhenOver() {
        if (sinceLast.elapsed() < kCursorBackMs) {
            back->start(kCursorBackMs);
            return;
        }
        shown = false;
        QGuiApplication::restoreOverrideCursor();
    }
};

BusyCursor& busyCursor() {
    static BusyCursor cursor;
    if (!cursor.back) {
        cursor.back = new QTimer(QCoreApplication::instance());
        cursor.back->setSingleShot(true);
        QObject::connect(cursor.back, &QTimer::timeout, [] { busyCursor().restoreWhenOver(); });
    }
    return cursor;
}

} // namespace

void showBusyWait() {
    // A wait on a worker's own connection (a count, a check) just waits:
    // only the program's thread paints the windows.
    const QCoreApplication* application = QCoreApplication::instance();
    if (!application || QThread::currentThread() != application->thread()) {
        return;
    }
    BusyCursor& cursor = busyCursor();
    cursor.sinceLast.start();
    if (!cursor.shown) {
        cursor.shown = true;
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        cursor.back->start(kCursorBackMs);
    }
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

} // namespace velmoran
