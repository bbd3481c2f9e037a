#include "platform/twips.h"
#include "screens/info/form11.h"
#include "screens/info/form6.h"
#include "tests/gui/form5_infotest.h"

#include <QImage>
#include <QSet>

using namespace velmoran;
using namespace velmoran::test;

namespace {

// About us (Form6) and contact us (Form11): two static screens that switch
// the main window off while they are open.
class AboutUsTest : public InfoScreenTest {
protected:
    Form6* openAboutUs() {
        openMain();
        return openScreen<Form6>(ScreenId::Form6, "aboutus");
    }
    Form11* openContact() {
        openMain();
        return openScreen<Form11>(ScreenId::Form11, "CONTACTUS");
    }
    static QString text(QWidget* form, const char* name) {
        return child<QLabel>(form, name)->text();
    }
    static QSize pictureSize(QWidget* form, const char* name) {
        return child<QLabel>(form, name)->pixmap().size();
    }
    static QRect place(QWidget* form, int left, int top, int width, int height) {
        const qreal dpi = form->logicalDpiX();
        return twipsRect(left, top, width, height, dpi, dpi);
    }
};

TEST_F(AboutUsTest, AboutUsShowsItsCaptionCreditsLogotypeAndNotices) {
    Form6* form = openAboutUs();
    ASSERT_TRUE(form);
    EXPECT_EQ(
        form->windowTitle(),
        QStringLiteral("---------------درباره  ما ----------------درباره  "
                       "ما-----------------درباره  ما-----------------درباره  ما---------------"));
    EXPECT_EQ(form->size(), place(form, 0, 0, 6360, 4935).size());
    EXPECT_EQ(form->minimumSize(), form->maximumSize());
    EXPECT_EQ(form->windowType(), Qt::Tool);
    EXPECT_EQ(text(form, "Label1"), QStringLiteral(" درباره ما "));

    // The three credits name one person after their roles.
    const QString role3 = QStringLiteral("كارشناس برنامه نويسي :");
    const QString role6 = QStringLiteral("متخصص طراح گرافيك:");
    const QString role4 = QStringLiteral("مديريت و كنترل پروژه:");
    ASSERT_TRUE(text(form, "Label3").startsWith(role3 + QLatin1Char(' ')));
    const QString person = text(form, "Label3").mid(role3.size() + 1);
    EXPECT_FALSE(person.trimmed().isEmpty());
    EXPECT_EQ(text(form, "Label6"), role6 + QLatin1Char(' ') + person);
    EXPECT_EQ(text(form, "Label4"), role4 + QLatin1Char(' ') + person);
    EXPECT_FALSE(text(form, "Label2").isEmpty());
    EXPECT_FALSE(text(form, "Label5").isEmpty());

    // Colours as drawn: the heading in the highlight colour, the credits in
    // the darkest shadow, the rights notice dark red.
    const QPalette& palette = form->palette();
    EXPECT_EQ(textColour(child<QLabel>(form, "Label1")), palette.color(QPalette::Highlight));
    EXPECT_EQ(textColour(child<QLabel>(form, "Label3")), palette.color(QPalette::Shadow));
    EXPECT_EQ(textColour(child<QLabel>(form, "Label2")), QColor(192, 0, 0));
    EXPECT_TRUE(drawsColour(child<QLabel>(form, "Label2"), QColor(192, 0, 0)));
    EXPECT_EQ(form->backgroundRole(), QPalette::Base);

    // The icon and the logotype at their sizes, stretched over their places.
    EXPECT_EQ(pictureSize(form, "Image1"), QSize(32, 32));
    EXPECT_EQ(pictureSize(form, "Image2"), QSize(367, 288));
    EXPECT_EQ(child<QLabel>(form, "Image2")->geometry(), place(form, 0, 1170, 2775, 2655));
    EXPECT_TRUE(child<QLabel>(form, "Image2")->hasScaledContents());
    QSet<QRgb> colours;
    const QImage icon = child<QLabel>(form, "Image1")->pixmap().toImage();
    for (int y = 0; y < icon.height(); ++y) {
        for (int x = 0; x < icon.width(); ++x) {
            colours.insert(icon.pixel(x, y));
        }
    }
    EXPECT_LE(colours.size(), 16);
    EXPECT_EQ(clippedLabels(form), QStringList());
}

TEST_F(AboutUsTest, ContactUsShowsItsCaptionPersonAddressesAndPicture) {
    Form11* form = openContact();
    ASSERT_TRUE(form);
    EXPECT_EQ(form->windowTitle(),
              QStringLiteral(
                  "                                                       ارتباط  با  ما      "));
    EXPECT_EQ(form->size(), place(form, 0, 0, 6210, 4845).size());
    EXPECT_EQ(form->windowType(), Qt::Tool);
    EXPECT_FALSE(form->windowIcon().isNull());
    EXPECT_EQ(text(form, "Label1"), QStringLiteral("ارتباط با ما  "));
    EXPECT_EQ(text(form, "Label2"), QStringLiteral("ارتباط با مديريت ولمورانك"));
    EXPECT_FALSE(text(form, "Label6").trimmed().isEmpty());
    for (const char* address : {"Label5", "Label7"}) {
        EXPECT_TRUE(text(form, address).contains(QLatin1Char('@'))) << address;
        EXPECT_EQ(child<QLabel>(form, address)->layoutDirection(), Qt::LeftToRight);
    }
    EXPECT_NE(text(form, "Label5"), text(form, "Label7"));
    EXPECT_FALSE(text(form, "Label8").isEmpty());
    EXPECT_EQ(textColour(child<QLabel>(form, "Label1")),
              form->palette().color(QPalette::Highlight));
    EXPECT_EQ(pictureSize(form, "Image1"), QSize(150, 260));
    EXPECT_EQ(child<QLabel>(form, "Image1")->geometry(), place(form, 195, 195, 2250, 4095));
    EXPECT_EQ(clippedLabels(form), QStringList());
}

TEST_F(AboutUsTest, ClickOnALabelOrAPictureLeavesThemOpenTheBackgroundClosesThem) {
    Form6* about = openAboutUs();
    ASSERT_TRUE(about);
    for (const char* name : {"Label1", "Label3", "Label2", "Image1", "Image2"}) {
        QTest::mouseClick(child<QWidget>(about, name), Qt::LeftButton, {}, QPoint(3, 3));
        ASSERT_TRUE(screens().isLoaded(ScreenId::Form6)) << name;
    }
    EXPECT_TRUE(mainLocked());
    QTest::mouseClick(about, Qt::LeftButton, {}, backgroundPoint(about));
    EXPECT_FALSE(screens().isLoaded(ScreenId::Form6));
    EXPECT_FALSE(mainLocked());

    Form11* contact = openScreen<Form11>(ScreenId::Form11, "CONTACTUS");
    ASSERT_TRUE(contact);
    for (const char* name : {"Label1", "Label6", "Label5", "Image1"}) {
        QTest::mouseDClick(child<QWidget>(contact, name), Qt::LeftButton, {}, QPoint(3, 3));
        ASSERT_TRUE(screens().isLoaded(ScreenId::Form11)) << name;
    }
    EXPECT_TRUE(mainLocked());
    QTest::mouseClick(contact, Qt::LeftButton, {}, backgroundPoint(contact));
    EXPECT_FALSE(screens().isLoaded(ScreenId::Form11));
    EXPECT_FALSE(mainLocked());
}

TEST_F(AboutUsTest, ContactUsClosesOnADoubleClickOnTheBackground) {
    Form11* form = openContact();
    ASSERT_TRUE(form);
    QTest::mouseDClick(form, Qt::LeftButton, {}, backgroundPoint(form));
    EXPECT_FALSE(screens().isLoaded(ScreenId::Form11));
    EXPECT_FALSE(mainLocked());
}

TEST_F(AboutUsTest, WhileEitherIsOpenTheMainMenuDoesNotRespond) {
    registerProbe(ScreenId::Form2);
    for (const ScreenId id : {ScreenId::Form6, ScreenId::Form11}) {
        MDIForm1* window = openMain();
        Screen* form = openScreen<Screen>(id, id == ScreenId::Form6 ? "aboutus" : "CONTACTUS");
        ASSERT_TRUE(form);
        QTest::keyClick(window, Qt::Key_F3);
        window->findChild<QAction*>(QStringLiteral("searchoneone"))->trigger();
        EXPECT_FALSE(screens().isLoaded(ScreenId::Form2));
        EXPECT_FALSE(window->close());
        EXPECT_TRUE(form->close()); // the close box
        EXPECT_FALSE(mainLocked());
        EXPECT_FALSE(screens().isLoaded(id));
    }
}

TEST_F(AboutUsTest, TheSweepClosesAboutUsAndSwitchesTheMainWindowOn) {
    ASSERT_TRUE(openAboutUs());
    QPointer<MDIForm1> window = mainForm();
    ASSERT_TRUE(mainLocked());
    EXPECT_TRUE(window->unload());
    EXPECT_FALSE(screens().isLoaded(ScreenId::Form6));
    ASSERT_TRUE(window);
    EXPECT_TRUE(window->isEnabled());
}

TEST_F(AboutUsTest, TheNextCommandLoadsTheScreenAfresh) {
    Form6* first = openAboutUs();
    ASSERT_TRUE(first);
    QTest::mouseClick(first, Qt::LeftButton, {}, backgroundPoint(first));
    settle();
    Form6* second = openScreen<Form6>(ScreenId::Form6, "aboutus");
    ASSERT_TRUE(second);
    EXPECT_TRUE(mainLocked());
}

} // namespace
