#include "screens/info/form5.h"

#include "platform/random.h"
#include "platform/systemvalues.h"
#include "platform/widgets/fixedwindow.h"
#include "platform/widgets/placement.h"
#include "platform/widgets/textfit.h"
#include "screens/info/infoscreen.h"
#include "ui/eventhooks.h"
#include "ui/mainwindow.h"
#include "ui/screens.h"

#include <QLabel>
#include <QPainter>
#include <QTimer>

namespace velmoran {

namespace {

const QString kTitle = QStringLiteral(
    "--------------------------------درباره برنامه -------------------------------------");

// The registration values in the order they are read, each with its label
// and prefix. The labels stand on the screen in another order, product key
// first (their tops).
struct Registration {
    SystemValues::Value value;
    const char* label;
    QString prefix;
    int top;
};

const Registration kRegistrations[] = {
    {SystemValues::Value::ProductName, "Label1", QStringLiteral("Product Name is "), 2145},
    {SystemValues::Value::ProductId, "Label2", QStringLiteral("Product ID is "), 2535},
    {SystemValues::Value::ProductKey, "Label3", QStringLiteral("Product Key is "), 1755},
    {SystemValues::Value::RegisteredOrganization, "Label4",
     QStringLiteral("Registered Organization is "), 2925},
    {SystemValues::Value::RegisteredOwner, "Label5", QStringLiteral("Registered Owner is "), 3315},
};

// The small circle of the registered-mark sign, drawn around its letter.
class CircleShape : public QWidget {
public:
    explicit CircleShape(QWidget* parent) : QWidget(parent) {
        setObjectName(QStringLiteral("Shape1"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(palette().color(QPalette::WindowText), 1));
        p.drawEllipse(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
    }
};

} // namespace

Form5::Form5() : Screen(ScreenId::Form5) {
    setWindowTitle(kTitle);
    makeFixedWindow(this, Qt::Dialog, 5895, 4665);

    QList<LabelSpec> specs = {
        {"Label6", QStringLiteral("نرم افزار كنترل فايل  املاك محصول ولـــمورانك "), 585, 195, 4980,
         450, "B Nazanin", 14.25, true, TextColour::Default, Script::Persian},
        {"Label9", QStringLiteral("   :   اين نسخه از نرم افزار ولمو رانك به سيستم زير تعلق دارد "),
         1560, 1365, 4110, 210, "MS Sans Serif", 8.25, false, TextColour::Default, Script::Persian},
    };
    for (const Registration& registration : kRegistrations) {
        // No caption until the screen loads.
        specs.append({registration.label, QString(), 0, registration.top, 5865, 345,
                      "MS Sans Serif", 9.75, true, TextColour::Default, Script::Latin});
    }
    Label6 = addLabels(this, specs).front();

    // The registered-mark sign at the top left: "R" in a small circle.
    auto* Shape1 = new CircleShape(this);
    placeTwips(Shape1, 375, 75, 210, 225);
    const QList<QLabel*> mark =
        addLabels(this, {{"Label10", QStringLiteral("R"), 390, 90, 180, 195, "MS Sans Serif", 8.25,
                          true, TextColour::Default, Script::Latin}});
    mark.front()->setAlignment(Qt::AlignCenter);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &Form5::Timer1_Timer);
    Timer1->start();

    onClick(this, [this] { Form_Click(); });
    onDoubleClick(this, [this] { Form_DblClick(); });
}

void Form5::Form_Load() {
    keepAbove(this, Screens::instance().mainWindow());
    // A value that can't be read leaves its label with the prefix alone.
    for (const Registration& registration : kRegistrations) {
        auto* label = findChild<QLabel*>(QString::fromLatin1(registration.label));
        label->setText(registration.prefix +
                       SystemValues::read(registration.value).value_or(QString()));
        fitLabel(label);
    }
}

void Form5::Form_Activate() {
    setMainWindowEnabled(false);
}

void Form5::Form_Unload() {
    Timer1->stop();
    setMainWindowEnabled(true);
}

void Form5::Form_Click() {
    unload();
}

void Form5::Form_DblClick() {
    unload();
}

void Form5::Timer1_Timer() {
    setTextColour(Label6, randomColour(programRandom()));
}

} // namespace velmoran
