#pragma once

#include "ui/screen.h"

class QLabel;
class QTimer;

namespace velmoran {

// About the program: the product line, whose colour changes every second,
// and the registration data of the computer (five values read from the
// system when the screen loads, each after its prefix). A click or a
// double-click on the background closes it; a click on a label does not.
// Each time it becomes the active screen it switches the main window off.
class Form5 : public Screen {
    Q_OBJECT
public:
    Form5();

    void Form_Click();
    void Form_DblClick();
    // Recolours Label6 with three fractions of the program's generator.
    void Timer1_Timer();

protected:
    void Form_Load() override;
    void Form_Activate() override;
    void Form_Unload() override;

private:
    QLabel* Label6 = nullptr;
    QTimer* Timer1 = nullptr;
};

} // namespace velmoran
