#include "platform/random.h"
#include "screens/info/form12.h"
#include "screens/info/form5.h"
#include "tests/gui/form5_infotest.h"

#include <QTimer>
#include <QWindow>

using namespace velmoran;
using namespace velmoran::test;

namespace {

const QString kName = QStringLiteral("ولمو رانك");

// Each timer and the label it moves down.
struct Fall {
    int timer;
    int intervalMs;
    const char* label;
};
const Fall kFalls[] = {
    {1, 500, "Label2"}, {2, 240, "Label1"}, {3, 200, "Label3"},
    {4, 600, "Label6"}, {5, 400, "Label5"},
};

class ScreensaverTest : public InfoScreenTest {
protected:
    Form12* open() {
        if (!mainForm()) {
            openMain();
        }
        return openScreen<Form12>(ScreenId::Form12, "screensaver");
    }
    static QLabel* label(Form12* form, const char* name) { return child<QLabel>(form, name); }
    static QTimer* timer(Form12* form, int number) {
        return form->findChild<QTimer*>(QStringLiteral("Timer%1").arg(number));
    }
};

TEST_F(ScreensaverTest, FillsTheScreenWithThePictureAndFiveNamesAlongTheTop) {
    Form12* form = open();
    ASSERT_TRUE(form);
    EXPECT_TRUE(form->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_FALSE(mainLocked());
    QLabel* picture = label(form, "Image1");
    EXPECT_EQ(picture->pixmap().size(), QSize(826, 590));
    EXPECT_TRUE(picture->geometry().contains(form->rect()));
    EXPECT_EQ(picture->pos(), QPoint(-24, -24));

    const struct {
        const char* name;
        int left;
    } places[] = {
        {"Label3", 13}, {"Label2", 156}, {"Label1", 299}, {"Label6", 455}, {"Label5", 611}};
    for (const auto& place : places) {
        QLabel* name = label(form, place.name);
        EXPECT_EQ(name->text(), kName);
        EXPECT_EQ(name->pos(), QPoint(place.left, 0)) << place.name;
        EXPECT_EQ(name->width(), 126);
        EXPECT_EQ(textColour(name), form->palette().color(QPalette::HighlightedText));
        EXPECT_EQ(form->childAt(name->geometry().center()), picture); // the mouse goes through
    }
    EXPECT_EQ(clippedLabels(form), QStringList());
}

TEST_F(ScreensaverTest, SixTimersRunFromTheStartAndThereIsNoTimer6) {
    Form12* form = open();
    ASSERT_TRUE(form);
    for (const Fall& fall : kFalls) {
        ASSERT_TRUE(timer(form, fall.timer));
        EXPECT_EQ(timer(form, fall.timer)->interval(), fall.intervalMs);
        EXPECT_TRUE(timer(form, fall.timer)->isActive());
    }
    ASSERT_TRUE(timer(form, 7));
    EXPECT_EQ(timer(form, 7)->interval(), 1000);
    EXPECT_TRUE(timer(form, 7)->isActive());
    EXPECT_FALSE(timer(form, 6));
}

TEST_F(ScreensaverTest, EachTimerMovesItsOwnLabelTenPixelsAndAt600ItIsBackAt0OnTheSameTick) {
    Form12* form = open();
    ASSERT_TRUE(form);
    ASSERT_GT(form->height(), 600); // the jump is at 600, not at the window's bottom
    for (const Fall& fall : kFalls) {
        QLabel* falling = label(form, fall.label);
        const int left = falling->x();
        for (int tick = 1; tick < 60; ++tick) {
            form->Timer_Timer(fall.timer);
            ASSERT_EQ(falling->y(), tick * 10) << fall.label;
        }
        EXPECT_EQ(falling->y(), 590);
        form->Timer_Timer(fall.timer);
        EXPECT_EQ(falling->y(), 0) << fall.label;
        EXPECT_EQ(falling->x(), left);
        form->Timer_Timer(fall.timer);
        EXPECT_EQ(falling->y(), 10);
    }
    // Every label was moved by its own timer only: 61 ticks each.
    for (const Fall& fall : kFalls) {
        EXPECT_EQ(label(form, fall.label)->y(), 10) << fall.label;
    }
}

TEST_F(ScreensaverTest, EverySecondTheFiveLabelsTakeColoursInTheirOrderTheSameAtEveryStart) {
    QList<QColor> firstRun;
    for (int run = 0; run < 2; ++run) {
        restartProgramRandom();
        Form12* form = open();
        ASSERT_TRUE(form);
        QList<QColor> colours;
        for (int tick = 0; tick < 3; ++tick) {
            form->Timer_Timer(7);
            for (const char* name : {"Label3", "Label2", "Label1", "Label5", "Label6"}) {
                colours << textColour(label(form, name));
            }
        }
        if (run == 0) {
            firstRun = colours;
        } else {
            EXPECT_EQ(colours, firstRun);
        }
        form->unload();
        settle();
    }
    EXPECT_EQ(firstRun, freshColours(15));
}

TEST_F(ScreensaverTest, AboutScreenAndScreensaverDrawFromTheOneGenerator) {
    openMain();
    Form5* about = openScreen<Form5>(ScreenId::Form5, "aboutapp");
    ASSERT_TRUE(about);
    about->Timer1_Timer();
    about->close();
    Form12* form = open();
    ASSERT_TRUE(form);
    form->Timer_Timer(7);
    // The about screen took the first colour, Label3 the second.
    EXPECT_EQ(textColour(label(form, "Label3")), freshColours(2)[1]);
}

TEST_F(ScreensaverTest, TheSmallestMouseMovementOverThePictureClosesIt) {
    Form12* form = open();
    ASSERT_TRUE(form);
    // Through the window system, as the mouse would: a first position, then
    // one pixel further.
    QWindow* window = form->windowHandle();
    QTest::mouseMove(window, QPoint(400, 300));
    if (screens().isLoaded(ScreenId::Form12)) {
        QTest::mouseMove(window, QPoint(401, 300));
    }
    EXPECT_FALSE(screens().isLoaded(ScreenId::Form12));
}

TEST_F(ScreensaverTest, AClickOrAButtonPressAnywhereClosesIt) {
    for (const QPoint& at : {QPoint(5, 5), QPoint(300, 30) /* over a name */}) {
        Form12* form = open();
        ASSERT_TRUE(form);
        QTest::mousePress(form->childAt(at), Qt::LeftButton, {}, QPoint(1, 1));
        EXPECT_FALSE(screens().isLoaded(ScreenId::Form12));
        settle();
    }
    Form12* form = open();
    ASSERT_TRUE(form);
    QTest::mouseRelease(form, Qt::RightButton, {}, QPoint(3, 3));
    EXPECT_FALSE(screens().isLoaded(ScreenId::Form12));
}

TEST_F(ScreensaverTest, ReleasingAKeyClosesItPressingAloneDoesNot) {
    Form12* form = open();
    ASSERT_TRUE(form);
    QTest::keyPress(form, Qt::Key_A);
    QTest::qWait(3 * Form12::kReleaseWaitMs);
    EXPECT_TRUE(screens().isLoaded(ScreenId::Form12));
    QTest::keyRelease(form, Qt::Key_A);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !screens().isLoaded(ScreenId::Form12); }, 1000));
    settle();

    form = open();
    ASSERT_TRUE(form);
    QTest::keyClick(form, Qt::Key_Shift);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !screens().isLoaded(ScreenId::Form12); }, 1000));
}

TEST_F(ScreensaverTest, AKeyHeldDownDoesNotCloseItUntilItIsLetGo) {
    Form12* form = open();
    ASSERT_TRUE(form);
    const auto send = [&](QEvent::Type type, bool autoRepeat) {
        QKeyEvent event(type, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "), autoRepeat);
        QApplication::sendEvent(form, &event);
    };
    send(QEvent::KeyPress, false);
    // The desktop's auto-repeat: a release and a press each time, the
    // release not always marked as a repeat, its press a moment later.
    for (int repeat = 0; repeat < 6; ++repeat) {
        send(QEvent::KeyRelease, repeat % 2 == 1);
        QTest::qWait(Form12::kReleaseWaitMs / 4);
        send(QEvent::KeyPress, true);
        QTest::qWait(Form12::kReleaseWaitMs / 2);
        ASSERT_TRUE(screens().isLoaded(ScreenId::Form12)) << "repeat " << repeat;
    }
    QTest::qWait(2 * Form12::kReleaseWaitMs);
    EXPECT_TRUE(screens().isLoaded(ScreenId::Form12));
    send(QEvent::KeyRelease, false); // let go
    EXPECT_TRUE(QTest::qWaitFor([&] { return !screens().isLoaded(ScreenId::Form12); }, 1000));
}

TEST_F(ScreensaverTest, TheReleaseOfTheKeyThatOpenedItDoesNotCloseIt) {
    MDIForm1* window = openMain();
    QTest::keyPress(window, Qt::Key_F9); // the menu's shortcut opens it
    auto* form = screens().find<Form12>(ScreenId::Form12);
    ASSERT_TRUE(form);
    ASSERT_TRUE(waitActive(form));
    QTest::keyRelease(form, Qt::Key_F9);
    QTest::qWait(3 * Form12::kReleaseWaitMs);
    EXPECT_TRUE(screens().isLoaded(ScreenId::Form12));
    QTest::keyClick(form, Qt::Key_F9);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !screens().isLoaded(ScreenId::Form12); }, 1000));
}

TEST_F(ScreensaverTest, ReopenedItStartsFromTheTopAndTheSweepLeavesItOpen) {
    Form12* form = open();
    ASSERT_TRUE(form);
    for (int tick = 0; tick < 7; ++tick) {
        form->Timer_Timer(3);
    }
    ASSERT_EQ(label(form, "Label3")->y(), 70);
    form->unload();
    EXPECT_FALSE(timer(form, 3)->isActive());
    settle();
    form = open();
    ASSERT_TRUE(form);
    EXPECT_EQ(label(form, "Label3")->y(), 0);

    ASSERT_TRUE(mainForm()->close());
    EXPECT_EQ(screens().find(ScreenId::Form12), form);
    form->unload();
}

} // namespace
