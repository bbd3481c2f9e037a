#include "platform/exitwindows.h"
#include "platform/twips.h"
#include "platform/widgets/exitwindowsdialog.h"
#include "platform/widgets/fonts.h"
#include "platform/widgets/messageboxbackend.h"
#include "platform/widgets/qttranslations.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTranslator>

#include <gtest/gtest.h>

using namespace velmoran;

namespace {

TEST(Twips, FifteenTwipsArePixelAt96DotsPerInchAndScaleWithTheScreen) {
    EXPECT_EQ(twipsToPixels(15), 1);
    EXPECT_EQ(twipsToPixels(11880), 792);
    EXPECT_EQ(twipsToPixels(1440, 144.0), 144);
    EXPECT_EQ(twipsToPixels(22), 1); // rounded to the nearest pixel
    EXPECT_EQ(twipsToPixels(23), 2);
    EXPECT_EQ(twipsRect(4680, 3510, 2745, 1575), QRect(312, 234, 183, 105));
    EXPECT_EQ(twipsRect(150, 300, 1500, 15, 192.0, 96.0), QRect(20, 20, 200, 1));
}

ExitWindows::ProgramFinder onPath(QStringList programs) {
    return [programs](const QString& program) {
        return programs.contains(program) ? QStringLiteral("/usr/bin/") + program : QString();
    };
}

TEST(ExitWindows, DesktopPromptFollowsTheCurrentDesktopWhenItsProgramIsThere) {
    using ExitWindows::Command;
    using ExitWindows::desktopPrompt;
    const auto all = onPath({"gnome-session-quit", "qdbus", "qdbus6", "xfce4-session-logout"});

    EXPECT_EQ(
        desktopPrompt(QStringLiteral("ubuntu:GNOME"), all),
        (Command{QStringLiteral("/usr/bin/gnome-session-quit"), {QStringLiteral("--power-off")}}));
    EXPECT_EQ(desktopPrompt(QStringLiteral("KDE"), all),
              (Command{QStringLiteral("/usr/bin/qdbus6"),
                       {QStringLiteral("org.kde.LogoutPrompt"), QStringLiteral("/LogoutPrompt"),
                        QStringLiteral("promptAll")}}));
    EXPECT_EQ(desktopPrompt(QStringLiteral("kde"), onPath({"qdbus"})),
              (Command{QStringLiteral("/usr/bin/qdbus"),
                       {QStringLiteral("org.kde.ksmserver"), QStringLiteral("/KSMServer"),
                        QStringLiteral("logout"), QStringLiteral("1"), QStringLiteral("0"),
                        QStringLiteral("0")}}));
    EXPECT_EQ(desktopPrompt(QStringLiteral("XFCE"), all),
              (Command{QStringLiteral("/usr/bin/xfce4-session-logout"), {}}));

    EXPECT_FALSE(desktopPrompt(QStringLiteral("GNOME"), onPath({})));
    EXPECT_FALSE(desktopPrompt(QStringLiteral("Sway"), all));
    EXPECT_FALSE(desktopPrompt(QString(), all));
}

TEST(ExitWindows, OwnDialogRunsTheChosenLogindCommand) {
    QList<ExitWindows::Command> ran;
    auto* dialog = new ExitWindows::ExitWindowsDialog(
        QStringLiteral("7"), [&ran](const ExitWindows::Command& command) { ran << command; });
    dialog->show();
    QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("logOutButton")),
                      Qt::LeftButton);
    ASSERT_EQ(ran.size(), 1);
    EXPECT_EQ(ran.front(),
              (ExitWindows::Command{QStringLiteral("loginctl"),
                                    {QStringLiteral("terminate-session"), QStringLiteral("7")}}));
    EXPECT_FALSE(dialog->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    ran.clear();
    auto* other = new ExitWindows::ExitWindowsDialog(
        QString(), [&ran](const ExitWindows::Command& command) { ran << command; });
    other->show();
    EXPECT_FALSE(other->findChild<QPushButton*>(QStringLiteral("logOutButton"))->isEnabled());
    QTest::mouseClick(other->findChild<QPushButton*>(QStringLiteral("cancelButton")),
                      Qt::LeftButton);
    EXPECT_TRUE(ran.isEmpty());
    EXPECT_FALSE(other->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    EXPECT_EQ(ExitWindows::logindCommand(ExitWindows::Action::PowerOff, QString()),
              (ExitWindows::Command{QStringLiteral("systemctl"), {QStringLiteral("poweroff")}}));
    EXPECT_EQ(ExitWindows::logindCommand(ExitWindows::Action::Reboot, QString()),
              (ExitWindows::Command{QStringLiteral("systemctl"), {QStringLiteral("reboot")}}));
}

TEST(Fonts, MissingDesignFamiliesResolveToInstalledPersianFaces) {
    installFontSubstitutes();
    const struct {
        const char* design;
        const char* installed;
    } cases[] = {{"B Nazanin", "Nazli"}, {"B Titr", "Titr"}, {"B Jadid", "Homa"}};
    for (const auto& c : cases) {
        if (QFontDatabase::hasFamily(QString::fromLatin1(c.design)) ||
            !QFontDatabase::hasFamily(QString::fromLatin1(c.installed))) {
            continue; // the machine has the design face itself, or lacks the stand-in
        }
        EXPECT_EQ(QFontInfo(designFont(QString::fromLatin1(c.design), 12)).family(),
                  QString::fromLatin1(c.installed))
            << c.design;
    }
    EXPECT_TRUE(fontCandidates(QStringLiteral("Unknown Face")).isEmpty());
}

TEST(QtTranslations, QtsOwnDialogsSpeakPersian) {
    EXPECT_FALSE(installQtTranslations().isEmpty());
    const QString lookIn = QCoreApplication::translate("QFileDialog", "Look in:");
    // The other tests run with Qt's English texts.
    for (QTranslator* translator : qApp->findChildren<QTranslator*>()) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
    EXPECT_NE(lookIn, QStringLiteral("Look in:"));
    EXPECT_TRUE(lookIn.contains(QChar(0x062F))) << lookIn.toStdString(); // د
}

// Answers the next modal box by clicking the button called `buttonName`, after
// handing the box to `inspect`.
void answerNextBox(const char* buttonName, std::function<void(QMessageBox*)> inspect) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, buttonName, inspect] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) {
            return;
        }
        timer->stop();
        timer->deleteLater();
        inspect(box);
        auto* button = box->findChild<QPushButton*>(QString::fromLatin1(buttonName));
        if (button) {
            button->click();
        } else {
            box->close();
        }
    });
    timer->start();
}

TEST(MessageBoxBackend, ShowsPersianRightToLeftPlainTextAndAnswersWithTheCodes) {
    MessageBox::QtBackend backend;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString yes, no, defaultText;
    Qt::LayoutDirection direction = Qt::LeftToRight;
    Qt::TextFormat format = Qt::AutoText;
    answerNextBox("noButton", [&](QMessageBox* box) {
        icon = box->icon();
        direction = box->layoutDirection();
        format = box->textFormat();
        yes = box->findChild<QPushButton*>(QStringLiteral("yesButton"))->text();
        no = box->findChild<QPushButton*>(QStringLiteral("noButton"))->text();
        defaultText = box->defaultButton() ? box->defaultButton()->text() : QString();
    });
    const int answer = backend.show({QStringLiteral("<b>x</b>"), QStringLiteral("t"),
                                     MessageBox::Icon::None, MessageBox::Buttons::YesNo});
    EXPECT_EQ(answer, MessageBox::vbNo);
    EXPECT_EQ(icon, QMessageBox::NoIcon);
    EXPECT_EQ(direction, Qt::RightToLeft);
    EXPECT_EQ(format, Qt::PlainText);
    EXPECT_EQ(yes, MessageBox::yesButtonText());
    EXPECT_EQ(no, MessageBox::noButtonText());
    EXPECT_EQ(defaultText, MessageBox::yesButtonText());

    answerNextBox("yesButton", [](QMessageBox*) {});
    EXPECT_EQ(backend.show({QStringLiteral("q"), QStringLiteral("t"), MessageBox::Icon::None,
                            MessageBox::Buttons::YesNo}),
              MessageBox::vbYes);

    answerNextBox("okButton", [&](QMessageBox* box) { icon = box->icon(); });
    EXPECT_EQ(backend.show({QStringLiteral("m"), QStringLiteral("t"), MessageBox::Icon::Exclamation,
                            MessageBox::Buttons::Ok}),
              MessageBox::vbOK);
    EXPECT_EQ(icon, QMessageBox::Warning);

    answerNextBox("okButton", [&](QMessageBox* box) { icon = box->icon(); });
    backend.show({QStringLiteral("m"), QStringLiteral("t"), MessageBox::Icon::Critical,
                  MessageBox::Buttons::Ok});
    EXPECT_EQ(icon, QMessageBox::Critical);
}

// Three answers: each button gives its code, Escape is the cancel.
TEST(MessageBoxBackend, AQuestionWithCancelAnswersYesNoOrCancel) {
    MessageBox::QtBackend backend;
    const MessageBox::Request question{QStringLiteral("q"), QStringLiteral("t"),
                                       MessageBox::Icon::Exclamation,
                                       MessageBox::Buttons::YesNoCancel};
    QString cancel;
    answerNextBox("cancelButton", [&](QMessageBox* box) {
        cancel = box->findChild<QPushButton*>(QStringLiteral("cancelButton"))->text();
    });
    EXPECT_EQ(backend.show(question), MessageBox::vbCancel);
    EXPECT_EQ(cancel, MessageBox::cancelButtonText());
    answerNextBox("noButton", [](QMessageBox*) {});
    EXPECT_EQ(backend.show(question), MessageBox::vbNo);
    answerNextBox("yesButton", [](QMessageBox*) {});
    EXPECT_EQ(backend.show(question), MessageBox::vbYes);
    answerNextBox("none", [](QMessageBox*) {}); // closed by its window's button
    EXPECT_EQ(backend.show(question), MessageBox::vbCancel);
}

// A short message under a long title: the box is as wide as its whole title.
TEST(MessageBoxBackend, EveryBoxIsWideEnoughForItsWholeTitle) {
    MessageBox::QtBackend backend;
    for (const QString& title : {QStringLiteral("خروج از برنامه . . . ! ! !"),
                                 QStringLiteral("خطا در استفاده كاربر . . . "),
                                 QStringLiteral("اضافه كردن فايل جديد . . . ")}) {
        int width = 0;
        int needed = 0;
        answerNextBox("okButton", [&](QMessageBox* box) {
            width = box->width();
            needed = MessageBox::minimumBoxWidth(title, box->font());
        });
        backend.show({QStringLiteral("x"), title, MessageBox::Icon::None, MessageBox::Buttons::Ok});
        EXPECT_GT(needed, 140) << title.toStdString();
        EXPECT_GE(width, needed) << title.toStdString();
    }
}

// The window a box stands over may go while the box is up: at log-out the
// main window unloads every screen whatever is on the screen. The box goes
// with it, and the question is answered No.
TEST(MessageBoxBackend, AWindowGoingWhileItsBoxIsUpEndsTheBoxAnsweredNo) {
    MessageBox::QtBackend backend;
    QPointer<QWidget> window = new QWidget;
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    ASSERT_EQ(QApplication::activeWindow(), window.data());

    QTimer timer;
    timer.setInterval(10);
    QObject::connect(&timer, &QTimer::timeout, [&window] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) {
            return;
        }
        if (window) {
            delete window.data();
        } else {
            box->close(); // a box standing by itself: not left waiting
        }
    });
    timer.start();
    const int answer = backend.show({QStringLiteral("q"), QStringLiteral("t"),
                                     MessageBox::Icon::None, MessageBox::Buttons::YesNo});
    timer.stop();
    EXPECT_TRUE(window.isNull());
    EXPECT_EQ(answer, MessageBox::vbNo);
}

} // namespace
