#pragma once

#include "ui/screen.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace velmoran {

// The password change. Stage 1 asks for the old password and checks it
// against the stored one (the login screen's stored-password field, Form9);
// when it is right, the same places change into a box for the new password
// and its save button (stage 2). Saving writes the new text into the stored
// field and stores it in table `pc` at once, so a run that ends without the
// main window's sweep keeps it. The main window is switched off while the
// screen is open.
class Form10 : public Screen {
    Q_OBJECT
public:
    Form10();

    void Command1_Click();
    void Command2_Click();
    void Text1_KeyPress(int keyAscii);
    void Text2_KeyPress(int keyAscii);

    // True once the old password was confirmed.
    bool inStage2() const { return stage2_; }

protected:
    void Form_Load() override;
    void Form_Activate() override;
    void Form_Unload() override;

private:
    QLabel* Label2;
    QLabel* Label1;
    QLineEdit* Text1;
    QLineEdit* Text2;
    QPushButton* Command1;
    QPushButton* Command2;
    bool stage2_ = false;
};

} // namespace velmoran
