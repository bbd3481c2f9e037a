#pragma once

#include <QString>

#include <atomic>
#include <functional>

namespace velmoran {

// How far a piece of background work has come; `total` 0 while it can't
// tell (the progress window then shows it busy).
struct WorkProgress {
    std::atomic<qint64> done{0};
    std::atomic<qint64> total{0};
};

// Runs `work` on a thread of its own while the program keeps answering. When
// it takes more than half a second a small application-modal progress window
// (object name `objectName`, without buttons) shows `label` until it is
// done. Returns when the work has ended.
void runInBackground(const char* objectName, const QString& title, const QString& label,
                     const std::function<void(WorkProgress&)>& work);

// How long work runs before its progress window shows.
constexpr int kProgressWindowDelay = 500;

} // namespace velmoran
