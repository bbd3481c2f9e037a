#include "app/titleanimation.h"

#include "app/mdiform1.h"

#include <QTimer>

namespace velmoran {

TitleAnimation::TitleAnimation(MDIForm1* window) : QObject(window), window_(window) {
    for (int number = 1; number <= kTimers; ++number) {
        auto* timer = new QTimer(window);
        timer->setObjectName(QStringLiteral("Timer%1").arg(number));
        timer->setInterval(kIntervalMs);
        connect(timer, &QTimer::timeout, this, [this, number] { Timer_Timer(number); });
        timers_[number - 1] = timer;
    }
    setTimerEnabled(1, true);
}

const std::array<QString, TitleAnimation::kTimers - 1>& TitleAnimation::pieces() {
    static const std::array<QString, kTimers - 1> table = {
        QStringLiteral(" به "),   QStringLiteral(" نرم افزار "), QStringLiteral(" كنترل "),
        QStringLiteral(" فايل "), QStringLiteral(" ولمو "),      QStringLiteral(" رانك "),
        QStringLiteral(" خوش "),  QStringLiteral(" آمديد"),
    };
    return table;
}

QTimer* TitleAnimation::timer(int number) const {
    return number >= 1 && number <= kTimers ? timers_[number - 1] : nullptr;
}

void TitleAnimation::setTimerEnabled(int number, bool enabled) {
    QTimer* t = timer(number);
    if (enabled && !t->isActive()) {
        t->start();
    } else if (!enabled) {
        t->stop();
    }
}

void TitleAnimation::Timer_Timer(int number) {
    if (number < 1 || number > kTimers) {
        return;
    }
    if (number < kTimers) {
        window_->setCaption(window_->caption() + pieces()[number - 1]);
        setTimerEnabled(number, false);
        setTimerEnabled(number + 1, true);
    } else {
        window_->setCaption(QString());
        setTimerEnabled(1, true);
        setTimerEnabled(kTimers, false);
    }
}

} // namespace velmoran
