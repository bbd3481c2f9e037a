#include "app/form10.h"
#include "app/mdiform1.h"
#include "app/titleanimation.h"
#include "tests/gui/apptest.h"

#include <QTest>
#include <QWindow>

#include <QTimer>
#include <algorithm>

using namespace velmoran;
using namespace velmoran::test;

namespace {

const QString kPieces[] = {
    QStringLiteral(" به "),   QStringLiteral(" نرم افزار "), QStringLiteral(" كنترل "),
    QStringLiteral(" فايل "), QStringLiteral(" ولمو "),      QStringLiteral(" رانك "),
    QStringLiteral(" خوش "),  QStringLiteral(" آمديد"),
};

class TitleTest : public AppTest {
protected:
    MDIForm1* openMain() {
        MDIForm1* window = showMainForm();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window));
        return window;
    }
    static QTimer* timer(MDIForm1* window, int number) {
        return window->findChild<QTimer*>(QStringLiteral("Timer%1").arg(number),
                                          Qt::FindDirectChildrenOnly);
    }
    // The numbers of the enabled timers among Timer1 ... Timer9.
    static QList<int> enabled(MDIForm1* window) {
        QList<int> numbers;
        for (int number = 1; number <= 9; ++number) {
            if (timer(window, number)->isActive()) {
                numbers << number;
            }
        }
        return numbers;
    }
    // The caption after pieces 1 ... `count`.
    static QString pieces(int count) {
        QString caption;
        for (int i = 0; i < count; ++i) {
            caption += kPieces[i];
        }
        return caption;
    }
};

TEST_F(TitleTest, NineTimersOf900MsOnlyTimer1EnabledAndAnEmptyCaptionAtFirst) {
    MDIForm1* window = openMain();
    for (int number = 1; number <= 9; ++number) {
        QTimer* t = timer(window, number);
        ASSERT_TRUE(t) << number;
        EXPECT_EQ(t->interval(), 900);
        EXPECT_FALSE(t->isSingleShot());
    }
    EXPECT_EQ(enabled(window), QList<int>{1});
    EXPECT_EQ(window->caption(), QString());
}

TEST_F(TitleTest, TwoCyclesBuildTheLineWordByWordClearItAndStartAgainOneTimerAtATime) {
    MDIForm1* window = openMain();
    TitleAnimation* animation = window->titleAnimation();
    ASSERT_TRUE(animation);
    for (int step = 0; step < 18; ++step) {
        const int number = step % 9 + 1;
        ASSERT_EQ(enabled(window), QList<int>{number}) << "step " << step;
        // The caption while in this state: the pieces before it.
        EXPECT_EQ(window->caption(), pieces(number - 1)) << "step " << step;
        animation->Timer_Timer(number);
    }
    EXPECT_EQ(enabled(window), QList<int>{1});
    EXPECT_EQ(window->caption(), QString());
}

TEST_F(TitleTest, TheCompleteLineHasDoubleBlanksBetweenWordsOneLeadingBlankAndNoTrailingOne) {
    MDIForm1* window = openMain();
    for (int number = 1; number <= 8; ++number) {
        window->titleAnimation()->Timer_Timer(number);
    }
    const QString line = window->caption();
    EXPECT_EQ(line, pieces(8));
    EXPECT_EQ(window->windowTitle(), line);
    EXPECT_TRUE(line.startsWith(QLatin1Char(' ')));
    EXPECT_FALSE(line.startsWith(QStringLiteral("  ")));
    EXPECT_FALSE(line.endsWith(QLatin1Char(' ')));
    EXPECT_EQ(line.split(QStringLiteral("  ")).size(), 8);
    // The first tick after 900 ms shows the single word with its two blanks.
    window->titleAnimation()->Timer_Timer(9);
    window->titleAnimation()->Timer_Timer(1);
    EXPECT_EQ(window->caption(), kPieces[0]);
}

TEST_F(TitleTest, AnEmptyCaptionShowsAnEmptyTitleBarNotTheProgramsName) {
    MDIForm1* window = openMain();
    // What the desktop is given for the title: nothing it would draw, so it
    // does not put the program's name there; the caption stays empty.
    const auto showsNothing = [](QWidget* w) {
        const QString shown = w->windowHandle()->title();
        return !shown.isEmpty() && std::all_of(shown.begin(), shown.end(), [](QChar c) {
            return c.category() == QChar::Other_Format;
        });
    };
    EXPECT_TRUE(showsNothing(window));
    EXPECT_EQ(window->caption(), QString());
    EXPECT_EQ(window->windowTitle(), QString());
    for (int number = 1; number <= 9; ++number) {
        window->titleAnimation()->Timer_Timer(number);
        if (number < 9) {
            EXPECT_EQ(window->windowHandle()->title(), window->caption());
        }
    }
    EXPECT_TRUE(showsNothing(window)) << "after the clearing step";
    EXPECT_EQ(window->caption(), QString());

    // The commercial panel's caption is empty too.
    registerScreens(screens());
    QWidget* panel = screens().show(ScreenId::Form4);
    ASSERT_TRUE(panel);
    EXPECT_TRUE(showsNothing(panel));
    EXPECT_EQ(panel->windowTitle(), QString());
}

TEST_F(TitleTest, KeepsChangingWhileThePasswordChangeKeepsTheMainWindowOff) {
    MDIForm1* window = openMain();
    auto* dialog = qobject_cast<Form10*>(screens().show(ScreenId::Form10));
    ASSERT_TRUE(dialog);
    ASSERT_FALSE(window->isEnabled());
    // The timers themselves run on: the first step comes by itself.
    EXPECT_TRUE(timer(window, 1)->isActive());
    EXPECT_TRUE(QTest::qWaitFor([window] { return window->caption() == kPieces[0]; }, 5000));
    EXPECT_EQ(enabled(window), QList<int>{2});
    EXPECT_FALSE(window->isEnabled());
}

} // namespace
