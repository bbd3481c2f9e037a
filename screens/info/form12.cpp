#include "screens/info/form12.h"

#include "platform/random.h"
#include "platform/widgets/fonts.h"
#include "platform/widgets/textfit.h"
#include "screens/info/infoscreen.h"
#include "ui/artwork.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QTimer>

namespace velmoran {

namespace {

const QString kName = QStringLiteral("ولمو رانك");

// The five labels along the top edge, in pixels.
struct NameLabel {
    const char* name;
    int left;
};
const NameLabel kLabels[] = {
    {"Label3", 13}, {"Label2", 156}, {"Label1", 299}, {"Label6", 455}, {"Label5", 611},
};
constexpr int kLabelWidth = 126;
constexpr int kLabelHeight = 70;

// The timers: each moves its label down; Timer7 recolours all five. There is
// no Timer6.
struct Fall {
    int timer;
    int intervalMs;
    const char* label;
};
const Fall kFalls[] = {
    {1, 500, "Label2"}, {2, 240, "Label1"}, {3, 200, "Label3"},
    {4, 600, "Label6"}, {5, 400, "Label5"},
};
constexpr int kColourTimer = 7;
constexpr int kColourIntervalMs = 1000;
const char* const kColourOrder[] = {"Label3", "Label2", "Label1", "Label5", "Label6"};

// The picture's place, in pixels: it overhangs the top left corner and
// reaches past the right and bottom edges of the window.
constexpr int kPictureLeft = -24;
constexpr int kPictureTop = -24;
constexpr int kPictureWidth = 826;
constexpr int kPictureHeight = 662;

} // namespace

Form12::Form12() : Screen(ScreenId::Form12) {
    setWindowTitle(QStringLiteral("Form12"));
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setShowsMaximized(true);
    setFocusPolicy(Qt::StrongFocus);
    QPalette background = palette();
    background.setColor(QPalette::Window,
                        QApplication::palette("QMenu").color(QPalette::WindowText));
    setPalette(background);
    setAutoFillBackground(true);
    resize(800, 600);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(backgroundPicture());
    Image1->setScaledContents(true);
    Image1->setMouseTracking(true);
    Image1->setGeometry(kPictureLeft, kPictureTop, kPictureWidth, kPictureHeight);
    Image1->installEventFilter(this);

    const QColor start = palette().color(QPalette::HighlightedText);
    for (const NameLabel& place : kLabels) {
        auto* label = new QLabel(kName, this);
        label->setObjectName(QString::fromLatin1(place.name));
        label->setFont(designFont(QStringLiteral("Arial"), 27.75, true));
        label->setAlignment(Qt::AlignCenter);
        label->setWordWrap(true);
        // The picture beneath takes the mouse, also where a name covers it.
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
        setTextColour(label, start);
        label->setGeometry(place.left, 0, kLabelWidth, kLabelHeight);
        fitLabel(label);
    }

    for (const Fall& fall : kFalls) {
        auto* timer = new QTimer(this);
        timer->setObjectName(QStringLiteral("Timer%1").arg(fall.timer));
        timer->setInterval(fall.intervalMs);
        connect(timer, &QTimer::timeout, this, [this, fall] { Timer_Timer(fall.timer); });
        timers_ << timer;
    }
    auto* colours = new QTimer(this);
    colours->setObjectName(QStringLiteral("Timer%1").arg(kColourTimer));
    colours->setInterval(kColourIntervalMs);
    connect(colours, &QTimer::timeout, this, [this] { Timer_Timer(kColourTimer); });
    timers_ << colours;
    for (QTimer* timer : timers_) {
        timer->start();
    }

    releaseWait_ = new QTimer(this);
    releaseWait_->setObjectName(QStringLiteral("releaseWait"));
    releaseWait_->setSingleShot(true);
    releaseWait_->setInterval(kReleaseWaitMs);
    connect(releaseWait_, &QTimer::timeout, this, [this] { unload(); });
}

QLabel* Form12::label(const char* name) const {
    return findChild<QLabel*>(QString::fromLatin1(name), Qt::FindDirectChildrenOnly);
}

void Form12::Timer_Timer(int number) {
    if (number == kColourTimer) {
        for (const char* name : kColourOrder) {
            setTextColour(label(name), randomColour(programRandom()));
        }
        return;
    }
    for (const Fall& fall : kFalls) {
        if (fall.timer == number) {
            QLabel* falling = label(fall.label);
            falling->move(falling->x(), falling->y() + kFallStep);
            if (falling->y() == kWrapTop) {
                falling->move(falling->x(), 0);
            }
        }
    }
}

void Form12::Form_Unload() {
    releaseWait_->stop();
    for (QTimer* timer : timers_) {
        timer->stop();
    }
}

void Form12::resizeEvent(QResizeEvent* event) {
    Screen::resizeEvent(event);
    // Stretched over the whole window, however large the screen.
    Image1->resize(std::max(kPictureWidth, width() - kPictureLeft),
                   std::max(kPictureHeight, height() - kPictureTop));
}

void Form12::mousePressEvent(QMouseEvent*) {
    unload();
}

void Form12::mouseReleaseEvent(QMouseEvent*) {
    unload();
}

void Form12::mouseDoubleClickEvent(QMouseEvent*) {
    unload();
}

void Form12::keyPressEvent(QKeyEvent* event) {
    if (releaseWait_->isActive() && event->key() == releasedKey_) {
        releaseWait_->stop(); // held down: the release was the desktop's repeat
        return;
    }
    if (!event->isAutoRepeat()) {
        keysDown_.insert(event->key());
    }
}

void Form12::keyReleaseEvent(QKeyEvent* event) {
    if (!event->isAutoRepeat() && keysDown_.contains(event->key())) {
        releasedKey_ = event->key();
        releaseWait_->start();
    }
}

bool Form12::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Image1) {
        switch (event->type()) {
        case QEvent::MouseMove:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
            unload();
            return true;
        default:
            break;
        }
    }
    return Screen::eventFilter(watched, event);
}

} // namespace velmoran
