#include "platform/random.h"
#include "platform/twips.h"
#include "screens/info/form5.h"
#include "screens/info/form6.h"
#include "tests/gui/form5_infotest.h"

#include <QTimer>

using namespace velmoran;
using namespace velmoran::test;
using Value = SystemValues::Value;

namespace {

const QString kTitle = QStringLiteral(
    "--------------------------------درباره برنامه -------------------------------------");
const QString kProductLine = QStringLiteral("نرم افزار كنترل فايل  املاك محصول ولـــمورانك ");
const QString kBelongsTo =
    QStringLiteral("   :   اين نسخه از نرم افزار ولمو رانك به سيستم زير تعلق دارد ");

struct Expected {
    Value value;
    const char* label;
    QString prefix;
};
const Expected kExpected[] = {
    {Value::ProductName, "Label1", QStringLiteral("Product Name is ")},
    {Value::ProductId, "Label2", QStringLiteral("Product ID is ")},
    {Value::ProductKey, "Label3", QStringLiteral("Product Key is ")},
    {Value::RegisteredOrganization, "Label4", QStringLiteral("Registered Organization is ")},
    {Value::RegisteredOwner, "Label5", QStringLiteral("Registered Owner is ")},
};

class Form5Test : public InfoScreenTest {
protected:
    void setAllValues() {
        values().set(Value::ProductName, QStringLiteral("Debian GNU/Linux 12 (bookworm)"));
        values().set(Value::ProductId, QStringLiteral("3f1c0b7e9a2d4c58b6e01f9d7a3c5e42"));
        values().set(Value::ProductKey, QStringLiteral("6.1.0-18-amd64"));
        values().set(Value::RegisteredOrganization, QStringLiteral("agency-desk"));
        values().set(Value::RegisteredOwner, QStringLiteral("Bahar Kiani"));
    }
    Form5* open() {
        openMain();
        return openScreen<Form5>(ScreenId::Form5, "aboutapp");
    }
    QString labelText(Form5* form, const char* name) { return child<QLabel>(form, name)->text(); }
};

TEST_F(Form5Test, ShowsTheProductLineAndTheFiveValuesAfterTheirPrefixesProductKeyFirst) {
    setAllValues();
    Form5* form = open();
    ASSERT_TRUE(form);
    EXPECT_EQ(form->windowTitle(), kTitle);
    const qreal dpi = form->logicalDpiX();
    EXPECT_EQ(form->size(), twipsRect(0, 0, 5895, 4665, dpi, dpi).size());
    EXPECT_EQ(form->minimumSize(), form->maximumSize());
    EXPECT_FALSE(form->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(form->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(labelText(form, "Label6"), kProductLine);
    EXPECT_EQ(labelText(form, "Label9"), kBelongsTo);
    EXPECT_EQ(labelText(form, "Label10"), QStringLiteral("R"));

    for (const Expected& expected : kExpected) {
        EXPECT_EQ(labelText(form, expected.label), expected.prefix + *values().read(expected.value))
            << expected.label;
    }
    // On the screen: product key, name, id, organization, owner.
    int above = -1;
    for (const char* name : {"Label3", "Label1", "Label2", "Label4", "Label5"}) {
        const int top = child<QLabel>(form, name)->y();
        EXPECT_GT(top, above) << name;
        above = top;
    }
    EXPECT_EQ(clippedLabels(form), QStringList());
}

TEST_F(Form5Test, AValueThatCannotBeReadShowsItsPrefixAloneNeverThePreviousValue) {
    setAllValues();
    values().set(Value::ProductKey, std::nullopt);
    values().set(Value::RegisteredOwner, std::nullopt);
    Form5* form = open();
    ASSERT_TRUE(form);
    EXPECT_EQ(labelText(form, "Label3"), QStringLiteral("Product Key is "));
    EXPECT_EQ(labelText(form, "Label5"), QStringLiteral("Registered Owner is "));
    EXPECT_EQ(labelText(form, "Label2"),
              QStringLiteral("Product ID is ") + *values().read(Value::ProductId));
    EXPECT_EQ(labelText(form, "Label4"), QStringLiteral("Registered Organization is ") +
                                             *values().read(Value::RegisteredOrganization));
}

TEST_F(Form5Test, WithNoValueAtAllEveryLabelShowsItsPrefix) {
    Form5* form = open();
    ASSERT_TRUE(form);
    for (const Expected& expected : kExpected) {
        EXPECT_EQ(labelText(form, expected.label), expected.prefix) << expected.label;
    }
}

TEST_F(Form5Test, ProductLineTakesTheGeneratorsColoursOnceASecondTheSameAtEveryStart) {
    QList<QColor> firstRun;
    for (int run = 0; run < 2; ++run) {
        restartProgramRandom(); // a fresh start of the program
        Form5* form = open();
        ASSERT_TRUE(form);
        auto* timer = child<QTimer>(form, "Timer1");
        EXPECT_EQ(timer->interval(), 1000);
        EXPECT_TRUE(timer->isActive());
        QList<QColor> colours;
        for (int tick = 0; tick < 5; ++tick) {
            form->Timer1_Timer();
            colours << textColour(child<QLabel>(form, "Label6"));
        }
        if (run == 0) {
            firstRun = colours;
        } else {
            EXPECT_EQ(colours, firstRun);
        }
        form->unload();
        settle();
    }
    // Red, green and blue in that order, from the generator's own sequence.
    EXPECT_EQ(firstRun, freshColours(5));
    EXPECT_NE(firstRun[0], firstRun[1]);
}

TEST_F(Form5Test, SwitchesTheMainWindowOffEachTimeItBecomesActive) {
    registerProbe(ScreenId::Form4);
    Form5* form = open();
    ASSERT_TRUE(form);
    EXPECT_TRUE(mainLocked());

    // Another window of the program comes and goes, the main window switched
    // on meanwhile: coming back to the about screen switches it off again.
    Screen* other = screens().show(ScreenId::Form4);
    ASSERT_TRUE(waitActive(other));
    setMainWindowEnabled(true);
    form->activateWindow();
    ASSERT_TRUE(waitActive(form));
    EXPECT_TRUE(mainLocked());
}

TEST_F(Form5Test, ClickOnALabelLeavesItOpenClickOnTheBackgroundClosesIt) {
    Form5* form = open();
    ASSERT_TRUE(form);
    for (const char* name : {"Label6", "Label9", "Label3", "Label5", "Label10"}) {
        QTest::mouseClick(child<QLabel>(form, name), Qt::LeftButton, {}, QPoint(2, 2));
        ASSERT_EQ(screens().find(ScreenId::Form5), form) << name;
    }
    EXPECT_TRUE(mainLocked());
    QTest::mouseClick(form, Qt::LeftButton, {}, backgroundPoint(form));
    EXPECT_FALSE(screens().isLoaded(ScreenId::Form5));
    EXPECT_FALSE(mainLocked());
    EXPECT_FALSE(child<QTimer>(form, "Timer1")->isActive());
}

TEST_F(Form5Test, DoubleClickOnTheBackgroundClosesIt) {
    Form5* form = open();
    ASSERT_TRUE(form);
    QTest::mouseDClick(form, Qt::LeftButton, {}, backgroundPoint(form));
    EXPECT_FALSE(screens().isLoaded(ScreenId::Form5));
    EXPECT_FALSE(mainLocked());
}

TEST_F(Form5Test, CloseBoxAndSweepSwitchTheMainWindowOnAgain) {
    Form5* form = open();
    ASSERT_TRUE(form);
    ASSERT_TRUE(mainLocked());
    EXPECT_TRUE(form->close());
    EXPECT_FALSE(screens().isLoaded(ScreenId::Form5));
    EXPECT_FALSE(mainLocked());

    form = openScreen<Form5>(ScreenId::Form5, "aboutapp");
    ASSERT_TRUE(form);
    ASSERT_TRUE(mainLocked());
    QPointer<MDIForm1> window = mainForm();
    EXPECT_TRUE(window->unload()); // as at log-out: the sweep
    EXPECT_FALSE(screens().isLoaded(ScreenId::Form5));
    ASSERT_TRUE(window);
    EXPECT_TRUE(window->isEnabled());
}

} // namespace
