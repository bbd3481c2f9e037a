#include "app/form9.h"
#include "app/mdiform1.h"
#include "data/core/fields.h"
#include "data/store/recordsource.h"
#include "platform/twips.h"
#include "tests/gui/apptest.h"

#include <QAccessible>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QStyle>
#include <QTest>

using namespace velmoran;
using namespace velmoran::test;

namespace {

const QString kRefusedBefore = QStringLiteral("رمز عبوري ");
const QString kRefusedAfter = QStringLiteral(" صحيح نمي باشد ");
const QString kRefusedTitle = QStringLiteral("رمز عبوري نا صحيح . . . ");
const QString kMaster = QStringLiteral("QORVATELKS58");
const QString kBackgroundWords = QStringLiteral("ولمو رانك");

class LoginTest : public AppTest {
protected:
    Form9* showLogin() {
        auto* form = qobject_cast<Form9*>(screens().show(ScreenId::Form9));
        EXPECT_TRUE(form);
        if (form) {
            EXPECT_TRUE(QTest::qWaitForWindowActive(form));
        }
        return form;
    }
    template <class T> T* control(Form9* form, const char* name) {
        T* found = form->findChild<T*>(QString::fromLatin1(name));
        EXPECT_TRUE(found) << name;
        return found;
    }
    QLineEdit* text1(Form9* form) { return control<QLineEdit>(form, "Text1"); }
    // Types `text` key by key, Persian letters too.
    static void type(QLineEdit* box, const QString& text) {
        for (const QChar c : text) {
            QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
    }
    void attempt(Form9* form, const QString& typed) {
        QLineEdit* box = text1(form);
        box->setFocus();
        type(box, typed);
        QTest::mouseClick(control<QPushButton>(form, "Command1"), Qt::LeftButton);
    }
    bool accepted() {
        return mainForm() && mainForm()->isVisible() && !screens().isLoaded(ScreenId::Form9);
    }
};

TEST_F(LoginTest, OpensWithTheFocusInTheMaskedPasswordBox) {
    Form9* form = showLogin();
    QLineEdit* box = text1(form);
    EXPECT_EQ(QApplication::focusWidget(), box);
    EXPECT_EQ(box->echoMode(), QLineEdit::Password);
    EXPECT_EQ(box->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, box), '*');
    EXPECT_TRUE(form->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_FALSE(control<QLineEdit>(form, "Text2")->isVisible());
    EXPECT_FALSE(control<QLineEdit>(form, "Text3")->isVisible());
}

TEST_F(LoginTest, LayoutCoversTheScreenWithTheBackgroundAndCentresTheFrame) {
    Form9* form = showLogin();
    auto* label1 = control<QLabel>(form, "Label1");
    auto* frame = control<QGroupBox>(form, "Frame1");
    EXPECT_EQ(label1->text(), (kBackgroundWords + QString(5, QLatin1Char(' '))).repeated(585));
    EXPECT_EQ(label1->text().size(), 8190);
    EXPECT_TRUE(label1->geometry().contains(form->rect()));
    EXPECT_LE(std::abs(frame->geometry().center().x() - form->rect().center().x()), 1);
    EXPECT_LE(std::abs(frame->geometry().center().y() - form->rect().center().y()), 1);
    // Inside the frame the controls keep their design places.
    const qreal dpi = form->logicalDpiX();
    EXPECT_EQ(text1(form)->geometry(), twipsRect(1365, 195, 1185, 405, dpi, dpi));
    EXPECT_EQ(control<QPushButton>(form, "Command1")->geometry(),
              twipsRect(1560, 975, 990, 330, dpi, dpi));
    // The background lies beneath the frame.
    EXPECT_EQ(form->childAt(frame->geometry().center()), frame);
}

TEST_F(LoginTest, ThePasswordCaptionStandsApartFromThePasswordBox) {
    Form9* form = showLogin();
    auto* caption = control<QLabel>(form, "Label2");
    QLineEdit* box = text1(form);
    const qreal dpi = form->logicalDpiX();
    EXPECT_EQ(caption->geometry(), twipsRect(195, 195, 1125, 495, dpi, dpi));
    EXPECT_EQ(caption->text(), QStringLiteral("كد عبوري  :"));
    // The caption's text, drawn against the box's side of its place, ends
    // some pixels short of the box and is not cut.
    const QRect text = caption->contentsRect().translated(caption->pos());
    EXPECT_GE(box->x() - (text.right() + 1), twipsToPixels(120, dpi));
    EXPECT_LE(QFontMetrics(caption->font()).horizontalAdvance(caption->text()), text.width());
}

// Every text an accessibility client can read off the interface and all
// below it.
void collectAccessibleTexts(QAccessibleInterface* iface, QStringList& texts, int depth = 0) {
    if (!iface || depth > 40) {
        return;
    }
    for (QAccessible::Text t :
         {QAccessible::Name, QAccessible::Value, QAccessible::Description, QAccessible::Help}) {
        texts << iface->text(t);
    }
    if (QAccessibleTextInterface* text = iface->textInterface()) {
        texts << text->text(0, text->characterCount());
    }
    if (QAccessibleValueInterface* value = iface->valueInterface()) {
        texts << value->currentValue().toString();
    }
    for (int i = 0; i < iface->childCount(); ++i) {
        collectAccessibleTexts(iface->child(i), texts, depth + 1);
    }
}

TEST_F(LoginTest, NoPasswordIsExposedToAssistiveTechnology) {
    setPasswordInTable(QStringLiteral("s3cret-stored"));
    Form9* form = showLogin();
    type(text1(form), QStringLiteral("typed-word"));
    // From the screen down, and from the application down.
    QStringList texts;
    collectAccessibleTexts(QAccessible::queryAccessibleInterface(form), texts);
    collectAccessibleTexts(QAccessible::queryAccessibleInterface(qApp), texts);
    ASSERT_FALSE(texts.isEmpty());
    const QString all = texts.join(QLatin1Char('|'));
    EXPECT_TRUE(all.contains(QStringLiteral("قبول"))) << "the tree was not walked";
    for (const char* secret : {"QORVATELKS58", "s3cret-stored", "typed-word"}) {
        EXPECT_FALSE(all.contains(QLatin1String(secret))) << secret;
    }
    // The holders still hold them.
    EXPECT_EQ(control<QLineEdit>(form, "Text3")->text(), kMaster);
    EXPECT_EQ(control<QLineEdit>(form, "Text2")->text(), QStringLiteral("s3cret-stored"));
}

TEST_F(LoginTest, MasterPasswordIsAcceptedWhateverIsStored) {
    setPasswordInTable(QStringLiteral("letmein"));
    attempt(showLogin(), kMaster);
    EXPECT_TRUE(accepted());
    EXPECT_TRUE(boxes().shown().empty());
}

TEST_F(LoginTest, MasterPasswordInLowerCaseIsRefusedWithTheMessage) {
    Form9* form = showLogin();
    const QString typed = kMaster.toLower();
    attempt(form, typed);

    ASSERT_EQ(boxes().shown().size(), 1u);
    const MessageBox::Request& box = boxes().shown().front().request;
    EXPECT_EQ(box.text, kRefusedBefore + typed + kRefusedAfter);
    EXPECT_EQ(box.title, kRefusedTitle);
    EXPECT_EQ(box.icon, MessageBox::Icon::Exclamation);
    EXPECT_EQ(box.buttons, MessageBox::Buttons::Ok);
    EXPECT_FALSE(accepted());
    EXPECT_EQ(screens().find(ScreenId::Form9), form);
    EXPECT_TRUE(text1(form)->text().isEmpty());
    EXPECT_EQ(QApplication::focusWidget(), text1(form));
}

TEST_F(LoginTest, StoredPasswordMustMatchCharacterForCharacter) {
    setPasswordInTable(QStringLiteral("Sesame"));
    Form9* form = showLogin();
    const QStringList wrong = {QStringLiteral("sesame"),  QStringLiteral(" Sesame"),
                               QStringLiteral("Sesame "), QStringLiteral("SESAME"),
                               QStringLiteral("Sesam"),   QString()};
    for (const QString& typed : wrong) {
        attempt(form, typed);
        ASSERT_FALSE(accepted()) << typed.toStdString();
        EXPECT_EQ(boxes().shown().back().request.text, kRefusedBefore + typed + kRefusedAfter);
    }
    EXPECT_EQ(boxes().shown().size(), std::size_t(wrong.size()));
    attempt(form, QStringLiteral("Sesame"));
    EXPECT_TRUE(accepted());
}

TEST_F(LoginTest, TypedTextIsEchoedAsTyped) {
    Form9* form = showLogin();
    const QString typed = QStringLiteral("<b>x</b> & ي");
    attempt(form, typed);
    ASSERT_EQ(boxes().shown().size(), 1u);
    EXPECT_EQ(boxes().shown().front().request.text, kRefusedBefore + typed + kRefusedAfter);
}

TEST_F(LoginTest, EnterInThePasswordBoxDoesWhatTheAcceptButtonDoes) {
    setPasswordInTable(QStringLiteral("abc"));
    Form9* form = showLogin();
    QLineEdit* box = text1(form);
    type(box, QStringLiteral("abd"));
    QTest::keyClick(box, Qt::Key_Return);
    ASSERT_EQ(boxes().shown().size(), 1u);
    EXPECT_TRUE(box->text().isEmpty());
    EXPECT_EQ(QApplication::focusWidget(), box);

    type(box, QStringLiteral("abc"));
    QTest::keyClick(box, Qt::Key_Enter);
    EXPECT_TRUE(accepted());
}

TEST_F(LoginTest, EnterOnAButtonDoesNothing) {
    Form9* form = showLogin();
    for (const char* name : {"Command1", "Command2"}) {
        auto* button = control<QPushButton>(form, name);
        button->setFocus();
        QTest::keyClick(button, Qt::Key_Return);
        QTest::keyClick(button, Qt::Key_Escape);
    }
    EXPECT_EQ(screens().find(ScreenId::Form9), form);
    EXPECT_TRUE(boxes().shown().empty());
}

TEST_F(LoginTest, CancelEndsTheProgram) {
    Form9* form = showLogin();
    QSignalSpy ended(&screens(), &Screens::programEnded);
    QTest::mouseClick(control<QPushButton>(form, "Command2"), Qt::LeftButton);
    EXPECT_EQ(ended.count(), 1);
    EXPECT_FALSE(screens().isLoaded(ScreenId::Form9));
    EXPECT_FALSE(mainForm());
}

TEST_F(LoginTest, ClickOnTheBackgroundEndsTheProgramButNotOnTheFrame) {
    Form9* form = showLogin();
    QSignalSpy ended(&screens(), &Screens::programEnded);
    auto* frame = control<QGroupBox>(form, "Frame1");
    QTest::mouseClick(frame, Qt::LeftButton, {}, QPoint(4, frame->height() / 2));
    EXPECT_EQ(ended.count(), 0);
    EXPECT_TRUE(screens().isLoaded(ScreenId::Form9));

    QTest::mouseClick(control<QLabel>(form, "Label1"), Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(ended.count(), 1);
    EXPECT_FALSE(screens().isLoaded(ScreenId::Form9));
}

TEST_F(LoginTest, EmptyStoredPasswordAcceptsAnEmptyEntry) {
    ASSERT_EQ(passwordInTable(), QString());
    attempt(showLogin(), QString());
    EXPECT_TRUE(accepted());
}

TEST_F(LoginTest, TableWithoutRowsAcceptsAnEmptyEntry) {
    {
        RecordSource source(folder(), passwordTable());
        source.Delete();
    }
    attempt(showLogin(), QString());
    EXPECT_TRUE(accepted());
}

} // namespace
