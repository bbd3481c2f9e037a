#include "app/form10.h"

#include "app/form9.h"
#include "app/mdiform1.h"
#include "data/store/recordsource.h"
#include "platform/messagebox.h"
#include "platform/widgets/fixedwindow.h"
#include "platform/widgets/fonts.h"
#include "platform/widgets/placement.h"
#include "platform/widgets/textfit.h"
#include "ui/eventhooks.h"
#include "ui/screens.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace velmoran {

namespace {

const QString kTitle = QStringLiteral("تغيير رمز عبور");
const QString kLabel2Caption = QStringLiteral("رمز عبوري قديمي را وارد كنيد؟");
const QString kLabel1Caption = QStringLiteral("رمز عبوري جديد خود را وارد كنيد  ؟");
const QString kCommand1Caption = QStringLiteral("چك كننده رمز قديمي");
const QString kCommand2Caption = QStringLiteral("ذخيره رمز جديد");
const QString kWrongBefore = QStringLiteral("رمز عبوري'");
const QString kWrongAfter = QStringLiteral("'  صحيح نمي باشد!");
const QString kWrongTitle = QStringLiteral("رمز ورودي نا صحيح!!!");

QFont promptFont() {
    return designFont(QStringLiteral("MS Sans Serif"), 13.5, true);
}
QFont boxFont() {
    return designFont(QStringLiteral("MS Sans Serif"), 12);
}

} // namespace

Form10::Form10() : Screen(ScreenId::Form10) {
    setWindowTitle(kTitle);
    makeFixedWindow(this, Qt::Dialog, 5175, 2535);

    // Each pair shares one place; one member is shown in each stage.
    Label2 = new QLabel(kLabel2Caption, this);
    Label1 = new QLabel(kLabel1Caption, this);
    for (QLabel* label : {Label2, Label1}) {
        label->setFont(promptFont());
        placeTwips(label, 390, 195, 4335, 495);
    }
    Label2->setObjectName(QStringLiteral("Label2"));
    Label1->setObjectName(QStringLiteral("Label1"));

    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    placeTwips(Text1, 1230, 780, 2775, 615);
    Text2 = new QLineEdit(this);
    Text2->setObjectName(QStringLiteral("Text2"));
    placeTwips(Text2, 1230, 915, 2775, 615);
    for (QLineEdit* box : {Text1, Text2}) {
        box->setFont(boxFont()); // shown as typed, not masked
    }

    Command1 = new QPushButton(kCommand1Caption, this);
    Command1->setObjectName(QStringLiteral("Command1"));
    placeTwips(Command1, 1245, 1755, 2775, 615);
    Command2 = new QPushButton(kCommand2Caption, this);
    Command2->setObjectName(QStringLiteral("Command2"));
    placeTwips(Command2, 1230, 1755, 2775, 615);
    for (QPushButton* button : {Command1, Command2}) {
        button->setFont(promptFont());
        button->setAutoDefault(false);
        button->setDefault(false);
        fitButton(button);
    }
    for (QLabel* label : {Label2, Label1}) {
        fitLabel(label);
    }

    // Stage 1 shown; the save button comes into use only in stage 2.
    Label1->hide();
    Text2->hide();
    Command2->hide();
    Command2->setEnabled(false);

    setTabOrder(Command2, Text2);
    setTabOrder(Text2, Command1);
    setTabOrder(Command1, Text1);

    connect(Command1, &QPushButton::clicked, this, &Form10::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form10::Command2_Click);
    onKeyPress(Text1, [this](int keyAscii) { Text1_KeyPress(keyAscii); });
    onKeyPress(Text2, [this](int keyAscii) { Text2_KeyPress(keyAscii); });
}

void Form10::Form_Load() {
    keepAbove(this, Screens::instance().mainWindow());
    setMainWindowEnabled(false);
}

void Form10::Form_Activate() {
    // In stage 2 the old-password box is gone: the new one takes the focus.
    (stage2_ ? Text2 : Text1)->setFocus();
}

void Form10::Form_Unload() {
    setMainWindowEnabled(true);
}

void Form10::Text1_KeyPress(int keyAscii) {
    if (keyAscii == 13) {
        Command1_Click();
    }
}

void Form10::Text2_KeyPress(int keyAscii) {
    if (keyAscii == 13) {
        Command2_Click();
    }
}

void Form10::Command1_Click() {
    if (stage2_) {
        return;
    }
    const std::optional<QString> stored = Form9::storedPassword();
    if (!stored) {
        return; // table `pc` can't be read; the user has seen why
    }
    const QString typed = Text1->text();
    if (typed != *stored) {
        MessageBox::show(kWrongBefore + typed + kWrongAfter, kWrongTitle,
                         MessageBox::Icon::Exclamation, MessageBox::Buttons::Ok);
        Text1->clear();
        Text1->setFocus();
        return;
    }
    stage2_ = true;
    Command1->setEnabled(false);
    Text1->setEnabled(false);
    Label2->hide();
    Label1->show();
    Command2->show();
    Command2->setEnabled(true);
    Text1->hide();
    Text2->show();
    Command1->hide();
    Text2->setFocus();
}

void Form10::Command2_Click() {
    if (!stage2_) {
        return;
    }
    if (!Form9::setStoredPassword(Text2->text())) {
        return; // the user has seen why; the old password stays
    }
    // Stored at once, not only when the main window's sweep closes the
    // login screen: a run that ends otherwise must not bring the old
    // password back.
    Form9* holder = Form9::holder();
    try {
        for (RecordSource* source : holder->recordSources()) {
            source->writeBack();
        }
    } catch (const StoreError& error) {
        showStoreError(error);
        // The stored password stays what table `pc` holds; the new text
        // stays in its box for another try.
        try {
            for (RecordSource* source : holder->recordSources()) {
                source->CancelUpdate();
            }
        } catch (const StoreError& reloadError) {
            showStoreError(reloadError);
        }
        Text2->setFocus();
        return;
    }
    unload();
}

} // namespace velmoran
