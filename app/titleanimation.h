#pragma once

#include <QObject>
#include <QString>

#include <array>

class QTimer;

namespace velmoran {

class MDIForm1;

// The main window's title: built up word by word into the welcome line,
// held complete for one step, emptied, and built up again for as long as the
// window exists. Nine timers of the window, Timer1 ... Timer9, 900 ms each,
// drive it; exactly one of them is enabled at any moment, and which one is
// the whole state. Timer K (1 to 8) appends piece K to the caption, Timer 9
// empties it. Being timers, they keep running while the window is switched
// off by the Main-window lock.
class TitleAnimation : public QObject {
    Q_OBJECT
public:
    static constexpr int kTimers = 9;
    static constexpr int kIntervalMs = 900;

    // Makes the timers on `window`, Timer1 enabled, the others not.
    explicit TitleAnimation(MDIForm1* window);

    // The tick of Timer<number>, 1 to 9 (Timer1_Timer ... Timer9_Timer).
    void Timer_Timer(int number);

    // Timer<number>, 1 to 9.
    QTimer* timer(int number) const;

    // The pieces Timer1 ... Timer8 append, each with its blanks.
    static const std::array<QString, kTimers - 1>& pieces();

private:
    void setTimerEnabled(int number, bool enabled);

    MDIForm1* window_;
    std::array<QTimer*, kTimers> timers_{};
};

} // namespace velmoran
