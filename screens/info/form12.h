#pragma once

#include "ui/screen.h"

#include <QSet>

class QLabel;
class QTimer;

namespace velmoran {

// The screensaver: a landscape over the whole screen, and over it five
// copies of the maker's name falling down at their own speeds (back to the
// top at 600 pixels) and taking new colours every second. Any click, any
// movement of the mouse and any key released closes it; a key held down,
// which the desktop repeats, does not. It leaves the main
// window switched on and is not closed by the main window's sweep.
class Form12 : public Screen {
    Q_OBJECT
public:
    // The design height of the screen: a label reaching it goes back to 0.
    static constexpr int kWrapTop = 600;
    static constexpr int kFallStep = 10;
    // How long a key's release waits for an auto-repeated press of the key.
    static constexpr int kReleaseWaitMs = 60;

    Form12();

    // The tick of Timer<number>: 1 to 5 move their labels down, 7 recolours
    // the five labels (Timer1_Timer ... Timer5_Timer, Timer7_Timer).
    void Timer_Timer(int number);

protected:
    void Form_Unload() override;

    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* label(const char* name) const;

    QLabel* Image1 = nullptr;
    QList<QTimer*> timers_;
    // Keys pressed while the screen was open: only their release closes it,
    // not the release of the key that opened it.
    QSet<int> keysDown_;
    // A release waits this long for the press that follows it when the key
    // is held (the desktop's auto-repeat sends a release and a press each
    // time, not always both at once, and not always marked as repeats).
    QTimer* releaseWait_ = nullptr;
    int releasedKey_ = 0;
};

} // namespace velmoran
