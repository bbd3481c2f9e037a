#pragma once

#include "app/mdiform1.h"
#include "platform/systemvalues.h"
#include "tests/gui/apptest.h"

#include <QLabel>
#include <QStringList>
#include <QTest>

#include <memory>

namespace velmoran::test {

// Base of the tests of the information screens and the password change: the
// program's screens on a fresh data folder (AppTest), the design fonts
// substituted as the program does, the program's random generator at its
// start, and fixed registration values.
class InfoScreenTest : public AppTest {
protected:
    void SetUp() override;
    void TearDown() override;

    SystemValues::Fixed& values() { return *values_; }

    // The main window, shown and active.
    MDIForm1* openMain();
    bool mainLocked() { return mainForm() && !mainForm()->isEnabled(); }

    // Shows the screen of `id` through its menu command and waits until it is
    // the active window.
    template <class T> T* openScreen(ScreenId id, const char* command) {
        MDIForm1* window = mainForm();
        EXPECT_TRUE(window);
        auto* action = window->findChild<QAction*>(QString::fromLatin1(command));
        EXPECT_TRUE(action) << command;
        if (action) {
            action->trigger();
        }
        T* screen = screens().find<T>(id);
        EXPECT_TRUE(screen) << command;
        if (screen) {
            EXPECT_TRUE(waitActive(screen));
        }
        return screen;
    }

    // Waits until `window` is the program's active window, its activation
    // handled.
    static bool waitActive(QWidget* window);

    // The colour a label's text is drawn in.
    static QColor textColour(const QLabel* label) {
        return label->palette().color(label->foregroundRole());
    }
    // The first `count` colours a fresh run of the program's generator gives:
    // three fractions each, red, green and blue.
    static QList<QColor> freshColours(int count);
    // True when some pixel of `widget` as drawn has `colour`.
    static bool drawsColour(QWidget* widget, const QColor& colour);

    template <class T> static T* child(QWidget* form, const char* name) {
        T* found = form->findChild<T*>(QString::fromLatin1(name));
        EXPECT_TRUE(found) << name;
        return found;
    }

    // A point of `form`'s own background: no control there.
    static QPoint backgroundPoint(QWidget* form);

    // The labels of `form` whose text is clipped by their place: empty when
    // every text is drawn whole.
    static QStringList clippedLabels(QWidget* form);

private:
    std::shared_ptr<SystemValues::Fixed> values_;
    std::shared_ptr<SystemValues::Backend> savedValues_;
    QStringList substituted_;
};

} // namespace velmoran::test
