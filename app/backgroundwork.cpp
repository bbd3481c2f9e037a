#include "app/backgroundwork.h"

#include <QEventLoop>
#include <QProgressDialog>
#include <QTimer>

#include <limits>
#include <thread>

namespace velmoran {

void runInBackground(const char* objectName, const QString& title, const QString& label,
                     const std::function<void(WorkProgress&)>& work) {
    WorkProgress progress;
    std::atomic<bool> finished{false};
    QProgressDialog dialog;
    dialog.setObjectName(QLatin1String(objectName));
    dialog.setWindowTitle(title);
    dialog.setLabelText(label);
    dialog.setCancelButton(nullptr);
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setWindowFlags(dialog.windowFlags() & ~Qt::WindowCloseButtonHint);
    dialog.setAutoClose(false);
    dialog.setAutoReset(false);
    dialog.setRange(0, 0);
    // Shown by the timer below only, never by the dialog's own reckoning.
    dialog.setMinimumDuration(std::numeric_limits<int>::max());

    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (finished) {
            loop.quit();
            return;
        }
        const qint64 total = progress.total;
        // Per mille, so that any size fits the dialog's int range.
        const int value = total > 0 ? static_cast<int>(progress.done * 1000 / total) : 0;
        dialog.setRange(0, total > 0 ? 1000 : 0);
        if (total > 0) {
            dialog.setValue(value);
        }
    });
    QTimer::singleShot(kProgressWindowDelay, &dialog, [&] {
        if (!finished) {
            dialog.show();
        }
    });
    std::thread worker([&] {
        work(progress);
        finished = true;
    });
    poll.start(30);
    loop.exec();
    worker.join();
    dialog.hide();
}

} // namespace velmoran
