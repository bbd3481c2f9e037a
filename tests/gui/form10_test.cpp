#include "app/form10.h"
#include "app/form9.h"
#include "data/core/fields.h"
#include "data/sqlite/sqlite.h"
#include "data/store/recordsource.h"
#include "platform/twips.h"
#include "tests/gui/form5_infotest.h"

#include <QLineEdit>
#include <QPushButton>

#include <sqlite3.h>

using namespace velmoran;
using namespace velmoran::test;

namespace {

const QString kTitle = QStringLiteral("تغيير رمز عبور");
const QString kOldPrompt = QStringLiteral("رمز عبوري قديمي را وارد كنيد؟");
const QString kNewPrompt = QStringLiteral("رمز عبوري جديد خود را وارد كنيد  ؟");
const QString kWrongBefore = QStringLiteral("رمز عبوري'");
const QString kWrongAfter = QStringLiteral("'  صحيح نمي باشد!");
const QString kWrongTitle = QStringLiteral("رمز ورودي نا صحيح!!!");
const QString kMaster = QStringLiteral("QORVATELKS58");

class PasswordChangeTest : public InfoScreenTest {
protected:
    // Logs in with `typed` through the login screen; true when accepted.
    bool logIn(const QString& typed) {
        auto* login = qobject_cast<Form9*>(screens().show(ScreenId::Form9));
        EXPECT_TRUE(login);
        if (!login) {
            return false;
        }
        login->findChild<QLineEdit*>(QStringLiteral("Text1"))->setText(typed);
        const std::size_t boxesBefore = boxes().shown().size();
        login->Command1_Click();
        settle();
        const bool accepted = mainForm() && boxes().shown().size() == boxesBefore;
        if (!accepted && screens().isLoaded(ScreenId::Form9)) {
            screens().unload(ScreenId::Form9);
        }
        return accepted;
    }
    Form10* openDialog() {
        if (!mainForm()) {
            EXPECT_TRUE(logIn(kMaster));
        }
        return openScreen<Form10>(ScreenId::Form10, "CHNAGEPASS");
    }
    static QLineEdit* box(Form10* form, const char* name) { return child<QLineEdit>(form, name); }
    static QPushButton* button(Form10* form, const char* name) {
        return child<QPushButton>(form, name);
    }
    static void type(QLineEdit* target, const QString& text) {
        for (const QChar c : text) {
            QTest::sendKeyEvent(QTest::Click, target, Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
    }
    // Types the old password and presses the checker button.
    void check(Form10* form, const QString& typed) {
        type(box(form, "Text1"), typed);
        QTest::mouseClick(button(form, "Command1"), Qt::LeftButton);
    }
    void expectStage1(Form10* form) {
        EXPECT_FALSE(form->inStage2());
        EXPECT_TRUE(child<QLabel>(form, "Label2")->isVisible());
        EXPECT_FALSE(child<QLabel>(form, "Label1")->isVisible());
        EXPECT_TRUE(box(form, "Text1")->isVisible());
        EXPECT_TRUE(box(form, "Text1")->isEnabled());
        EXPECT_TRUE(button(form, "Command1")->isVisible());
        EXPECT_FALSE(box(form, "Text2")->isVisible());
        EXPECT_FALSE(button(form, "Command2")->isVisible());
    }
    void renameTable(const char* from, const char* to) {
        sql::Database db(folder() + QStringLiteral("/pc.db"), SQLITE_OPEN_READWRITE);
        db.exec(QStringLiteral("ALTER TABLE %1 RENAME TO %2")
                    .arg(QLatin1String(from), QLatin1String(to)));
    }
};

TEST_F(PasswordChangeTest, OpensInStage1WithItsLayoutTheFocusInTheOldPasswordBoxAndTheLock) {
    Form10* form = openDialog();
    ASSERT_TRUE(form);
    EXPECT_EQ(form->windowTitle(), kTitle);
    const qreal dpi = form->logicalDpiX();
    EXPECT_EQ(form->size(), twipsRect(0, 0, 5175, 2535, dpi, dpi).size());
    EXPECT_EQ(form->minimumSize(), form->maximumSize());
    EXPECT_EQ(child<QLabel>(form, "Label2")->text(), kOldPrompt);
    EXPECT_EQ(child<QLabel>(form, "Label1")->text(), kNewPrompt);
    EXPECT_EQ(button(form, "Command1")->text(), QStringLiteral("چك كننده رمز قديمي"));
    EXPECT_EQ(button(form, "Command2")->text(), QStringLiteral("ذخيره رمز جديد"));
    // Each pair shares its place.
    EXPECT_EQ(child<QLabel>(form, "Label1")->pos(), child<QLabel>(form, "Label2")->pos());
    EXPECT_EQ(box(form, "Text1")->echoMode(), QLineEdit::Normal);
    EXPECT_EQ(box(form, "Text2")->echoMode(), QLineEdit::Normal);
    expectStage1(form);
    EXPECT_EQ(QApplication::focusWidget(), box(form, "Text1"));
    EXPECT_TRUE(mainLocked());
    EXPECT_EQ(clippedLabels(form), QStringList());
}

TEST_F(PasswordChangeTest, AWrongOldPasswordIsEchoedBetweenTheApostrophesAndTheBoxEmptied) {
    setPasswordInTable(QStringLiteral("Sesame"));
    Form10* form = openDialog();
    ASSERT_TRUE(form);
    for (const QString& typed : {QStringLiteral("sesame"), QStringLiteral("Sesame "),
                                 QStringLiteral("رمز ي"), QString()}) {
        check(form, typed);
        ASSERT_FALSE(boxes().shown().empty());
        const MessageBox::Request& shown = boxes().shown().back().request;
        EXPECT_EQ(shown.text, kWrongBefore + typed + kWrongAfter);
        EXPECT_EQ(shown.title, kWrongTitle);
        EXPECT_EQ(shown.icon, MessageBox::Icon::Exclamation);
        EXPECT_EQ(shown.buttons, MessageBox::Buttons::Ok);
        EXPECT_TRUE(box(form, "Text1")->text().isEmpty());
        EXPECT_EQ(QApplication::focusWidget(), box(form, "Text1"));
        expectStage1(form);
    }
    EXPECT_EQ(boxes().shown().size(), 4u);
}

TEST_F(PasswordChangeTest, TheMasterPasswordPassesOnlyWhenItIsAlsoTheStoredOne) {
    setPasswordInTable(QStringLiteral("abc"));
    Form10* form = openDialog();
    ASSERT_TRUE(form);
    check(form, kMaster);
    EXPECT_EQ(boxes().shown().size(), 1u);
    EXPECT_FALSE(form->inStage2());
    ASSERT_TRUE(form->close());

    setPasswordInTable(kMaster);
    screens().unload(ScreenId::Form9); // the holder reads the table afresh
    form = openScreen<Form10>(ScreenId::Form10, "CHNAGEPASS");
    ASSERT_TRUE(form);
    check(form, kMaster);
    EXPECT_EQ(boxes().shown().size(), 1u);
    EXPECT_TRUE(form->inStage2());
}

TEST_F(PasswordChangeTest, ARightOldPasswordTurnsTheDialogIntoStage2) {
    setPasswordInTable(QStringLiteral("old"));
    Form10* form = openDialog();
    ASSERT_TRUE(form);
    type(box(form, "Text1"), QStringLiteral("old"));
    QTest::keyClick(box(form, "Text1"), Qt::Key_Return); // Enter checks
    EXPECT_TRUE(boxes().shown().empty());
    EXPECT_TRUE(form->inStage2());
    EXPECT_FALSE(button(form, "Command1")->isVisible());
    EXPECT_FALSE(button(form, "Command1")->isEnabled());
    EXPECT_FALSE(box(form, "Text1")->isVisible());
    EXPECT_FALSE(box(form, "Text1")->isEnabled());
    EXPECT_FALSE(child<QLabel>(form, "Label2")->isVisible());
    EXPECT_TRUE(child<QLabel>(form, "Label1")->isVisible());
    EXPECT_TRUE(button(form, "Command2")->isVisible());
    EXPECT_TRUE(button(form, "Command2")->isEnabled());
    EXPECT_TRUE(box(form, "Text2")->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), box(form, "Text2"));
    EXPECT_TRUE(mainLocked());
}

TEST_F(PasswordChangeTest, EnterInTheNewBoxSavesAtOnceIntoTheTableAndSwitchesTheMainWindowOn) {
    setPasswordInTable(QStringLiteral("old"));
    Form10* form = openDialog();
    ASSERT_TRUE(form);
    check(form, QStringLiteral("old"));
    type(box(form, "Text2"), QStringLiteral("New one"));
    QTest::keyClick(box(form, "Text2"), Qt::Key_Enter);
    EXPECT_TRUE(boxes().shown().empty()); // no message confirms the save
    EXPECT_FALSE(screens().isLoaded(ScreenId::Form10));
    EXPECT_FALSE(mainLocked());
    EXPECT_EQ(Form9::storedPassword(), QStringLiteral("New one"));
    EXPECT_EQ(passwordInTable(), QStringLiteral("New one"));
}

TEST_F(PasswordChangeTest, ASavedPasswordSurvivesARunThatEndsWithoutTheSweep) {
    setPasswordInTable(QStringLiteral("old"));
    Form10* form = openDialog();
    ASSERT_TRUE(form);
    check(form, QStringLiteral("old"));
    type(box(form, "Text2"), QStringLiteral("kept"));
    QTest::mouseClick(button(form, "Command2"), Qt::LeftButton);

    // The run ends as a killed process would: no sweep, no write-back.
    screens().discardAll();
    settle();
    EXPECT_EQ(passwordInTable(), QStringLiteral("kept"));

    // The next start accepts the new password and refuses the old one.
    registerScreens(screens());
    EXPECT_FALSE(logIn(QStringLiteral("old")));
    EXPECT_TRUE(logIn(QStringLiteral("kept")));
}

TEST_F(PasswordChangeTest, AnEmptyNewPasswordIsStoredAndTheNextLoginAcceptsAnEmptyEntry) {
    setPasswordInTable(QStringLiteral("old"));
    Form10* form = openDialog();
    ASSERT_TRUE(form);
    check(form, QStringLiteral("old"));
    QTest::mouseClick(button(form, "Command2"), Qt::LeftButton);
    EXPECT_FALSE(screens().isLoaded(ScreenId::Form10));
    EXPECT_EQ(passwordInTable(), QString());

    screens().discardAll();
    registerScreens(screens());
    EXPECT_TRUE(logIn(QString()));
}

TEST_F(PasswordChangeTest, ReopeningAfterASaveStartsInStage1AndChecksTheNewPassword) {
    setPasswordInTable(QStringLiteral("first"));
    Form10* form = openDialog();
    ASSERT_TRUE(form);
    check(form, QStringLiteral("first"));
    type(box(form, "Text2"), QStringLiteral("second"));
    QTest::keyClick(box(form, "Text2"), Qt::Key_Return);
    settle();

    form = openScreen<Form10>(ScreenId::Form10, "CHNAGEPASS");
    ASSERT_TRUE(form);
    expectStage1(form);
    check(form, QStringLiteral("first"));
    EXPECT_EQ(boxes().shown().size(), 1u);
    EXPECT_FALSE(form->inStage2());
    check(form, QStringLiteral("second"));
    EXPECT_TRUE(form->inStage2());
}

TEST_F(PasswordChangeTest, TheCloseBoxInEitherStageWritesNothingAndSwitchesTheMainWindowOn) {
    setPasswordInTable(QStringLiteral("old"));
    Form10* form = openDialog();
    ASSERT_TRUE(form);
    EXPECT_TRUE(form->close());
    EXPECT_FALSE(mainLocked());

    form = openScreen<Form10>(ScreenId::Form10, "CHNAGEPASS");
    ASSERT_TRUE(form);
    check(form, QStringLiteral("old"));
    type(box(form, "Text2"), QStringLiteral("abandoned"));
    EXPECT_TRUE(form->close());
    EXPECT_FALSE(mainLocked());
    EXPECT_EQ(Form9::storedPassword(), QStringLiteral("old"));

    ASSERT_TRUE(mainForm()->close()); // the sweep: nothing to write
    EXPECT_EQ(passwordInTable(), QStringLiteral("old"));
}

TEST_F(PasswordChangeTest, TheSweepClosesTheDialogAndSwitchesTheMainWindowOn) {
    Form10* form = openDialog();
    ASSERT_TRUE(form);
    QPointer<MDIForm1> window = mainForm();
    ASSERT_TRUE(mainLocked());
    EXPECT_TRUE(window->unload());
    EXPECT_FALSE(screens().isLoaded(ScreenId::Form10));
    ASSERT_TRUE(window);
    EXPECT_TRUE(window->isEnabled());
}

TEST_F(PasswordChangeTest, ComingBackToTheDialogInStage2PutsTheFocusInTheNewBox) {
    registerProbe(ScreenId::Form4);
    Form10* form = openDialog();
    ASSERT_TRUE(form);
    check(form, QString());
    ASSERT_TRUE(form->inStage2());
    Screen* other = screens().show(ScreenId::Form4);
    ASSERT_TRUE(waitActive(other));
    form->activateWindow();
    ASSERT_TRUE(waitActive(form));
    EXPECT_EQ(QApplication::focusWidget(), box(form, "Text2"));
}

TEST_F(PasswordChangeTest, AClickOnTheLockedMainWindowLeavesTheKeysWithTheDialog) {
    Form10* form = openDialog();
    ASSERT_TRUE(form);
    ASSERT_TRUE(waitActive(form));
    MDIForm1* window = mainForm();
    ASSERT_TRUE(mainLocked());
    // The desktop hands the activation to the switched-off main window.
    window->activateWindow();
    QTest::qWait(100);
    EXPECT_EQ(QApplication::activeWindow(), form);
    EXPECT_EQ(QApplication::focusWidget(), box(form, "Text1"));
    type(box(form, "Text1"), QStringLiteral("x"));
    EXPECT_EQ(box(form, "Text1")->text(), QStringLiteral("x"));
}

TEST_F(PasswordChangeTest, ADialogWithoutMinimiseOrMaximiseComesBackWhenTheMainWindowIsActivated) {
    Form10* form = openDialog();
    ASSERT_TRUE(form);
    ASSERT_TRUE(waitActive(form));
    // A dialog of its own, fixed, with a close box and nothing else.
    const Qt::WindowFlags flags = form->windowFlags();
    EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Dialog);
    EXPECT_TRUE(flags.testFlag(Qt::CustomizeWindowHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(form->minimumSize(), form->maximumSize());
    // A desktop that minimises it all the same: the user gets back to it
    // through the switched-off main window.
    form->showMinimized();
    settle();
    ASSERT_TRUE(form->isMinimized());
    mainForm()->activateWindow();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !form->isMinimized() && form->isActiveWindow(); }))
        << "still minimised";
    EXPECT_TRUE(mainLocked());
}

TEST_F(PasswordChangeTest, ASaveThatCannotBeStoredIsReportedAndNothingIsLost) {
    setPasswordInTable(QStringLiteral("old"));
    Form10* form = openDialog();
    ASSERT_TRUE(form);
    check(form, QStringLiteral("old"));
    type(box(form, "Text2"), QStringLiteral("wanted"));
    renameTable("pc", "pc_away");
    QTest::keyClick(box(form, "Text2"), Qt::Key_Return);

    ASSERT_FALSE(boxes().shown().empty());
    for (const auto& shown : boxes().shown()) {
        EXPECT_EQ(shown.request.icon, MessageBox::Icon::Critical);
        EXPECT_FALSE(shown.request.text.isEmpty());
    }
    // The dialog stays in stage 2 with the new text for another try.
    EXPECT_EQ(screens().find(ScreenId::Form10), form);
    EXPECT_TRUE(form->inStage2());
    EXPECT_EQ(box(form, "Text2")->text(), QStringLiteral("wanted"));
    EXPECT_TRUE(mainLocked());

    renameTable("pc_away", "pc");
    boxes().clear();
    QTest::keyClick(box(form, "Text2"), Qt::Key_Return);
    EXPECT_TRUE(boxes().shown().empty());
    EXPECT_FALSE(screens().isLoaded(ScreenId::Form10));
    EXPECT_EQ(passwordInTable(), QStringLiteral("wanted"));
}

} // namespace
