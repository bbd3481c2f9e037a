#include "app/form9.h"

#include "data/core/fields.h"
#include "data/store/recordsource.h"
#include "platform/messagebox.h"
#include "platform/twips.h"
#include "platform/widgets/fonts.h"
#include "platform/widgets/placement.h"
#include "platform/widgets/textfit.h"
#include "screens/common/boundcontrols.h"
#include "ui/eventhooks.h"
#include "ui/screens.h"
#include "ui/tiledlabel.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>

namespace velmoran {

namespace {

const QString kLabel1Words = QStringLiteral("ولمو رانك     ");
constexpr int kLabel1Repeats = 585;
const QString kLabel2Caption = QStringLiteral("كد عبوري  :");
const QString kCommand1Caption = QStringLiteral("قبول");
const QString kCommand2Caption = QStringLiteral("انصراف");
const QString kMasterPassword = QStringLiteral("QORVATELKS58");
const QString kRefusedBefore = QStringLiteral("رمز عبوري ");
const QString kRefusedAfter = QStringLiteral(" صحيح نمي باشد ");
const QString kRefusedTitle = QStringLiteral("رمز عبوري نا صحيح . . . ");

// The design client area and the frame's place in it, in twips.
constexpr int kDesignWidth = 11880;
constexpr int kDesignHeight = 8595;
// Between the password caption's last letter and the password box.
constexpr int kCaptionGap = 120;

} // namespace

Form9::Form9() : Screen(ScreenId::Form9) {
    setWindowTitle(QStringLiteral("Form9"));
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setShowsMaximized(true);
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
    resizeTwips(this, kDesignWidth, kDesignHeight);

    // Drawn tile by tile, so that no tile comes out cut.
    Label1 = new TiledLabel(kLabel1Words, kLabel1Repeats, this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFont(designFont(QStringLiteral("B Badr"), 15.75, true));
    Label1->setWordWrap(true);
    Label1->setAlignment(Qt::AlignLeading | Qt::AlignTop);
    placeTwips(Label1, 0, 0, 12105, 9765);

    Frame1 = new QGroupBox(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setAutoFillBackground(true);
    placeTwips(Frame1, 4680, 3510, 2745, 1575);

    Label2 = new QLabel(kLabel2Caption, Frame1);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setFont(designFont(QStringLiteral("B Esfehan"), 12, true));
    Label2->setAlignment(Qt::AlignLeading | Qt::AlignVCenter);
    placeTwips(Label2, 195, 195, 1125, 495);
    // The caption ends short of the password box beside it, not touching it.
    Label2->setContentsMargins(0, 0, twipsToPixels(kCaptionGap, logicalDpiX()), 0);
    fitLabel(Label2);

    Text1 = new QLineEdit(Frame1);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setFont(designFont(QStringLiteral("MS Sans Serif"), 12));
    Text1->setEchoMode(QLineEdit::Password);
    Text1->setStyleSheet(QStringLiteral("lineedit-password-character: 42;")); // '*'
    placeTwips(Text1, 1365, 195, 1185, 405);

    Command1 = new QPushButton(kCommand1Caption, Frame1);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setFont(designFont(QStringLiteral("B Jadid"), 11.25, true));
    placeTwips(Command1, 1560, 975, 990, 330);

    Command2 = new QPushButton(kCommand2Caption, Frame1);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command2->setFont(designFont(QStringLiteral("B Jadid"), 11.25, true));
    placeTwips(Command2, 195, 975, 990, 330);

    // Neither button is a default button: Enter acts only through Text1.
    for (QPushButton* button : {Command1, Command2}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }

    // The hidden boxes that hold a password stand in a window of their own
    // that is never shown, so assistive technology, which is told of every
    // control of a window, shown or hidden, never sees them nor their text.
    auto* hidden = new QWidget(this, Qt::Window);
    hidden->setObjectName(QStringLiteral("passwordHolders"));
    Text2 = new BoundTextBox(hidden);
    Text2->setObjectName(QStringLiteral("Text2"));
    Text3 = new QLineEdit(kMasterPassword, hidden);
    Text3->setObjectName(QStringLiteral("Text3"));
    for (QLineEdit* box : {static_cast<QLineEdit*>(Text2), Text3}) {
        box->setEchoMode(QLineEdit::Password);
        box->setFocusPolicy(Qt::NoFocus);
    }

    Label1->lower();
    setTabOrder(Text1, Command1);
    setTabOrder(Command1, Command2);
    Text1->setFocus();

    connect(Command1, &QPushButton::clicked, this, &Form9::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form9::Command2_Click);
    onKeyPress(Text1, [this](int keyAscii) { Text1_KeyPress(keyAscii); });
    onClick(Label1, [this] { Label1_Click(); });
}

void Form9::Form_Load() {
    Data1 = openRecordSource(passwordTable());
    Text2->bind(Data1, QStringLiteral("passsecurity"));
}

void Form9::resizeEvent(QResizeEvent* event) {
    Screen::resizeEvent(event);
    // The background covers the whole screen and the frame stands in its
    // middle, whatever the screen's size.
    const QRect design = twipsRect(0, 0, 12105, 9765, logicalDpiX(), logicalDpiY());
    // Where it is larger than the screen, it runs over the trailing edge, so
    // that the rows start whole at the leading one.
    const QRect background(0, 0, std::max(width(), design.width()),
                           std::max(height(), design.height()));
    Label1->setGeometry(QStyle::visualRect(layoutDirection(), rect(), background));
    Frame1->move((width() - Frame1->width()) / 2, (height() - Frame1->height()) / 2);
}

void Form9::Command1_Click() {
    const QString typed = Text1->text();
    const bool master = typed == Text3->text();
    const bool stored = typed == Text2->text();
    if (master || stored) {
        // The main window is shown before this screen goes, so that the
        // program always has a window open.
        Screens::instance().showMainWindow();
        unload();
        return;
    }
    MessageBox::show(kRefusedBefore + typed + kRefusedAfter, kRefusedTitle,
                     MessageBox::Icon::Exclamation, MessageBox::Buttons::Ok);
    Text1->clear();
    Text1->setFocus();
}

void Form9::Command2_Click() {
    unload();
}

void Form9::Label1_Click() {
    unload();
}

void Form9::Text1_KeyPress(int keyAscii) {
    if (keyAscii == 13) {
        Command1_Click();
    }
}

Form9* Form9::holder() {
    return qobject_cast<Form9*>(Screens::instance().load(ScreenId::Form9));
}

std::optional<QString> Form9::storedPassword() {
    Form9* form = holder();
    if (!form) {
        return std::nullopt;
    }
    return form->Text2->text();
}

bool Form9::setStoredPassword(const QString& password) {
    Form9* form = holder();
    if (!form) {
        return false;
    }
    try {
        if (!form->Data1->hasCurrentRow()) {
            form->Data1->AddNew();
        }
    } catch (const StoreError& error) {
        showStoreError(error);
        return false;
    }
    form->Text2->setText(password);
    return true;
}

} // namespace velmoran
